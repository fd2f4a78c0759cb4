#include "platform/Database.h"
#include "platform/IniFile.h"
#include "platform/Recordset.h"
#include "platform/Schema.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zar;

namespace {

// Runs body in a child process: its exit code, -1 when it did not exit.
int inChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A missing file reads as a null array.
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString written(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << path.toStdString();
    return path;
}

} // namespace

TEST(DatabaseOpen, FilesNotOursAreDescribedAndNeverWritten) {
    test::TestFolder folder;
    const QString ours = folder.file("ZAR.mdb");
    const QString garbage = written(folder.file("garbage.mdb"), QByteArray(4096, 'x'));
    const QString empty = written(folder.file("empty.mdb"), QByteArray());
    const QString plainDb = folder.file("plain.mdb"); // another program's database, not encrypted
    Database::create(plainDb, QString())->exec("CREATE TABLE Clienti (Nome TEXT)");
    const QString keyedDb = folder.file("keyed.mdb"); // our key, other tables
    Database::create(keyedDb)->exec("CREATE TABLE Clienti (Nome TEXT)");
    QByteArray pages = bytesOf(ours);
    ASSERT_GT(pages.size(), 4 * 4096);
    const QString damaged =
        written(folder.file("damaged.mdb"), pages.replace(3 * 4096 + 200, 16, QByteArray(16, '\0')));
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.mdb"));
    auto holder = Database::open(folder.file("ZAR_Vuoto.mdb"));

    const QString notOurs = "non è un database di questo programma, oppure";
    const struct {
        const char* name;
        QString path, key;
        QStringList words;
    } cases[] = {
        {"missing", folder.file("none.mdb"), kDatabasePassword, {"non esiste"}},
        {"a folder", folder.file("folder.mdb"), kDatabasePassword, {"non è un file di database"}},
        {"empty", empty, kDatabasePassword, {"è vuoto (0 byte)"}},
        {"garbage", garbage, kDatabasePassword, {notOurs + " la sua password è errata", "file is encrypted"}},
        {"another program's", plainDb, kDatabasePassword, {notOurs, "is not a database"}},
        {"wrong key", ours, "wrong", {notOurs, "is not a database"}},
        {"our key, other tables", keyedDb, kDatabasePassword, {"mancano le sue tabelle"}},
        {"damaged", damaged, kDatabasePassword, {"è danneggiato"}},
        {"held", folder.file("ZAR_Vuoto.mdb"), kDatabasePassword, {"è già in uso", "database is locked"}},
    };
    for (const auto& c : cases) {
        const QByteArray before = bytesOf(c.path);
        try {
            Database::open(c.path, c.key);
            ADD_FAILURE() << c.name << ": opened";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(c.path)) << c.name << ": " << e.what();
            for (const QString& w : c.words)
                EXPECT_TRUE(e.message().contains(w)) << c.name << ": " << e.what();
        }
        EXPECT_EQ(bytesOf(c.path), before) << c.name << ": the file was written to";
        EXPECT_FALSE(QFile::exists(c.path + "-journal")) << c.name;
    }
    EXPECT_FALSE(QFile::exists(folder.file("none.mdb")));
    holder.reset(); // (a second copy of the program refused: SecondCopyTest)
    EXPECT_NO_THROW(Database::open(folder.file("ZAR_Vuoto.mdb"))) << "the file is free again";
}

class DatabaseTest : public ::testing::Test {
protected:
    int count(const QString& where, const QVariantList& params = {}) {
        return db->scalar("SELECT count(*) FROM " + where, params).toInt();
    }
    test::TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file("ZAR.mdb"));
};

// Both files made, encrypted, never overwritten; the empty one holds no password.
TEST_F(DatabaseTest, SetupRefusesToOverwriteAndMakesBothFiles) {
    const QByteArray bytes = bytesOf(folder.file("ZAR.mdb"));
    EXPECT_FALSE(bytes.startsWith("SQLite format 3") || bytes.contains("TblConduttori"));
    EXPECT_THROW(createDatabaseFile(folder.file("ZAR.mdb"), "ZAR"), DbError);
    auto empty = Database::open(folder.file("ZAR_Vuoto.mdb"));
    for (const char* table : {"TblPassword", "TblConduttori", "TblCani", "TblGare", "TblIscrizioni"})
        EXPECT_EQ(empty->scalar(QString("SELECT count(*) FROM ") + table).toInt(), 0) << table;
}

