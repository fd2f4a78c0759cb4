#include "frame/BackUp.h"

#include "frame/SharedValues.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <memory>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zar {

namespace {

constexpr size_t kChunk = size_t(1) << 20; // bytes read or written at a time

class FileHandle {
public:
    explicit FileHandle(int fd = -1) : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return m_fd; }
    // Closes now: on some file systems (network shares) a failed write shows only here.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

QString failure(const char* what, const QString& path) {
    return QStringLiteral("%1 \"%2\": %3")
        .arg(QLatin1String(what), path, QString::fromLocal8Bit(strerror(errno)));
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on an error.
ssize_t readFull(int fd, char* data, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += size_t(n);
    }
    return ssize_t(got);
}

// Byte for byte from the start of both files. Read, not mapped: a stick pulled out
// under a mapping would end the program.
QString compareFiles(int source, const QString& sourcePath, int copy, const QString& copyPath) {
    if (::lseek(source, 0, SEEK_SET) < 0 || ::lseek(copy, 0, SEEK_SET) < 0)
        return failure("cannot rewind", copyPath);
    std::vector<char> a(kChunk), b(kChunk);
    for (;;) {
        const ssize_t na = readFull(source, a.data(), a.size());
        if (na < 0)
            return failure("cannot read", sourcePath);
        const ssize_t nb = readFull(copy, b.data(), b.size());
        if (nb < 0)
            return failure("cannot read back", copyPath);
        if (na != nb || std::memcmp(a.data(), b.data(), size_t(na)) != 0)
            return QStringLiteral("the copy \"%1\" differs from \"%2\"").arg(copyPath, sourcePath);
        if (na == 0)
            return {};
    }
}

// Copies inside the kernel where the file systems allow it, as cp does; else through a buffer.
QString copyInto(int source, const QString& from, int temp, const QString& tempPath) {
    bool inKernel = true;
    for (;;) {
        const ssize_t n = ::copy_file_range(source, nullptr, temp, nullptr, kChunk * 64, 0);
        if (n > 0)
            continue;
        if (n == 0)
            break;
        if (errno == EINTR)
            continue;
        // Not offered between these two files: nothing was copied yet, so start over.
        if ((errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) &&
            ::lseek(source, 0, SEEK_CUR) == 0 && ::lseek(temp, 0, SEEK_CUR) == 0) {
            inKernel = false;
            break;
        }
        return failure("cannot copy into", tempPath);
    }
    if (!inKernel) {
        std::vector<char> buffer(kChunk);
        for (;;) {
            const ssize_t n = readFull(source, buffer.data(), buffer.size());
            if (n < 0)
                return failure("cannot read", from);
            if (n == 0)
                break;
            if (!writeAll(temp, buffer.data(), size_t(n)))
                return failure("cannot write", tempPath);
        }
    }
    // The flush and the read-back run side by side: both work on the same cached pages, and
    // the caller renames only after both.
    auto flushing = std::async(std::launch::async, [temp] { return ::fsync(temp) == 0 ? 0 : errno; });
    const QString error = compareFiles(source, from, temp, tempPath);
    if (const int flushError = flushing.get(); flushError != 0) {
        errno = flushError;
        return failure("cannot flush", tempPath);
    }
    return error;
}

} // namespace

QString backupTarget(const QString& folder) {
    QString path = folder;
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path + QStringLiteral("/ZAR_BackUP.mdb");
}

QString copyFileVerified(const QString& from, const QString& to, const std::function<bool()>& mayReplace) {
    const QByteArray fromName = QFile::encodeName(from);
    FileHandle source(::open(fromName.constData(), O_RDONLY | O_CLOEXEC));
    if (source.fd() < 0)
        return failure("cannot open", from);

    const QFileInfo target(to);
    QByteArray tempName = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                            QStringLiteral(".XXXXXX"));
    FileHandle temp(::mkostemp(tempName.data(), O_CLOEXEC));
    const QString tempPath = QFile::decodeName(tempName);
    if (temp.fd() < 0)
        return failure("cannot create a file in", target.absolutePath());
    // mkostemp makes the file private; a backup is as readable as the database.
    ::fchmod(temp.fd(), 0644);

    QString error = copyInto(source.fd(), from, temp.fd(), tempPath);
    if (error.isEmpty() && !temp.close())
        error = failure("cannot write", tempPath);
    if (error.isEmpty() && mayReplace && !mayReplace())
        error = QStringLiteral("the copy \"%1\" was not put in place").arg(tempPath);
    if (error.isEmpty() && ::rename(tempName.constData(), QFile::encodeName(to).constData()) != 0)
        error = failure("cannot replace", to);
    if (!error.isEmpty()) {
        ::unlink(tempName.constData());
        return error;
    }
    // The rename itself reaches the disk only with its folder.
    FileHandle folder(::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY));
    if (folder.fd() >= 0)
        ::fsync(folder.fd());
    return {};
}

