#include "frame/frmBackUp.h"
#include "frame/BackUp.h"
#include "frame/SharedValues.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileSystemModel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <sys/mount.h>

using namespace zar;
using namespace zar::test;

namespace {

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}
bool writeEarlier(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("earlier") == 7;
}

// What is wrong with how the list shows `path`: it must be the one selected row, expanded
// to and inside the visible area, and the folder that Save uses. Empty when all holds.
QString shownWrong(frmBackUp& form, const QString& path) {
    auto* model = qobject_cast<QFileSystemModel*>(form.dirlist->model());
    const QModelIndex index = model->index(path);
    const QModelIndexList selected = form.dirlist->selectionModel()->selectedRows();
    if (form.dirlistPath() != path)
        return "Save would use " + form.dirlistPath();
    if (!index.isValid() || form.dirlist->currentIndex() != index || selected != QModelIndexList{index})
        return "selected: " + (selected.isEmpty() ? QString("nothing") : model->filePath(selected.first()));
    const QRect row = form.dirlist->visualRect(index);
    if (row.isEmpty() || !form.dirlist->viewport()->rect().contains(row))
        return QStringLiteral("out of view");
    return {};
}

// Every file under `folder`, hidden ones too, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = bytes(path);
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
        QTest::newRow("under a file")
            << Place::UnderAFile << QStringList{"NO Backup\n\nLa cartella scelta non esiste più:\n"}
            << "none";
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
        form.save(folder);

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
    // the list moves its own row to a neighbour, but Save writes nowhere, says why, and leaves
    // the connection alone; a folder then chosen takes the backup.
    void chosenFolderGone_data() {
        QTest::addColumn<Gone>("gone");
        QTest::addColumn<QString>("reason");
        const QString missing = QStringLiteral("NO Backup\n\nLa cartella scelta non esiste più:\n");
        QTest::newRow("not yet seen by the list") << Gone::NotYetSeen << missing;
        QTest::newRow("seen by the list") << Gone::SeenByTheList << missing;
        QTest::newRow("renamed") << Gone::Renamed << missing;
        QTest::newRow("replaced by a file")
            << Gone::ReplacedByAFile
            << QStringLiteral("NO Backup\n\nIl percorso scelto non è una cartella:\n");
    }
    void chosenFolderGone() {
        QFETCH(Gone, gone);
        QFETCH(QString, reason);
        const QString parent = m_folder->file(QStringLiteral("copie"));
        for (const char* name : {"a", "b", "c"})
            QVERIFY(QDir().mkpath(parent + "/" + name));
        QVERIFY(writeEarlier(backupTarget(parent + "/a")) && writeEarlier(backupTarget(parent + "/c")));
        m_shared.open(m_shared.rsCani, QStringLiteral("SELECT * FROM TblCani"));
        const Database* connection = m_shared.dbGare.get();

        frmBackUp form(m_shared);
        auto* model = qobject_cast<QFileSystemModel*>(form.dirlist->model());
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        showActive(&form);
        form.setDirlistPath(parent);
        form.dirlist->expand(model->index(parent));
        QTRY_VERIFY(loaded.contains(QVariantList{parent}));
        const QModelIndex b = model->index(parent + "/b");
        form.dirlist->scrollTo(b);
        QTest::mouseClick(form.dirlist->viewport(), Qt::LeftButton, {}, form.dirlist->visualRect(b).center());
        QCOMPARE(shownWrong(form, parent + "/b"), QString());
        QTest::mouseClick(form.dirlist->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          form.dirlist->visualRect(b).center());
        QCOMPARE(shownWrong(form, parent + "/b"), QString()); // still the one chosen

        switch (gone) {
        case Gone::NotYetSeen:
            QVERIFY(QDir(parent + "/b").removeRecursively());
            break;
        case Gone::SeenByTheList:
            QVERIFY(QDir(parent + "/b").removeRecursively());
            // The list drops the row, and with it the selection, not moving it to "a".
            QTRY_VERIFY(!model->index(parent + "/b").isValid());
            QVERIFY(form.dirlist->selectionModel()->selectedRows().isEmpty());
            break;
        case Gone::Renamed:
            QVERIFY(QDir().rename(parent + "/b", parent + "/b2"));
            break;
        case Gone::ReplacedByAFile:
            QVERIFY(QDir(parent + "/b").removeRecursively() && writeEarlier(parent + "/b"));
            break;
        }
        const QMap<QString, QByteArray> after = filesUnder(m_folder->path());
        click(&form, QStringLiteral("cmdSave"));
        const QList<MsgBoxRecord> shown = takeBoxes();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, reason + parent + "/b");
        QCOMPARE(shown[0].style, vbInformation);
        QCOMPARE(filesUnder(m_folder->path()), after); // nothing written anywhere
        QCOMPARE(after.value("copie/a/ZAR_BackUP.mdb"), QByteArray("earlier"));
        QCOMPARE(after.value("copie/c/ZAR_BackUP.mdb"), QByteArray("earlier"));
        QVERIFY(m_shared.dbGare.get() == connection && m_shared.rsCani);

        const QModelIndex c = model->index(parent + "/c");
        form.dirlist->scrollTo(c);
        QTest::mouseClick(form.dirlist->viewport(), Qt::LeftButton, {}, form.dirlist->visualRect(c).center());
        QCOMPARE(shownWrong(form, parent + "/c"), QString());
        click(&form, QStringLiteral("cmdSave"));
        QCOMPARE(described(takeBoxes()), QStringList{described("Backup successful", vbInformation)});
        QCOMPARE(bytes(backupTarget(parent + "/c")), bytes(m_shared.databasePath()));
        QCOMPARE(bytes(backupTarget(parent + "/a")), QByteArray("earlier"));
    }

    // On opening, the program folder is selected and in view, from the first moment and while
    // the folders above it are still being read and sorted (many siblings move its row); the
    // user scrolling away is left alone. A drive change selects that drive's root.
    void openingShowsTheProgramFolder_data() {
        QTest::addColumn<QString>("below"); // the program folder under the test folder
        QTest::addColumn<int>("siblings");  // other folders beside it, half sorted before it
        QTest::newRow("four levels") << "uno/due/tre/ZAR" << 0;
        QTest::newRow("four levels, many siblings") << "uno/due/tre/m ZAR" << 400;
        QTest::newRow("two levels, many siblings") << "uno/m ZAR" << 400;
    }
    void openingShowsTheProgramFolder() {
        QFETCH(QString, below);
        QFETCH(int, siblings);
        SharedValues shared;
        shared.programFolder = m_folder->file(below);
        QVERIFY(QDir().mkpath(shared.programFolder));
        const QString parent = QFileInfo(shared.programFolder).path();
        for (int i = 0; i < siblings; ++i)
            QVERIFY(
                QDir().mkdir(parent + QString("/%1 %2").arg(i % 2 ? 'a' : 'z').arg(i, 3, 10, QChar('0'))));

        frmBackUp form(shared);
        auto* model = qobject_cast<QFileSystemModel*>(form.dirlist->model());
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        showActive(&form);
        QCOMPARE(shownWrong(form, shared.programFolder), QString());
        QTRY_VERIFY(loaded.contains(QVariantList{parent}));
        QCOMPARE(model->rowCount(model->index(parent)), siblings + 1);
        for (int i = 0; i < 20; ++i) { // and it stays so while the list settles
            QTest::qWait(10);
            QCOMPARE(shownWrong(form, shared.programFolder), QString());
        }
        if (siblings) {
            QTest::mouseClick(form.dirlist->verticalScrollBar(), Qt::LeftButton, {}, QPoint(5, 5));
            form.dirlist->scrollToTop();
            model->sort(0, Qt::DescendingOrder); // a change the list takes in
            QTest::qWait(50);
            QCOMPARE(shownWrong(form, shared.programFolder), QString("out of view"));
        }

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