// A column read as text is the text of its value, whatever the engine stored.
TEST_F(DatabaseTest, ColumnTextIsTheValuesText) {
    for (const char* v : {"NULL", "''", "'Città ü'", "'007'", "42", "12.5", "X'00FF'"}) {
        Statement st(*db, QStringLiteral("SELECT %1").arg(QLatin1String(v)));
        ASSERT_TRUE(st.step()) << v;
        const QVariant want = st.column(0);
        EXPECT_EQ(st.columnText(0), want.toString()) << v;
        EXPECT_EQ(st.columnText(0).isNull(), want.toString().isNull()) << v;
        EXPECT_EQ(st.isNull(0), want.isNull()) << v;
    }
}

// Text criteria ignore case, Null differs from empty, a bib bound as text matches the
// number, and pattern characters are found as themselves (each next to a near miss).
TEST_F(DatabaseTest, CriteriaFindWhatWasStored) {
    db->exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Indirizzo) VALUES (?, ?, ?)",
             {"rssmra80a01h501u", "Rossi", ""});
    db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale) VALUES (?, ?)", {"20260315ROMA", "10"});
    EXPECT_EQ(count("TblConduttori WHERE CodiceFiscale = ?", {"RSSMRA80A01H501U"}), 1);
    EXPECT_EQ(count("TblConduttori WHERE Indirizzo = '' AND Citta IS NULL"), 1);
    EXPECT_EQ(count("TblConduttori WHERE Citta = ''"), 0);
    EXPECT_EQ(count("TblIscrizioni WHERE typeof(Pettorale) = 'integer' AND CodiceGara = ? AND Pettorale = ?",
                    {"20260315roma", "10"}),
              1);
    const QStringList values = {"O'Brien", "100%", "A_B", "a*b", "[x]", "?#", "back\\slash"};
    for (const QString& v : values + QStringList{"100x", "AxB", "axxb", "back/slash"})
        db->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)", {v, v});
    for (const QString& v : values) {
        EXPECT_EQ(db->scalar("SELECT NomeCane FROM TblCani WHERE Microchip = ?", {v}).toString(), v);
        EXPECT_EQ(count("TblCani WHERE Microchip LIKE ? ESCAPE '\\'", {escapeLike(v) + "%"}), 1)
            << v.toStdString();
    }
}

