#include "platform/Database.h"
#include "platform/Schema.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

using namespace zar;

namespace {

// Opens the file in a child process: 0 when it opens, 1 when it is locked, 2 otherwise.
int openInOtherProcess(const QString& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            Database::open(path);
        } catch (const DbError& e) {
            _exit(std::string(e.what()).find("database is locked") != std::string::npos ? 1 : 2);
        }
        _exit(0);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(DatabaseOpen, HeldFileFailsAtOnceInAnotherProcess) {
    test::TestFolder folder;
    const QString path = folder.file("ZAR.mdb");
    EXPECT_EQ(openInOtherProcess(path), 0);
    auto db = Database::open(path);
    EXPECT_EQ(openInOtherProcess(path), 1);
    db.reset();
    EXPECT_EQ(openInOtherProcess(path), 0) << "the file is free again once the connection is gone";
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

TEST(DatabaseOpen, FilesNotOursAreDescribedAndNeverWritten) {
    test::TestFolder folder;
    const QString ours = folder.file("ZAR.mdb");
    const QString garbage = folder.file("garbage.mdb");
    writeBytes(garbage, QByteArray(4096, 'x'));
    const QString empty = folder.file("empty.mdb");
    writeBytes(empty, QByteArray());
    const QString plainDb = folder.file("plain.mdb"); // another program's database, not encrypted
    Database::create(plainDb, QString())->exec("CREATE TABLE Clienti (Nome TEXT)");
    const QString keyedDb = folder.file("keyed.mdb"); // our key, other tables
    Database::create(keyedDb)->exec("CREATE TABLE Clienti (Nome TEXT)");
    const QString damaged = folder.file("damaged.mdb");
    QByteArray pages = bytesOf(ours);
    ASSERT_GT(pages.size(), 4 * 4096);
    pages.replace(3 * 4096 + 200, 16, QByteArray(16, '\0'));
    writeBytes(damaged, pages);
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.mdb"));
    auto holder = Database::open(folder.file("ZAR_Vuoto.mdb"));

    const struct {
        const char* name;
        QString path, key;
        QStringList words;
    } cases[] = {
        {"missing", folder.file("none.mdb"), kDatabasePassword, {"non esiste"}},
        {"a folder", folder.file("folder.mdb"), kDatabasePassword, {"non è un file di database"}},
        {"empty", empty, kDatabasePassword, {"è vuoto (0 byte)"}},
        // clang-format off
        {"garbage", garbage, kDatabasePassword, {"non è un database di questo programma, oppure la sua password è errata", "file is encrypted or is not a database"}},
        {"another program's", plainDb, kDatabasePassword, {"non è un database di questo programma, oppure", "is not a database"}},
        // clang-format on
        {"wrong key", ours, "wrong", {"non è un database di questo programma, oppure", "is not a database"}},
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
        EXPECT_EQ(QFileInfo(c.path + "-journal").exists(), false) << c.name;
    }
    EXPECT_FALSE(QFile::exists(folder.file("none.mdb")));
}

// Both files made, encrypted, never overwritten.
TEST(DatabaseSetup, RefusesToOverwriteAndMakesBothFiles) {
    test::TestFolder folder;
    const QByteArray bytes = bytesOf(folder.file("ZAR.mdb"));
    EXPECT_FALSE(bytes.startsWith("SQLite format 3") || bytes.contains("TblConduttori"));
    EXPECT_THROW(createDatabaseFile(folder.file("ZAR.mdb"), "ZAR"), DbError);
    EXPECT_EQ(
        Database::open(folder.file("ZAR.mdb"))->scalar("SELECT group_concat(Password) FROM TblPassword"),
        "ZAR");
    auto empty = Database::open(folder.file("ZAR_Vuoto.mdb"));
    EXPECT_EQ(
        empty
            ->scalar("SELECT (SELECT count(*) FROM TblPassword) + (SELECT count(*) FROM TblConduttori) + "
                     "(SELECT count(*) FROM TblCani) + (SELECT count(*) FROM TblGare) + "
                     "(SELECT count(*) FROM TblIscrizioni)")
            .toInt(),
        0);
}

class DatabaseTest : public ::testing::Test {
protected:
    int count(const QString& where, const QVariantList& params = {}) {
        return db->scalar("SELECT count(*) FROM " + where, params).toInt();
    }
    test::TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file("ZAR.mdb"));
};

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
    const char* refused[][2] = {
        {"TblConduttori (CodiceFiscale) VALUES ('X1')", "TblConduttori (CodiceFiscale) VALUES ('x1')"},
        {"TblGare (CodiceGara) VALUES ('20260101ROMA')", "TblGare (CodiceGara) VALUES ('20260101ROMA')"},
        {"TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 1, 'C1')",
         "TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 1, 'C2')"},
        {"TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 2, 'C3')",
         "TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 3, 'c3')"},
    };
    for (const auto& [first, second] : refused) {
        db->exec(QString("INSERT INTO ") + first);
        EXPECT_THROW(db->exec(QString("INSERT INTO ") + second), DbError) << second;
    }
    EXPECT_NO_THROW(
        db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('H', 1, 'C1')"));
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
    EXPECT_EQ(db->scalar("SELECT group_concat(Microchip) FROM (SELECT Microchip FROM TblCani ORDER BY 1)"),
              "A,C");
}