QString backupFolderProblem(const QString& folder, const QString& volume) {
    if (folder.isEmpty())
        return QStringLiteral("Nessuna cartella scelta.");
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("La cartella scelta non esiste più:\n%1").arg(folder);
    if (!info.isDir())
        return QStringLiteral("Il percorso scelto non è una cartella:\n%1").arg(folder);
    // A drive unmounted after it was chosen leaves its mount point behind, an empty folder
    // of the disk below.
    if (!volume.isEmpty() && QStorageInfo(folder).rootPath() != volume)
        return QStringLiteral("Il disco scelto non c'è più:\n%1").arg(volume);
    return {};
}

TemplateOpening openTemplateAhead(const SharedValues& shared) {
    return std::async(std::launch::async,
                      [path = shared.emptyDatabasePath()] { return Database::open(path); });
}

BackupOutcome backUpDatabase(SharedValues& shared, const QString& folder, const QString& volume,
                             TemplateOpening* ahead) {
    BackupOutcome outcome;
    // Never elsewhere: a folder chosen and since removed, replaced or left by its drive gets nothing.
    outcome.folderError = backupFolderProblem(folder, volume);
    if (!outcome.folderError.isEmpty())
        return outcome;
    // The record sets point at the connection: none may outlive it.
    shared.rsConduttori.reset();
    shared.rsCani.reset();
    shared.rsGare.reset();
    shared.rsIscrizioni.reset();
    shared.rsPassword.reset();
    // The program's connection leaves "ZAR.mdb" for the template while the file is copied.
    // The handle on "ZAR.mdb" is kept aside, idle, with its exclusive hold: no other program
    // can take the file meanwhile, and putting it back cannot fail.
    std::unique_ptr<Database> held = std::move(shared.dbGare);
    // Opening the template is mostly its key derivation: begun ahead or now, it runs while
    // the file is copied, and the copy takes the place of an earlier backup only once the
    // template is open.
    TemplateOpening opening = ahead && ahead->valid() ? std::move(*ahead) : openTemplateAhead(shared);
    bool templateTaken = false;
    auto takeTemplate = [&] {
        templateTaken = true;
        try {
            shared.dbGare = opening.get();
        } catch (const DbError& e) {
            outcome.templateError = e.message();
        }
        return outcome.templateError.isEmpty();
    };
    outcome.copyError = copyFileVerified(shared.databasePath(), backupTarget(folder), takeTemplate);
    if (!templateTaken)
        takeTemplate();
    if (!outcome.templateError.isEmpty())
        outcome.copyError.clear(); // nothing was copied
    outcome.copied = outcome.templateError.isEmpty() && outcome.copyError.isEmpty();
    shared.dbGare.reset();
    // A file removed meanwhile must not be written on unseen: open it again by its name.
    if (QFileInfo::exists(shared.databasePath()))
        shared.dbGare = std::move(held);
    held.reset();
    if (!shared.dbGare) {
        try {
            shared.openDatabase();
        } catch (const DbError& e) {
            outcome.reopenError = e.message();
        }
    }
    return outcome;
}

bool isBackupVolume(const QString& rootPath, const QByteArray& fileSystemType, bool readOnly) {
    if (rootPath == QLatin1String("/"))
        return true;
    if (readOnly)
        return false;
    static const QByteArrayList kSystemTypes{
        "proc",     "sysfs",    "tmpfs",      "devtmpfs",  "devpts",          "overlay",    "cgroup",
        "cgroup2",  "mqueue",   "debugfs",    "tracefs",   "securityfs",      "pstore",     "bpf",
        "configfs", "fusectl",  "hugetlbfs",  "autofs",    "binfmt_misc",     "nsfs",       "ramfs",
        "squashfs", "efivarfs", "rpc_pipefs", "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    if (kSystemTypes.contains(fileSystemType))
        return false;
    // Removable media are mounted under /run/media on some systems.
    if (rootPath.startsWith(QLatin1String("/run/media/")))
        return true;
    static const QStringList kSystemFolders{QStringLiteral("/proc"),    QStringLiteral("/sys"),
                                            QStringLiteral("/dev"),     QStringLiteral("/run"),
                                            QStringLiteral("/boot"),    QStringLiteral("/snap"),
                                            QStringLiteral("/var/lib"), QStringLiteral("/var/snap")};
    return std::none_of(kSystemFolders.begin(), kSystemFolders.end(), [&](const QString& folder) {
        return rootPath == folder || rootPath.startsWith(folder + QLatin1Char('/'));
    });
}

QStringList backupVolumes() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        // Containers mount single files too (/etc/hosts): only folders hold a backup.
        if (volume.isValid() && volume.isReady() && !roots.contains(root) && QFileInfo(root).isDir() &&
            isBackupVolume(root, volume.fileSystemType(), volume.isReadOnly()))
            roots << root;
    }
    std::sort(roots.begin() + 1, roots.end());
    return roots;
}

} // namespace zar
