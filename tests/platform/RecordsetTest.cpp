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
    QStringList chips(Recordset& rs) {
        QStringList out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            out << rs.text("Microchip");
        return out;
    }
    test::TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file("ZAR.mdb"));
};

TEST_F(RecordsetTest, NavigatesInQueryOrder) {
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    EXPECT_TRUE(rs.updatable());
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(chips(rs), QStringList({"C1", "C2", "C3"}));
    rs.moveLast();
    EXPECT_EQ(rs.text("microchip"), "C3") << "field names ignore case";
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.value("Microchip"), DbError);
    EXPECT_THROW(rs.value("NoSuchField"), DbError);

    rs.moveFirst();
    EXPECT_FALSE(rs.hasField("Microchi"));
    EXPECT_THROW(rs.fieldIndex("Microchi"), DbError);
    const int last = int(rs.fieldNames().size()) - 1;
    EXPECT_NO_THROW(rs.value(last));
    EXPECT_THROW(rs.value(last + 1), DbError);
    EXPECT_THROW(rs.isNull(-1), DbError);

    Recordset none(*db, "SELECT * FROM TblCani WHERE Microchip = ?", {"none"});
    EXPECT_TRUE(none.eof() && none.bof());
    EXPECT_EQ(none.recordCount(), 0);
    none.moveLast();
    EXPECT_TRUE(none.eof());
    Recordset join(*db, "SELECT c.Microchip FROM TblCani c JOIN TblCani d ON c.rowid = d.rowid");
    EXPECT_FALSE(join.updatable());
    EXPECT_EQ(join.recordCount(), 3);
    EXPECT_THROW(join.edit(), DbError);
}

TEST_F(RecordsetTest, FindFirstFollowsTheSetOrderAndKeepsPlaceOnNoMatch) {
    db->exec("UPDATE TblCani SET Razza = 'X' WHERE Microchip IN ('C2', 'C3')");
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip DESC");
    rs.findFirst("Razza = ?", {"x"});
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.text("Microchip"), "C3");
    rs.findFirst("Microchip = ?", {"missing"});
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(rs.text("Microchip"), "C3");
}

TEST_F(RecordsetTest, EditWritesOnlyChangedFieldsAndRereads) {
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    rs.findFirst("Microchip = ?", {"C2"});
    rs.edit();
    rs.setValue("Razza", "Border Collie");
    EXPECT_EQ(rs.text(rs.fieldIndex("Razza")), "Border Collie") << "the edit buffer is visible before update";
    rs.update();
    EXPECT_EQ(db->scalar("SELECT Razza FROM TblCani WHERE Microchip = 'C2'").toString(), "Border Collie");
    EXPECT_EQ(rs.text("NomeCane"), "Dog C2");
    rs.edit();
    rs.setValue("Razza", "changed");
    rs.cancelUpdate();
    EXPECT_EQ(rs.text("Razza"), "Border Collie");
}

TEST_F(RecordsetTest, AddNewKeepsTheCurrentRecordAndAppends) {
    Recordset rs(*db, "SELECT * FROM TblIscrizioni ORDER BY Pettorale");
    rs.addNew();
    rs.setValue("CodiceGara", "G");
    rs.setValue("Pettorale", "7");
    rs.update();
    EXPECT_EQ(rs.recordCount(), 1);
    rs.moveFirst();
    EXPECT_EQ(rs.value("Pettorale"), QVariant(qlonglong(7))) << "stored with the column's type";
    EXPECT_TRUE(rs.isNull("PunteggioRun1")) << "results are empty on a new entry";
}

TEST_F(RecordsetTest, RefusedWriteChangesNothing) {
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    rs.addNew();
    rs.setValue("Microchip", "c1");
    EXPECT_THROW(rs.update(), DbError);
    rs.cancelUpdate();
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveFirst();
    rs.edit();
    rs.setValue("Microchip", "C2");
    EXPECT_THROW(rs.update(), DbError);
    rs.cancelUpdate();
    EXPECT_EQ(db->scalar("SELECT group_concat(Microchip) FROM (SELECT Microchip FROM TblCani ORDER BY 1)")
                  .toString(),
              "C1,C2,C3");
}

TEST_F(RecordsetTest, DeleteRemovesTheRecordAndMoveNextGoesOn) {
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    rs.findFirst("Microchip = ?", {"C2"});
    rs.deleteRecord();
    EXPECT_THROW(rs.value("Microchip"), DbError) << "no current record after a delete";
    rs.moveNext();
    EXPECT_EQ(rs.text("Microchip"), "C3");
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(chips(rs), QStringList({"C1", "C3"}));
    EXPECT_EQ(db->scalar("SELECT count(*) FROM TblCani").toInt(), 2);
}

