#pragma once

#include "frame/SharedValues.h"

#include <QTemporaryDir>

namespace zar::test {

// A temporary program folder with a fresh "ZAR.mdb" (first password "ZAR") and
// "ZAR_Vuoto.mdb", removed when the object dies.
class TestFolder {
public:
    TestFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Shared values pointing at this folder, with dbGare open.
    void openShared(SharedValues& shared) const;

private:
    QTemporaryDir m_dir;
};

} // namespace zar::test
