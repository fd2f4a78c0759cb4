#include "frame/frmBackUp.h"
#include "frame/BackUp.h"
#include "frame/SharedValues.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileSystemModel>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTest>
#include <QTreeView>

#include <sys/mount.h>

using namespace zar;
using namespace zar::test;

namespace {

const QString kGone = QStringLiteral("NO Backup\n\nLa cartella scelta non esiste più:\n");
const QString kNotAFolder = QStringLiteral("NO Backup\n\nIl percorso scelto non è una cartella:\n");
const QString kDriveGone = QStringLiteral("NO Backup\n\nIl disco scelto non c'è più:\n");

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}
bool writeEarlier(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("earlier") == 7;
}

// Empty when `path` is the folder Save uses and the list's one selected row, in view.
QString shownWrong(frmBackUp& form, const QString& path) {
    const QModelIndex index = static_cast<QFileSystemModel*>(form.dirlist->model())->index(path);
    if (form.dirlistPath() != path ||
        form.dirlist->selectionModel()->selectedRows() != QModelIndexList{index})
        return "not chosen and selected: " + form.dirlistPath();
    return form.dirlist->viewport()->rect().contains(form.dirlist->visualRect(index)) ? QString()
                                                                                      : "out of view";
}

QMap<QString, QByteArray> filesUnder(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        files[path] = bytes(path);
    }
    return files;
}

enum class Gone { NotYetSeen, SeenByTheList, ReplacedByAFile, Renamed };

enum class Place { Folder, VolumeRoot, UnderAFile, ReadOnlyVolume, FullDisk, NoTemplate, DatabaseGone };

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Gone)

class frmBackUpTest : public GuiTestBase {
    Q_OBJECT

    std::unique_ptr<TestFolder> m_folder;
    SharedValues m_shared;

    static QString cognome(Database& db) {
        return db.scalar(QStringLiteral("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = 'PRIMA'"))
            .toString();
    }

private slots:
    void init() {
        GuiTestBase::init();
        m_folder = std::make_unique<TestFolder>();
        m_folder->openShared(m_shared);
    }
    void cleanup() {
        m_shared.dbGare.reset();
        m_folder.reset();
        GuiTestBase::cleanup();
    }

