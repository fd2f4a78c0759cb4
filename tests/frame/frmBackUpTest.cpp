#include "frame/frmBackUp.h"
#include "frame/BackUp.h"
#include "frame/SharedValues.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeView>

#include <sys/mount.h>

using namespace zar;
using namespace zar::test;

namespace {

const QString kSaved = QStringLiteral("Backup successful");
const QString kNotSaved = QStringLiteral("NO Backup");

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A small tmpfs on a folder of the test, taken away at the end; needs root.
class Mount {
public:
    Mount(const QString& dir, int kilobytes) : m_dir(QFile::encodeName(dir)) {
        QDir().mkpath(dir);
        const QByteArray size = "size=" + QByteArray::number(kilobytes) + "k";
        m_ok = ::mount("tmpfs", m_dir.constData(), "tmpfs", 0, size.constData()) == 0;
    }
    ~Mount() {
        if (m_ok)
            ::umount2(m_dir.constData(), MNT_DETACH);
    }
    bool ok() const { return m_ok; }
    bool makeReadOnly() {
        return ::mount(nullptr, m_dir.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QByteArray m_dir;
    bool m_ok = false;
};

enum class Place { Folder, VolumeRoot, UnderAFile, ReadOnlyVolume, FullDisk, NoTemplate, DatabaseGone };
enum class After { NewCopy, Previous, Nothing };

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(After)

class frmBackUpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> m_folder;
    SharedValues m_shared;

    QString cognome(Database& db, const QString& cf) {
        return db.scalar(QStringLiteral("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = ?"), {cf})
            .toString();
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_folder->openShared(m_shared);
    }
    void cleanup() {
        m_shared.dbGare.reset();
        m_folder.reset();
    }

    void backupTargetHasOneSeparator_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("target");
        QTest::newRow("system root") << "/"
                                     << "/ZAR_BackUP.mdb";
        QTest::newRow("stick root") << "/media/anna/USB/"
                                    << "/media/anna/USB/ZAR_BackUP.mdb";
        QTest::newRow("folder") << "/home/anna/copie"
                                << "/home/anna/copie/ZAR_BackUP.mdb";
    }
    void backupTargetHasOneSeparator() {
        QFETCH(QString, folder);
        QFETCH(QString, target);
        QCOMPARE(backupTarget(folder), target);
    }

    void outcomes_data() {
        QTest::addColumn<Place>("place");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<After>("after");
        const QString noTemplate = QStringLiteral("NO Backup\n\nIl database vuoto non si può aprire:\n");
        const QString gone = QStringLiteral("Il database non si può riaprire:\n");
        QTest::newRow("folder") << Place::Folder << QStringList{kSaved} << After::NewCopy;
        QTest::newRow("volume root") << Place::VolumeRoot << QStringList{kSaved} << After::NewCopy;
        QTest::newRow("under a file") << Place::UnderAFile << QStringList{kNotSaved} << After::Nothing;
        QTest::newRow("read-only volume")
            << Place::ReadOnlyVolume << QStringList{kNotSaved} << After::Previous;
        QTest::newRow("full disk") << Place::FullDisk << QStringList{kNotSaved} << After::Previous;
        QTest::newRow("no template") << Place::NoTemplate << QStringList{noTemplate} << After::Previous;
        QTest::newRow("database gone")
            << Place::DatabaseGone << QStringList{kNotSaved, gone} << After::Previous;
    }
    // Every outcome: the message, the previous backup whole or replaced, no partial file,
    // and the program back on its own data, held exclusively (or ended without it).
    void outcomes() {
        QFETCH(Place, place);
        QFETCH(QStringList, messages);
        QFETCH(After, after);
        const QByteArray previous("an earlier backup");
        QString folder = m_folder->file(QStringLiteral("copie"));
        QDir().mkpath(folder);
        std::unique_ptr<Mount> mount;
        if (place == Place::ReadOnlyVolume || place == Place::FullDisk) {
            mount = std::make_unique<Mount>(folder, 64);
            if (!mount->ok())
                QSKIP("mounting a small tmpfs needs root");
        }
        if (place == Place::FullDisk) {
            // Grown past the free room that the earlier backup leaves.
            m_shared.dbGare->exec(
                QStringLiteral("INSERT INTO TblCani (Microchip, Annotazioni) VALUES ('X', ?)"),
                {QString(200000, QLatin1Char('x'))});
        }
        m_shared.dbGare->exec(
            QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome) VALUES (?, ?)"),
            {QStringLiteral("PRIMA"), QStringLiteral("Rossi")});
        if (place == Place::UnderAFile) {
            write(m_folder->file(QStringLiteral("file")), "x");
            folder = m_folder->file(QStringLiteral("file/copie"));
        } else {
            write(backupTarget(folder), previous);
        }
        if (place == Place::ReadOnlyVolume)
            QVERIFY(mount->makeReadOnly());
        if (place == Place::VolumeRoot)
            folder += QLatin1Char('/');
        if (place == Place::NoTemplate)
            QVERIFY(QFile::remove(m_shared.emptyDatabasePath()));
        if (place == Place::DatabaseGone)
            QVERIFY(QFile::remove(m_shared.databasePath())); // while the program holds it
        m_shared.open(m_shared.rsCani, QStringLiteral("SELECT * FROM TblCani"));

