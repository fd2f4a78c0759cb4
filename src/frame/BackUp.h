#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <future>
#include <memory>

namespace zar {

struct SharedValues;

// The backup file in a folder. A folder ending in a separator (a volume's root such as
// "/" or "/media/usb/") gets no doubled separator.
QString backupTarget(const QString& folder);

// Copies `from` to `to` through a temporary file in the target's folder: written, read back
// and compared with the source while it is flushed to disk, and only then renamed over `to`. On
// failure nothing of the copy remains and an existing `to` is left whole. `mayReplace`, when
// given, is asked just before the rename; false leaves `to` as it was. Returns an empty text
// on success, else why it failed.
QString copyFileVerified(const QString& from, const QString& to,
                         const std::function<bool()>& mayReplace = {});

class Database;

// Why a backup cannot go into the folder: gone, no longer a folder, or no longer on the volume
// whose root is `volume`, the one it was chosen on (empty: not known); empty when it can.
QString backupFolderProblem(const QString& folder, const QString& volume);

// "ZAR_Vuoto.mdb" being opened in the background. Its open is mostly the key derivation, so
// the form starts it as it opens and a backup waits only for what is left of it.
using TemplateOpening = std::future<std::unique_ptr<Database>>;
TemplateOpening openTemplateAhead(const SharedValues& shared);

struct BackupOutcome {
    bool copied = false;
    QString folderError;   // the folder cannot take a backup: nothing was touched
    QString copyError;     // why the copy failed
    QString templateError; // the empty database could not be opened: nothing was copied
    QString reopenError;   // "ZAR.mdb" could not be opened again: dbGare is left unset
};

// Backs up "ZAR.mdb" to the folder: the connection is moved to "ZAR_Vuoto.mdb" so that
// the file is free, the copy made, and the connection put back on "ZAR.mdb" in every
// case. The shared record sets are released first: they point at the connection. A folder
// that is gone, is not a folder or has left `volume` (see backupFolderProblem) stops it before
// anything is released or written. The template is taken from `ahead` when that holds an
// opening, else opened here.
BackupOutcome backUpDatabase(SharedValues& shared, const QString& folder, const QString& volume,
                             TemplateOpening* ahead = nullptr);

// Whether a mounted file system is a place a user would keep a backup: the root, and
// writable folders of real storage (disks, sticks, network shares); not the kernel's
// and container's own mounts.
bool isBackupVolume(const QString& rootPath, const QByteArray& fileSystemType, bool readOnly);
// The root paths of the mounted volumes a backup can go to, the root first.
QStringList backupVolumes();

} // namespace zar