// Keys ignore case and hold per competition; a failed write rolls back the whole
// transaction, an inner one rolled back takes only its own part.
TEST_F(DatabaseTest, KeysAndTransactions) {
    const char* refused[][3] = {
        {"TblConduttori (CodiceFiscale)", "'X1'", "'x1'"},
        {"TblGare (CodiceGara)", "'20260101ROMA'", "'20260101ROMA'"},
        {"TblIscrizioni (CodiceGara, Pettorale, Microchip)", "'G', 1, 'C1'", "'G', 1, 'C2'"},
        {"TblIscrizioni (CodiceGara, Pettorale, Microchip)", "'G', 2, 'C3'", "'G', 3, 'c3'"},
    };
    for (const auto& [into, first, second] : refused) {
        db->exec(QString("INSERT INTO %1 VALUES (%2)").arg(into, first));
        EXPECT_THROW(db->exec(QString("INSERT INTO %1 VALUES (%2)").arg(into, second)), DbError) << second;
    }
    db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('H', 1, 'C1')");
    EXPECT_EQ(count("TblIscrizioni"), 3);

    db->exec("INSERT INTO TblCani (Microchip) VALUES ('A')");
    try {
        Transaction tx(*db);
        db->exec("INSERT INTO TblCani (Microchip) VALUES ('B')");
        db->exec("INSERT INTO TblCani (Microchip) VALUES ('a')");
        tx.commit();
        ADD_FAILURE() << "duplicate accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("UNIQUE")) << e.what();
    }
    EXPECT_FALSE(db->inTransaction());
    {
        Transaction outer(*db);
        for (const char* chip : {"C", "D"}) {
            Transaction inner(*db);
            db->exec("INSERT INTO TblCani (Microchip) VALUES (?)", {chip});
            if (QString(chip) == "C")
                inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(db->scalar("SELECT group_concat(Microchip) FROM (SELECT * FROM TblCani ORDER BY 1)"), "A,C");
}

// A full disk in a transaction, where the journal has to grow or at the commit where only the
// file does: the user's words, nothing stored, none left open, and it works once there is room.
TEST(DatabaseFull, WriteOnAFullDiskStoresNothingAndWorksAfterwards) {
    const QString note(3000, u'n');
    for (const bool bigJournal : {false, true}) { // an earlier large change left the journal room
        SCOPED_TRACE(bigJournal);
        test::SmallVolume volume;
        if (!volume.isMounted())
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        const QString path = volume.path() + "/ZAR.mdb";
        createDatabaseFile(path);
        auto db = Database::open(path);
        for (int i = 0; bigJournal && i < 40; ++i)
            db->exec("INSERT INTO TblCani (Microchip, Annotazioni) VALUES (?, ?)", {i, note});
        db->exec("UPDATE TblCani SET Annotazioni = upper(Annotazioni)"); // every page journalled
        const int before = db->scalar("SELECT count(*) FROM TblCani").toInt();
        const auto write = [&] {
            Transaction tx(*db);
            for (const char* chip : {"N1", "N2", "N3"})
                db->exec("INSERT INTO TblCani (Microchip, Annotazioni) VALUES (?, ?)", {chip, note});
            tx.commit();
        };
        ASSERT_TRUE(volume.fill());
        try {
            write();
            ADD_FAILURE() << "written on a full disk";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(),
                      QString("Il disco del database \"%1\" è pieno: i dati non sono stati salvati.\n"
                              "Liberare spazio sul disco e salvare di nuovo.\n"
                              "(database or disk is full)")
                          .arg(path));
        }
        EXPECT_FALSE(db->inTransaction());
        EXPECT_EQ(db->scalar("SELECT count(*) FROM TblCani").toInt(), before);
        volume.makeRoom();
        EXPECT_NO_THROW(write());
        EXPECT_EQ(db->scalar("SELECT count(*) FROM TblCani").toInt(), before + 3);
    }
}

// Three dogs stored out of order.
class RecordsetTest : public DatabaseTest {
protected:
    void SetUp() override {
        for (const char* chip : {"C3", "C1", "C2"})
            db->exec("INSERT INTO TblCani (Microchip) VALUES (?)", {chip});
    }
    QStringList chips(Recordset& rs, const char* field = "Microchip") {
        QStringList out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            out << rs.text(field);
        return out;
    }
    QString stored() {
        return db
            ->scalar("SELECT group_concat(Microchip || ':' || ifnull(Razza, '-')) FROM "
                     "(SELECT * FROM TblCani ORDER BY Microchip)")
            .toString();
    }
};

// Moves, reads past either end and unknown fields are faults, never a stale record; a failed
// requery keeps the records.
TEST_F(RecordsetTest, NavigatesInQueryOrder) {
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(chips(rs), QStringList({"C1", "C2", "C3"}));
    EXPECT_THROW(rs.value("Microchip"), DbError) << "past the end";
    rs.moveLast();
    EXPECT_EQ(rs.text("microchip"), "C3") << "field names ignore case";
    EXPECT_THROW(rs.fieldIndex("Microchi"), DbError);
    EXPECT_THROW(rs.value(int(rs.fieldNames().size())), DbError);
    EXPECT_THROW(rs.isNull(-1), DbError);
    Recordset none(*db, "SELECT * FROM TblCani WHERE Microchip = ?", {"none"});
    none.moveLast();
    EXPECT_TRUE(none.eof() && none.bof() && none.recordCount() == 0);
    Recordset join(*db, "SELECT c.Microchip FROM TblCani c JOIN TblCani d ON c.rowid = d.rowid");
    EXPECT_FALSE(join.updatable());
    EXPECT_THROW(join.edit(), DbError);
    db->exec("DROP TABLE TblCani");
    EXPECT_THROW(rs.requery(), DbError);
    EXPECT_EQ(chips(rs), QStringList({"C1", "C2", "C3"})) << "a failed requery keeps the records";
}

// FindFirst takes the first match in the set's order; no match keeps the current record.
// Edits write through and reread, a cancelled or refused one changes nothing, a delete
// leaves no current record, additions go at the end.
TEST_F(RecordsetTest, FindsEditsAddsAndDeletes) {
    db->exec("UPDATE TblCani SET Razza = 'X' WHERE Microchip IN ('C2', 'C3')");
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip DESC");
    rs.findFirst("Razza = ?", {"x"});
    EXPECT_TRUE(!rs.noMatch() && rs.text("Microchip") == "C3") << "the first match in the set's order";
    rs.findFirst("Microchip = ?", {"missing"});
    EXPECT_TRUE(rs.noMatch() && rs.text("Microchip") == "C3") << "no match keeps the current record";

    rs.findFirst("Microchip = ?", {"C2"});
    rs.edit();
    rs.setValue("Razza", "Border Collie");
    EXPECT_EQ(rs.text("Razza"), "Border Collie") << "the edit buffer is visible before update";
    QString appended;
    rs.appendText(rs.fieldIndex("Razza"), appended);
    EXPECT_EQ(appended, "Border Collie");
    rs.update();
    rs.edit();
    rs.setValue("Razza", "changed");
    rs.cancelUpdate();
    EXPECT_EQ(rs.text("Razza"), "Border Collie");
    for (bool add : {false, true}) { // a key taken, by an edit and by an addition
        add ? rs.addNew() : rs.edit();
        rs.setValue("Microchip", add ? "C1" : "c1");
        EXPECT_THROW(rs.update(), DbError);
        rs.cancelUpdate();
    }
    EXPECT_EQ(stored(), "C1:-,C2:Border Collie,C3:X");

    rs.findFirst("Microchip = ?", {"C2"});
    rs.deleteRecord();
    EXPECT_THROW(rs.value("Microchip"), DbError) << "no current record after a delete";
    rs.moveNext();
    EXPECT_EQ(rs.text("Microchip"), "C1");
    rs.addNew();
    rs.setValue("Microchip", "C9");
    rs.update();
    EXPECT_EQ(chips(rs), QStringList({"C3", "C1", "C9"}));
    EXPECT_EQ(stored(), "C1:-,C3:X,C9:-");

    Recordset entries(*db, "SELECT * FROM TblIscrizioni");
    entries.addNew();
    entries.setValue("CodiceGara", "G");
    entries.setValue("Pettorale", "7");
    entries.update();
    entries.moveFirst();
    EXPECT_EQ(entries.value("Pettorale"), QVariant(qlonglong(7))) << "stored with the column's type";
}

// Every kind of stored value reads back by position and by name as the engine gives it.
TEST_F(RecordsetTest, ValuesAreThoseOfTheEngine) {
    db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, Classe, "
             "PunteggioRun1, TempoRun1, ClassificaRun1) VALUES ('G', 7, '', ?, X'00FF', X'', 12.5, NULL, 0)",
             {QString::fromUtf8("Città ü")});
    Recordset rs(*db, "SELECT * FROM TblIscrizioni");
    Statement raw(*db, "SELECT * FROM TblIscrizioni");
    ASSERT_TRUE(raw.step());
    ASSERT_EQ(rs.fieldNames().size(), raw.columnCount());
    for (int c = 0; c < raw.columnCount(); ++c) {
        const QVariant want = raw.column(c);
        SCOPED_TRACE(raw.columnName(c).toStdString());
        EXPECT_EQ(rs.fieldIndex(raw.columnName(c).toUpper()), c);
        EXPECT_EQ(rs.value(c).typeId(), want.typeId());
        EXPECT_EQ(rs.value(c), want);
        EXPECT_EQ(rs.isNull(c), want.isNull());
        EXPECT_EQ(rs.text(c), want.toString());
        EXPECT_EQ(rs.text(c).isNull(), want.toString().isNull());
        QString appended = QStringLiteral("|");
        rs.appendText(c, appended);
        EXPECT_EQ(appended, u'|' + want.toString());
    }
    EXPECT_FALSE(rs.isNull("CodiceFiscale")) << "an empty text is not Null";
}

