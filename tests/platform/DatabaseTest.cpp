#include "platform/Database.h"
#include "platform/Schema.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

using namespace zar;

namespace {

// Opens the file in a child process and returns the error it met ("" on success).
std::string openInOtherProcess(const QString& path) {
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string result;
        try {
            Database::open(path);
        } catch (const DbError& e) {
            result = e.what();
        }
        (void)!write(fds[1], result.data(), result.size());
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return out;
}

} // namespace

TEST(DatabaseOpen, HeldFileFailsAtOnceInAnotherProcess) {
    test::TestFolder folder;
    const QString path = folder.file("ZAR.mdb");
    EXPECT_EQ(openInOtherProcess(path), "");
    auto db = Database::open(path);
    const std::string err = openInOtherProcess(path);
    EXPECT_NE(err.find("database is locked"), std::string::npos) << err;
    db.reset();
    EXPECT_EQ(openInOtherProcess(path), "") << "the file is free again once the connection is gone";
}

TEST(DatabaseOpen, FailuresCarryClearDescriptionsAndCreateNothing) {
    test::TestFolder folder;
    QFile plain(folder.file("plain.mdb"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write(QByteArray(4096, 'x'));
    plain.close();
    const struct {
        QString path, key;
        QStringList words;
    } cases[] = {{folder.file("none.mdb"), kDatabasePassword, {"non esiste", folder.file("none.mdb")}},
                 {folder.file("ZAR.mdb"), "wrong", {"file is encrypted or is not a database"}},
                 {plain.fileName(), kDatabasePassword, {"file is encrypted or is not a database"}}};
    for (const auto& c : cases) {
        try {
            Database::open(c.path, c.key);
            ADD_FAILURE() << "opened " << c.path.toStdString();
        } catch (const DbError& e) {
            for (const QString& w : c.words)
                EXPECT_TRUE(e.message().contains(w)) << e.what();
        }
    }
    EXPECT_FALSE(QFile::exists(folder.file("none.mdb")));
}

TEST(DatabaseOpen, FileIsUnreadableWithoutTheKey) {
    test::TestFolder folder;
    QFile f(folder.file("ZAR.mdb"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.startsWith("SQLite format 3"));
    EXPECT_FALSE(bytes.contains("TblConduttori"));
}

TEST(DatabaseSetup, RefusesToOverwriteAndMakesBothFiles) {
    test::TestFolder folder;
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

TEST_F(DatabaseTest, TextCriteriaIgnoreCaseAndNullDiffersFromEmpty) {
    db->exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Indirizzo) VALUES (?, ?, ?)",
             {"rssmra80a01h501u", "Rossi", ""});
    EXPECT_EQ(db->scalar("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = ?", {"RSSMRA80A01H501U"}),
              QVariant("Rossi"));
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblConduttori WHERE Indirizzo = ''").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblConduttori WHERE Citta IS NULL").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblConduttori WHERE Citta = ''").toInt(), 0);
}

TEST_F(DatabaseTest, SpecialCharactersAreStoredAndFoundExactly) {
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

TEST_F(DatabaseTest, BibBoundAsTextMatchesTheNumber) {
    db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale) VALUES (?, ?)", {"20260315ROMA", "10"});
    EXPECT_EQ(db->scalar("SELECT typeof(Pettorale) FROM TblIscrizioni").toString(), "integer");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblIscrizioni WHERE CodiceGara = ? AND Pettorale = ?",
                         {"20260315roma", "10"})
                  .toInt(),
              1);
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
