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
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
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
        {"garbage",
         garbage,
         kDatabasePassword,
         {"non è un database di questo programma, oppure la sua password è errata",
          "file is encrypted or is not a database"}},
        {"another program's",
         plainDb,
         kDatabasePassword,
         {"non è un database di questo programma, oppure", "is not a database"}},
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
    auto db = Database::open(folder.file("ZAR.mdb"));
    EXPECT_EQ(db->scalar("SELECT Password FROM TblPassword").toString(), "ZAR");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblPassword").toInt(), 1);
    auto empty = Database::open(folder.file("ZAR_Vuoto.mdb"));
    for (const char* table : {"TblPassword", "TblConduttori", "TblCani", "TblGare", "TblIscrizioni"})
        EXPECT_EQ(empty->scalar(QString("SELECT count(*) FROM %1").arg(table)).toInt(), 0) << table;
}

class DatabaseTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file("ZAR.mdb"));
};

// Text criteria ignore case, Null differs from empty, a bib bound as text matches the
// number, and pattern characters are found as themselves.
TEST_F(DatabaseTest, CriteriaFindWhatWasStored) {
    db->exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Indirizzo) VALUES (?, ?, ?)",
             {"rssmra80a01h501u", "Rossi", ""});
    db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale) VALUES (?, ?)", {"20260315ROMA", "10"});
    const std::pair<const char*, QVariantList> counts[] = {
        {"TblConduttori WHERE CodiceFiscale = ?", {"RSSMRA80A01H501U"}},
        {"TblConduttori WHERE Indirizzo = '' AND Citta IS NULL", {}},
        {"TblIscrizioni WHERE typeof(Pettorale) = 'integer' AND CodiceGara = ? AND Pettorale = ?",
         {"20260315roma", "10"}},
    };
    for (const auto& [where, params] : counts)
        EXPECT_EQ(db->scalar(QString("SELECT count(*) FROM ") + where, params).toInt(), 1) << where;
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblConduttori WHERE Citta = ''").toInt(), 0);

    const QStringList values = {"O'Brien", "100%", "A_B", "a*b", "[x]", "?#", "back\\slash"};
    for (const QString& v : values)
        db->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)", {v, v});
    // A near miss for every pattern character, to show it is not a wildcard.
    for (const char* decoy : {"100x", "AxB", "axxb", "back/slash"})
        db->exec("INSERT INTO TblCani (Microchip) VALUES (?)", {decoy});
    for (const QString& v : values) {
        EXPECT_EQ(db->scalar("SELECT NomeCane FROM TblCani WHERE Microchip = ?", {v}).toString(), v);
        EXPECT_EQ(db->scalar("SELECT count(*) FROM TblCani WHERE Microchip LIKE ? ESCAPE '\\'",
                             {escapeLike(v) + "%"})
                      .toInt(),
                  1)
            << v.toStdString();
    }
}

TEST_F(DatabaseTest, FailedWriteInsideTransactionLeavesNothing) {
    db->exec("INSERT INTO TblCani (Microchip) VALUES ('A')");
    try {
        Transaction tx(*db);
        db->exec("INSERT INTO TblCani (Microchip) VALUES ('B')");
        db->exec("INSERT INTO TblCani (Microchip) VALUES ('a')"); // duplicate key, case ignored
        tx.commit();
        FAIL() << "duplicate accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("UNIQUE")) << e.what();
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblCani").toInt(), 1);
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(DatabaseTest, NestedTransactionsCommitTogether) {
    {
        Transaction outer(*db);
        {
            Transaction inner(*db);
            db->exec("INSERT INTO TblCani (Microchip) VALUES ('A')");
            inner.commit();
        }
        {
            Transaction inner(*db);
            db->exec("INSERT INTO TblCani (Microchip) VALUES ('B')");
        } // rolled back
        outer.commit();
    }
    EXPECT_EQ(db->scalar("SELECT group_concat(Microchip) FROM TblCani").toString(), "A");
}

TEST_F(DatabaseTest, DuplicateKeysAreRefused) {
    const struct {
        const char* first;
        const char* second;
    } cases[] = {
        {"INSERT INTO TblConduttori (CodiceFiscale) VALUES ('X1')",
         "INSERT INTO TblConduttori (CodiceFiscale) VALUES ('x1')"},
        {"INSERT INTO TblGare (CodiceGara) VALUES ('20260101ROMA')",
         "INSERT INTO TblGare (CodiceGara) VALUES ('20260101ROMA')"},
        {"INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 1, 'C1')",
         "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 1, 'C2')"},
        {"INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 2, 'C3')",
         "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('G', 3, 'c3')"},
    };
    for (const auto& c : cases) {
        db->exec(c.first);
        EXPECT_THROW(db->exec(c.second), DbError) << c.second;
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblIscrizioni").toInt(), 2);
    // The same bib or dog in another competition is fine.
    EXPECT_NO_THROW(
        db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip) VALUES ('H', 1, 'C1')"));
}