TEST_F(RecordsetTest, BoundViewCanBePointedElsewhereAndRefreshed) {
    BoundView view(db.get());
    view.setRecordSource("select * from TblCani order by Microchip");
    view.refresh();
    EXPECT_EQ(view.recordset().text("Microchip"), "C1");
    db->exec("INSERT INTO TblCani (Microchip) VALUES ('C0')");
    view.refresh();
    EXPECT_EQ(view.recordset().text("Microchip"), "C0");
    view.setRecordSource("select * from TblCani where Microchip = ?", {"C3"});
    view.refresh();
    EXPECT_EQ(view.recordset().recordCount(), 1);
}

// Every kind of stored value reads back by position exactly as the engine gives it,
// and the same by name.
TEST_F(RecordsetTest, ValuesByPositionAreThoseOfTheEngine) {
    db->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, Classe, "
             "PunteggioRun1, TempoRun1, ClassificaRun1) VALUES ('G', 7, '', ?, X'00FF', X'', 12.5, NULL, 0)",
             {QString::fromUtf8("Città ü")});
    Recordset rs(*db, "SELECT * FROM TblIscrizioni");
    Statement raw(*db, "SELECT * FROM TblIscrizioni");
    ASSERT_TRUE(raw.step());
    ASSERT_EQ(rs.fieldNames().size(), raw.columnCount());
    for (int c = 0; c < raw.columnCount(); ++c) {
        const QString name = raw.columnName(c);
        SCOPED_TRACE(name.toStdString());
        const QVariant want = raw.column(c);
        EXPECT_EQ(rs.fieldIndex(name), c);
        EXPECT_EQ(rs.value(c).typeId(), want.typeId());
        EXPECT_EQ(rs.value(c), want);
        EXPECT_EQ(rs.value(name.toUpper()), want);
        EXPECT_EQ(rs.isNull(c), want.isNull());
        EXPECT_EQ(rs.text(c), want.toString());
        EXPECT_EQ(rs.text(c).isNull(), want.toString().isNull());
    }
    EXPECT_EQ(rs.text("PunteggioRun1"), "12.5");
    EXPECT_TRUE(rs.isNull("TempoRun1"));
    EXPECT_FALSE(rs.isNull("CodiceFiscale")) << "an empty text is not Null";
    EXPECT_EQ(rs.value("Categoria").toByteArray(), QByteArray("\x00\xff", 2));
}

// Thousands of records of short, empty, Null and very long texts survive edits and
// additions, in the set's order.
TEST_F(RecordsetTest, LargeSetKeepsEveryValueThroughEditsAndAdditions) {
    db->exec("DELETE FROM TblCani");
    auto nameOf = [](int i) -> QVariant {
        if (i % 11 == 0)
            return QVariant();
        if (i % 7 == 0)
            return QString("");
        if (i == 1234)
            return QString(200000, u'x');
        return QString("Dog %1 ").arg(i).repeated(i % 40 + 1);
    };
    auto chip = [](int i) { return QString("C%1").arg(i, 5, 10, QChar('0')); };
    std::vector<QVariant> expected;
    Transaction tx(*db);
    for (int i = 0; i < 3000; ++i) {
        db->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)", {chip(i), nameOf(i)});
        expected.push_back(nameOf(i));
    }
    Recordset rs(*db, "SELECT * FROM TblCani ORDER BY Microchip");
    auto check = [&] {
        ASSERT_EQ(rs.recordCount(), int(expected.size()));
        const int name = rs.fieldIndex("NomeCane");
        size_t i = 0;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext(), ++i) {
            ASSERT_EQ(rs.isNull(name), expected[i].isNull()) << i;
            ASSERT_EQ(rs.text(name), expected[i].toString()) << i;
        }
        EXPECT_EQ(i, expected.size());
    };
    check();

    for (int at : {0, 1234, 2999}) {
        rs.findFirst("Microchip = ?", {chip(at)});
        rs.edit();
        expected[size_t(at)] = QString("Edited %1").arg(at).repeated(at % 3 == 0 ? 5000 : 1);
        rs.setValue("NomeCane", expected[size_t(at)]);
        rs.update();
    }
    for (int i = 3000; i < 4000; ++i) {
        rs.addNew();
        rs.setValue("Microchip", QString("A%1").arg(i));
        rs.setValue("NomeCane", nameOf(i));
        rs.update();
        expected.push_back(nameOf(i)); // appended at the end, whatever the order
    }
    tx.commit();
    check();
}

TEST_F(RecordsetTest, FailedRequeryKeepsTheRecords) {
    db->exec("CREATE TABLE TblProva (Nome TEXT)");
    db->exec("INSERT INTO TblProva VALUES ('uno'), ('due')");
    Recordset rs(*db, "SELECT * FROM TblProva ORDER BY Nome");
    db->exec("DROP TABLE TblProva");
    EXPECT_THROW(rs.requery(), DbError);
    EXPECT_EQ(rs.recordCount(), 2);
    rs.moveFirst();
    EXPECT_EQ(rs.text("Nome"), "due");
    rs.moveNext();
    EXPECT_EQ(rs.text(0), "uno");
}
