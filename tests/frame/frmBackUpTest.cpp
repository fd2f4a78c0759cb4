#include "frame/frmBackUp.h"
#include "frame/BackUp.h"
#include "frame/SharedValues.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>

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

enum class Place { Folder, VolumeRoot, UnderAFile, ReadOnlyVolume, FullDisk, NoTemplate, DatabaseGone };

} // namespace

Q_DECLARE_METATYPE(Place)

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
        QTest::newRow("under a file") << Place::UnderAFile << notSaved << "none";
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
        QVERIFY(!m_shared.rsCani); // it pointed at the released connection
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