    void outcomes_data() {
        QTest::addColumn<Place>("place");
        QTest::addColumn<QStringList>("messages"); // how each message box starts
        QTest::addColumn<QString>("backup");       // "new", "earlier" or "none"
        const QStringList notSaved{QStringLiteral("NO Backup")};
        QTest::newRow("folder") << Place::Folder << QStringList{"Backup successful"} << "new";
        QTest::newRow("volume root") << Place::VolumeRoot << QStringList{"Backup successful"} << "new";
        QTest::newRow("under a file") << Place::UnderAFile << QStringList{kGone} << "none";
        QTest::newRow("read-only volume") << Place::ReadOnlyVolume << notSaved << "earlier";
        QTest::newRow("full disk") << Place::FullDisk << notSaved << "earlier";
        QTest::newRow("no template") << Place::NoTemplate
                                     << QStringList{"NO Backup\n\nIl database vuoto non si può aprire:\n"}
                                     << "earlier";
        QTest::newRow("database gone")
            << Place::DatabaseGone << QStringList{"NO Backup", "Il database non si può riaprire:\n"}
            << "earlier";
    }
    // Each outcome over an earlier backup: the messages, the earlier backup replaced or
    // whole, no partial file, and the program back on its own data, held exclusively.
    void outcomes() {
        QFETCH(Place, place);
        QFETCH(QStringList, messages);
        QFETCH(QString, backup);
        QString folder = m_folder->file(QStringLiteral("copie"));
        QDir().mkpath(folder);
        // A 64 KB tmpfs on the folder, for the duration of the test.
        const QByteArray volume = QFile::encodeName(folder);
        const bool small = place == Place::ReadOnlyVolume || place == Place::FullDisk;
        if (small && ::mount("tmpfs", volume.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small tmpfs needs root");
        const auto unmount = qScopeGuard([&] {
            if (small)
                ::umount2(volume.constData(), MNT_DETACH);
        });
        if (place == Place::FullDisk) // more than the volume holds
            m_shared.dbGare->exec(
                QStringLiteral("INSERT INTO TblCani (Microchip, Annotazioni) VALUES ('X', ?)"),
                {QString(200000, QLatin1Char('x'))});
        m_shared.dbGare->exec(QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome) "
                                             "VALUES ('PRIMA', 'Rossi')"));
        QVERIFY(writeEarlier(backupTarget(folder)));
        if (place == Place::UnderAFile)
            folder = backupTarget(folder) + QStringLiteral("/copie");
        if (place == Place::ReadOnlyVolume)
            QCOMPARE(::mount(nullptr, volume.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        if (place == Place::VolumeRoot)
            folder += QLatin1Char('/');
        if (place == Place::NoTemplate)
            QVERIFY(QFile::remove(m_shared.emptyDatabasePath()));
        if (place == Place::DatabaseGone)
            QVERIFY(QFile::remove(m_shared.databasePath())); // while the program holds it
        m_shared.open(m_shared.rsCani, QStringLiteral("SELECT * FROM TblCani"));

        frmBackUp form(m_shared);
        form.show();
        form.save(folder, QStorageInfo(folder).rootPath());

        const QList<MsgBoxRecord> shown = takeBoxes();
        QCOMPARE(shown.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(shown[i].text.startsWith(messages[i]), qPrintable(shown[i].text));
        QCOMPARE(shown.first().style, place == Place::NoTemplate ? vbExclamation : vbInformation);
        QCOMPARE(shown.first().title, kDefaultTitle);
        // It pointed at the released connection; a folder refused at once releases nothing.
        QCOMPARE(!m_shared.rsCani, place != Place::UnderAFile);
        const QString target = backupTarget(folder);
        QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden),
                 backup == "none" ? QStringList() : QStringList{"ZAR_BackUP.mdb"});
        if (backup == "earlier")
            QCOMPARE(bytes(target), QByteArray("earlier"));

        if (place == Place::DatabaseGone) { // the caller ends the program
            QVERIFY(!m_shared.dbGare);
            QVERIFY(form.isHidden());
            return;
        }
        QCOMPARE(m_shared.dbGare->path(), m_shared.databasePath());
        QCOMPARE(cognome(*m_shared.dbGare), QStringLiteral("Rossi"));
        QVERIFY_THROWS_EXCEPTION(DbError, Database::open(m_shared.databasePath())); // held again
        if (backup == "new") {
            QCOMPARE(bytes(target), bytes(m_shared.databasePath()));
            QCOMPARE(cognome(*Database::open(target)), QStringLiteral("Rossi"));
        }
    }

    // The folder chosen in the list goes away before Save, beside folders that hold backups:
    // Save writes nowhere and says why.
    void chosenFolderGone_data() {
        QTest::addColumn<Gone>("gone");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not yet seen by the list") << Gone::NotYetSeen << kGone;
        QTest::newRow("seen by the list") << Gone::SeenByTheList << kGone;
        QTest::newRow("renamed") << Gone::Renamed << kGone;
        QTest::newRow("replaced by a file") << Gone::ReplacedByAFile << kNotAFolder;
    }
    void chosenFolderGone() {
        QFETCH(Gone, gone);
        QFETCH(QString, reason);
        const QString parent = m_folder->file(QStringLiteral("copie"));
        for (const char* name : {"a", "b", "c"})
            QVERIFY(QDir().mkpath(parent + "/" + name));
        QVERIFY(writeEarlier(backupTarget(parent + "/a")) && writeEarlier(backupTarget(parent + "/c")));

        frmBackUp form(m_shared);
        auto* model = qobject_cast<QFileSystemModel*>(form.dirlist->model());
        showActive(&form);
        const QString b = parent + "/b";
        form.setDirlistPath(b);
        QTRY_COMPARE(shownWrong(form, b), QString());
        const QRect row = form.dirlist->visualRect(model->index(b));
        QTest::mouseClick(form.dirlist->viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
        QCOMPARE(shownWrong(form, b), QString()); // a click that only deselects leaves it chosen

        QVERIFY(gone == Gone::Renamed ? QDir().rename(b, b + "2") : QDir(b).removeRecursively());
        QVERIFY(gone != Gone::ReplacedByAFile || writeEarlier(b));
        if (gone == Gone::SeenByTheList) { // the list drops the row and selects no neighbour
            QTRY_VERIFY(!model->index(b).isValid());
            QVERIFY(form.dirlist->selectionModel()->selectedRows().isEmpty());
        }
        const QMap<QString, QByteArray> files = filesUnder(m_folder->path());
        click(&form, QStringLiteral("cmdSave"));
        QCOMPARE(described(takeBoxes()), QStringList{described(reason + b, vbInformation)});
        QCOMPARE(filesUnder(m_folder->path()), files);
        QCOMPARE(files.value(backupTarget(parent + "/a")) + files.value(backupTarget(parent + "/c")),
                 QByteArray("earlierearlier"));
    }

    // A drive is picked in the drive list, then maybe a folder, and the drive may be unmounted
    // before Save, its mount point left behind as an empty folder of the disk below ("disco"
    // beside "dati", the folder it shows): the backup goes where it was chosen or nowhere.
    void chosenDriveGone_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("unmount");
        QTest::addColumn<bool>("saved"); // into "dati"
        QTest::newRow("drive") << "disco" << false << true;
        QTest::newRow("drive unmounted") << "disco" << true << false;
        QTest::newRow("its folder, made again") << "disco/copie" << true << false;
        QTest::newRow("folder of the disk below") << "dati" << true << true;
    }
    void chosenDriveGone() {
        QFETCH(QString, chosen);
        QFETCH(bool, unmount);
        QFETCH(bool, saved);
        BoundDrive drive;
        if (!drive.isMounted())
            QSKIP("bind-mounting a folder as a drive needs root");
        const QString beside = QFileInfo(drive.path()).path();
        const QString folder = beside + "/" + chosen;
        QVERIFY(QDir().mkpath(folder));

        frmBackUp form(m_shared);
        auto* model = qobject_cast<QFileSystemModel*>(form.dirlist->model());
        showActive(&form);
        // A drive list that leaves the drive out (a container's disk) is passed by.
        if (const int listed = form.drivelist->findData(drive.path()); listed >= 0)
            form.drivelist->setCurrentIndex(listed);
        else
            form.setDirlistPath(drive.path());
        QTRY_COMPARE(shownWrong(form, drive.path()), QString());
        if (chosen == "dati") { // by the arrow key, once the list has sorted them
            QTRY_COMPARE(form.dirlist->indexAbove(model->index(drive.path())), model->index(folder));
            QTest::keyClick(form.dirlist, Qt::Key_Up);
        } else if (chosen != "disco") {
            form.setDirlistPath(folder);
        }
        QCOMPARE(form.dirlistPath(), folder);

        QVERIFY(!unmount || drive.unmount());
        QVERIFY(QDir().mkpath(folder));
        const QMap<QString, QByteArray> files = filesUnder(m_folder->path());
        click(&form, QStringLiteral("cmdSave"));
        QCOMPARE(
            described(takeBoxes()),
            QStringList{described(saved ? "Backup successful" : kDriveGone + drive.path(), vbInformation)});
        QCOMPARE(filesUnder(m_folder->path()), files);
        QVERIFY(drive.unmount()); // what it held shows in "dati"
        QCOMPARE(filesUnder(beside).keys(),
                 saved ? QStringList{backupTarget(beside + "/dati")} : QStringList());
    }

    // On opening, the program folder a few levels down is selected and in view, and stays so
    // while the folders beside it are read and sorted; the user scrolling away is left alone.
    // A drive change selects that drive's root.
    void openingShowsTheProgramFolder() {
        SharedValues shared;
        shared.programFolder = m_folder->file("uno/due/tre/m ZAR"); // among 400, half sorted before it
        QVERIFY(QDir().mkpath(shared.programFolder));
        const QString parent = QFileInfo(shared.programFolder).path();
        for (int i = 0; i < 400; ++i)
            QVERIFY(QDir().mkdir(parent + QString("/%1 %2").arg("za"[i % 2]).arg(i)));

        frmBackUp form(shared);
        auto* model = qobject_cast<QFileSystemModel*>(form.dirlist->model());
        showActive(&form);
        QCOMPARE(shownWrong(form, shared.programFolder), QString());
        QTRY_COMPARE(model->rowCount(model->index(parent)), 401);
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(10);
            QCOMPARE(shownWrong(form, shared.programFolder), QString());
        }
        QTest::mouseClick(form.dirlist->verticalScrollBar(), Qt::LeftButton, {}, QPoint(5, 5));
        form.dirlist->scrollToTop();
        model->sort(0, Qt::DescendingOrder);
        QTest::qWait(50);
        QCOMPARE(shownWrong(form, shared.programFolder), QString("out of view"));

        for (const QString& root : {m_folder->path(), QStringLiteral("/")}) {
            form.drivelist->addItem(root, root);
            form.drivelist->setCurrentIndex(form.drivelist->count() - 1);
            QTRY_COMPARE(shownWrong(form, root), QString());
        }
    }

    // A source that reads differently the second time (its own read counters) is never
    // taken for a good copy: the earlier backup stays whole and no temporary file is left.
    void copyUnlikeItsSourceIsRefused() {
        const QString target = backupTarget(m_folder->path());
        QVERIFY(writeEarlier(target));
        const QString error = copyFileVerified(QStringLiteral("/proc/self/io"), target);
        QVERIFY2(error.contains(QStringLiteral("differs")), qPrintable(error));
        QCOMPARE(bytes(target), QByteArray("earlier"));
        QCOMPARE(QDir(m_folder->path()).entryList({QStringLiteral("*BackUP*")}, QDir::Files | QDir::Hidden),
                 QStringList{"ZAR_BackUP.mdb"});
    }
};

QTEST_MAIN(frmBackUpTest)
#include "frmBackUpTest.moc"