// Thousands of short, empty, Null and very long texts survive edits and additions.
TEST_F(RecordsetTest, LargeSetKeepsEveryValueThroughEditsAndAdditions) {
    db->exec("DELETE FROM TblCani");
    const auto nameOf = [](int i) -> QVariant {
        if (i % 11 == 0 || i % 7 == 0)
            return i % 11 ? QVariant(QString("")) : QVariant();
        return i == 1234 ? QString(200000, u'x') : QString("Dog %1 ").arg(i).repeated(i % 40 + 1);
    };
    const auto chip = [](int i) { return QString("C%1").arg(i, 5, 10, QChar('0')); };
    QStringList expected;
    Transaction tx(*db);
    for (int i = 0; i < 3000; ++i) {
        db->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)", {chip(i), nameOf(i)});
        expected << nameOf(i).toString();
    }
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    EXPECT_EQ(chips(rs, "NomeCane"), expected);
    for (int at : {0, 1234, 2999}) {
        rs.findFirst("Microchip = ?", {chip(at)});
        rs.edit();
        expected[at] = QString("Edited %1").arg(at).repeated(at % 3 == 0 ? 5000 : 1);
        rs.setValue("NomeCane", expected[at]);
        rs.update();
    }
    for (int i = 3000; i < 4000; ++i) {
        rs.addNew();
        rs.setValue("Microchip", QString("A%1").arg(i));
        rs.setValue("NomeCane", nameOf(i));
        rs.update();
        expected << nameOf(i).toString(); // appended at the end, whatever the order
    }
    tx.commit();
    EXPECT_EQ(chips(rs, "NomeCane"), expected);
    rs.findFirst("Microchip = 'C00011'");
    EXPECT_TRUE(rs.isNull("NomeCane")) << "Null stays Null";
}

