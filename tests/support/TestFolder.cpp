#include "support/TestFolder.h"

#include "platform/Schema.h"

#include <QFile>

#include <stdexcept>
#include <sys/mount.h>

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

SmallVolume::SmallVolume(const char* size) {
    const QByteArray options = QByteArray("size=") + size;
    m_mounted = m_dir.isValid() &&
                ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallVolume::~SmallVolume() {
    if (m_mounted)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool SmallVolume::fill() {
    QFile filler(path() + QStringLiteral("/.filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    return true;
}

void SmallVolume::makeRoom() {
    QFile::remove(path() + QStringLiteral("/.filler"));
}

} // namespace zar::test
