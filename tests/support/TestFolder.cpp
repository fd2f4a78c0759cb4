#include "support/TestFolder.h"

#include "platform/Schema.h"

#include <QDir>

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

SmallVolume::SmallVolume(int kib) {
    const QByteArray size = "size=" + QByteArray::number(kib) + "k";
    m_mounted = m_dir.isValid() &&
                ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, size.constData()) == 0;
}

SmallVolume::~SmallVolume() {
    if (m_mounted)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool SmallVolume::fill() {
    QFile filler(path() + QStringLiteral("/.filler"));
    const QByteArray block(4096, 'f');
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    while (filler.write(block) == block.size()) {
    }
    return true;
}

BoundDrive::BoundDrive() {
    m_mounted = m_dir.isValid() && QDir().mkdir(path()) && QDir().mkdir(contents()) &&
                ::mount(QFile::encodeName(contents()).constData(), QFile::encodeName(path()).constData(),
                        nullptr, MS_BIND, nullptr) == 0;
}

BoundDrive::~BoundDrive() {
    unmount();
}

// Detached: the folder list may be reading the drive at that moment.
bool BoundDrive::unmount() {
    if (m_mounted && ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH) == 0)
        m_mounted = false;
    return !m_mounted;
}

} // namespace zar::test