// One write into a file as it stood: the bytes after it. Lines the write does not touch
// keep their bytes (Latin-1, stray non-UTF-8 bytes, LF ends, a last line with no end).
TEST(IniFile, WriteChangesOnlyItsLine) {
    const QByteArray foreign = "[Luoghi]\r\nCitta=Citt\xe0\r\nRumore=\xff\xfe\x80\xc3(\r\n";
    const struct {
        const char* name;
        QByteArray before;
        const char *section, *key, *value;
        QByteArray after;
    } cases[] = {
        {"new file", {}, "Ultima Gara", "Codice_Gara", "X", "[Ultima Gara]\r\nCodice_Gara=X\r\n"},
        {"rewritten", "[A]\nk1=1\nk2=2\n\n[B]\nx=1\n", "a", "K2", "two", "[A]\nk1=1\nK2=two\r\n\n[B]\nx=1\n"},
        {"key added", "[A]\nk1=1\n\n[B]\nx=1\n", "A", "k3", "3", "[A]\nk1=1\nk3=3\r\n\n[B]\nx=1\n"},
        {"section added at the end", "[A]\nk=1\n", "C", "y", "9", "[A]\nk=1\n[C]\r\ny=9\r\n"},
        {"later section", foreign + "[U]\r\nK=OLD\r\n", "U", "K", "NEW", foreign + "[U]\r\nK=NEW\r\n"},
        {"open last line", foreign + "Coda=\xe8", "U", "K", "NEW", foreign + "Coda=\xe8\r\n[U]\r\nK=NEW\r\n"},
        {"added before foreign bytes", "[U]\nAltro=\xe0\n\n" + foreign, "U", "K", "NEW",
         "[U]\nAltro=\xe0\nK=NEW\r\n\n" + foreign},
        {"same value leaves the file alone", "[A]\n  k =  v  \n", "a", "K", "v", "[A]\n  k =  v  \n"},
        {"other value", "[A]\n  k =  v  \n", "a", "K", "w", "[A]\nK=w\r\n"},
        {"no forged keys", {}, "A", "k", "x\r\n[B]\r\nforged=1", "[A]\r\nk=x  [B]  forged=1\r\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZAR.ini");
        if (!c.before.isNull())
            written(path, c.before);
        IniFile::write(path, c.section, c.key, c.value);
        EXPECT_EQ(bytesOf(path), c.after) << c.name;
    }
}

TEST(IniFile, InterruptedWriteLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    IniFile::write(path, "A", "k", "old");
    // A child whose file writes are cut short after 64 bytes (root is not exempt).
    const int reported = inChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            IniFile::write(path, "A", "k", QString(4096, u'n'));
        } catch (const IniError&) {
            return 0;
        }
        return 1;
    });
    EXPECT_EQ(reported, 0) << "the failed write was not reported";
    EXPECT_EQ(bytesOf(path), "[A]\r\nk=old\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"ZAR.ini"})) << "no temporary file left";
}
