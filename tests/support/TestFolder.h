#pragma once

#include "frame/SharedValues.h"

#include <QFile>
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

// A small tmpfs of its own (needs root) of `kib` KiB, unmounted when the object dies. fill()
// takes every byte left; makeRoom() gives them back.
class SmallVolume {
public:
    explicit SmallVolume(int kib = 1024);
    ~SmallVolume();
    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    bool fill();
    void makeRoom() { QFile::remove(path() + QStringLiteral("/.filler")); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// A folder bind-mounted on a second one, so that it shows as a drive of its own (needs
// root). unmount() takes the drive away as the user would, leaving its mount point behind as
// an empty folder; it is unmounted at the latest when the object dies.
class BoundDrive {
public:
    BoundDrive();
    ~BoundDrive();
    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.filePath(QStringLiteral("disco")); }    // the mount point
    QString contents() const { return m_dir.filePath(QStringLiteral("dati")); } // what it holds
    bool unmount();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace zar::test
