#include "platform/Recordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

using namespace zar;

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* chip : {"C3", "C1", "C2"})
            db->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)",
                     {chip, QString("Dog ") + chip});
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
    test::TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file("ZAR.mdb"));
};

// Moves, reads past either end and unknown fields are faults, never a stale record.
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
}

// FindFirst takes the first match in the set's order; no match keeps the current record.
// Edits write through and reread, a cancelled or refused one changes nothing, a delete
// leaves no current record, additions go at the end.
TEST_F(RecordsetTest, FindsEditsAddsAndDeletes) {
    db->exec("UPDATE TblCani SET Razza = 'X' WHERE Microchip IN ('C2', 'C3')");
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip DESC");
    rs.findFirst("Razza = ?", {"x"});
    EXPECT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.text("Microchip"), "C3");
    rs.findFirst("Microchip = ?", {"missing"});
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(rs.text("Microchip"), "C3");

    rs.findFirst("Microchip = ?", {"C2"});
    rs.edit();
    rs.setValue("Razza", "Border Collie");
    EXPECT_EQ(rs.text("Razza"), "Border Collie") << "the edit buffer is visible before update";
    rs.update();
    rs.edit();
    rs.setValue("Razza", "changed");
    rs.cancelUpdate();
    EXPECT_EQ(rs.text("Razza"), "Border Collie");
    rs.edit();
    rs.setValue("Microchip", "c1"); // duplicate key
    EXPECT_THROW(rs.update(), DbError);
    rs.cancelUpdate();
    rs.addNew();
    rs.setValue("Microchip", "C1");
    EXPECT_THROW(rs.update(), DbError);
    rs.cancelUpdate();
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
    }
    EXPECT_FALSE(rs.isNull("CodiceFiscale")) << "an empty text is not Null";
}

// Thousands of short, empty, Null and very long texts survive edits and additions.
TEST_F(RecordsetTest, LargeSetKeepsEveryValueThroughEditsAndAdditions) {
    db->exec("DELETE FROM TblCani");
    auto nameOf = [](int i) -> QVariant {
        if (i % 11 == 0 || i % 7 == 0)
            return i % 11 ? QVariant(QString("")) : QVariant();
        return i == 1234 ? QString(200000, u'x') : QString("Dog %1 ").arg(i).repeated(i % 40 + 1);
    };
    QStringList expected;
    Transaction tx(*db);
    for (int i = 0; i < 3000; ++i) {
        db->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)",
                 {QString("C%1").arg(i, 5, 10, QChar('0')), nameOf(i)});
        expected << nameOf(i).toString();
    }
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    EXPECT_EQ(chips(rs, "NomeCane"), expected);
    for (int at : {0, 1234, 2999}) {
        rs.findFirst("Microchip = ?", {QString("C%1").arg(at, 5, 10, QChar('0'))});
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

TEST_F(RecordsetTest, FailedRequeryKeepsTheRecords) {
    db->exec("CREATE TABLE TblProva (Nome TEXT)");
    db->exec("INSERT INTO TblProva VALUES ('uno'), ('due')");
    Recordset rs(*db, "SELECT * FROM TblProva ORDER BY Nome");
    db->exec("DROP TABLE TblProva");
    EXPECT_THROW(rs.requery(), DbError);
    EXPECT_EQ(chips(rs, "Nome"), QStringList({"due", "uno"}));
}