        StrictResponder boxes;
        frmBackUp form(m_shared);
        form.show();
        form.save(folder);

        QCOMPARE(boxes.shown().size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(boxes.shown()[i].text.startsWith(messages[i]), qPrintable(boxes.shown()[i].text));
        QCOMPARE(boxes.shown().first().style, place == Place::NoTemplate ? vbExclamation : vbInformation);
        QCOMPARE(boxes.shown().first().title, kDefaultTitle);
        QVERIFY(!m_shared.rsCani); // it pointed at the released connection

        const QString target = backupTarget(folder);
        QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden),
                 after == After::Nothing ? QStringList() : QStringList{QStringLiteral("ZAR_BackUP.mdb")});
        if (after == After::Previous)
            QCOMPARE(bytes(target), previous);

        if (place == Place::DatabaseGone) {
            QVERIFY(!m_shared.dbGare);
            QVERIFY(form.isHidden());
            return;
        }
        QCOMPARE(m_shared.dbGare->path(), m_shared.databasePath());
        QCOMPARE(cognome(*m_shared.dbGare, QStringLiteral("PRIMA")), QStringLiteral("Rossi"));
        try {
            Database::open(m_shared.databasePath());
            QFAIL("the database is not held exclusively again");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("locked")), qPrintable(e.message()));
        }
        if (after == After::NewCopy) {
            QCOMPARE(bytes(target), bytes(m_shared.databasePath()));
            auto copy = Database::open(target);
            QCOMPARE(cognome(*copy, QStringLiteral("PRIMA")), QStringLiteral("Rossi"));
            QVERIFY(form.isVisible());
        }
    }

    // The user's road: the folder list starts at the program's folder, a folder is
    // picked in it and saved to; choosing a volume moves the list to its root.
    void saveToTheFolderPickedInTheList() {
        const QString folder = m_folder->file(QStringLiteral("copie"));
        QDir().mkpath(folder);
        StrictResponder boxes;
        frmBackUp form(m_shared);
        form.show();
        auto* dirlist = child<QTreeView>(&form, QStringLiteral("dirlist"));
        auto* drivelist = child<QComboBox>(&form, QStringLiteral("drivelist"));
        QCOMPARE(form.dirlistPath(), m_folder->path());
        QCOMPARE(drivelist->itemData(0).toString(), QStringLiteral("/"));

        auto* model = dirlist->model();
        QModelIndex start = dirlist->currentIndex();
        dirlist->expand(start);
        QTRY_VERIFY(model->rowCount(start) == 1); // the folder is read in the background
        dirlist->setCurrentIndex(model->index(0, 0, start));
        QTest::mouseClick(child<QWidget>(&form, QStringLiteral("cmdSave")), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{kSaved});
        QCOMPARE(bytes(backupTarget(folder)), bytes(m_shared.databasePath()));

        form.drivelist_Change();
        QCOMPARE(form.dirlistPath(), drivelist->currentData().toString());
    }

    void volumesAUserWouldPick_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("listed");
        QTest::newRow("root in a container") << "/" << QByteArray("overlay") << true << true;
        QTest::newRow("stick") << "/media/anna/USB" << QByteArray("vfat") << false << true;
        QTest::newRow("stick, other systems")
            << "/run/media/anna/USB" << QByteArray("exfat") << false << true;
        QTest::newRow("disk in /mnt") << "/mnt/dati" << QByteArray("ext4") << false << true;
        QTest::newRow("read-only disk") << "/mnt/dati" << QByteArray("ext4") << true << false;
        QTest::newRow("kernel") << "/proc" << QByteArray("proc") << false << false;
        QTest::newRow("memory") << "/dev/shm" << QByteArray("tmpfs") << false << false;
        QTest::newRow("boot partition") << "/boot/efi" << QByteArray("vfat") << false << false;
        QTest::newRow("runtime folder") << "/run/user/1000/doc" << QByteArray("fuse") << false << false;
    }
    void volumesAUserWouldPick() {
        QFETCH(QString, root);
        QFETCH(QByteArray, type);
        QFETCH(bool, readOnly);
        QFETCH(bool, listed);
        QCOMPARE(isBackupVolume(root, type, readOnly), listed);
    }
};

QTEST_MAIN(frmBackUpTest)
#include "frmBackUpTest.moc"
