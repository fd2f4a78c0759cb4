#include "support/TestFolder.h"

#include "platform/Schema.h"

#include <stdexcept>

namespace zar::test {

TestFolder::TestFolder() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    createDatabaseFile(file(QStringLiteral("ZAR.mdb")), QStringLiteral("ZAR"));
    createDatabaseFile(file(QStringLiteral("ZAR_Vuoto.mdb")));
}

void TestFolder::openShared(SharedValues& shared) const {
    shared.programFolder = path();
    shared.IniFileName = shared.iniPath();
    shared.openDatabase();
}

} // namespace zar::test
