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
}

TEST_F(RecordsetTest, EmptySetIsAtEofAndBof) {
    Recordset rs(*db, "SELECT * FROM TblCani WHERE Microchip = ?", {"none"});
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.recordCount(), 0);
    rs.moveLast();
    EXPECT_TRUE(rs.eof());
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
    EXPECT_EQ(rs.text("Razza"), "Border Collie") << "the edit buffer is visible before update";
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

TEST_F(RecordsetTest, JoinsAreReadOnly) {
    Recordset rs(*db, "SELECT c.Microchip FROM TblCani c JOIN TblCani d ON c.rowid = d.rowid");
    EXPECT_FALSE(rs.updatable());
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_THROW(rs.edit(), DbError);
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
