#include "frame/IniReadWrite.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zar;

class IniReadWriteTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("ZAR.ini");
    QString fileText() {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString("<missing>");
    }
};

TEST_F(IniReadWriteTest, ErrorWordsInOrderAndNothingWritten) {
    EXPECT_EQ(IniReadWrite("", "", "", ini, "v"), "ERROR MODE");
    EXPECT_EQ(IniReadWrite("WRITE", "", "", ini, "v"), "ERROR SecName");
    EXPECT_EQ(IniReadWrite("WRITE", "S", "", ini, "v"), "ERROR KeyName");
    EXPECT_EQ(IniReadWrite("WRITE", "S", "K", ini, ""), "ERROR KeyValue");
    EXPECT_EQ(IniReadWrite("WRITE", "S", "K", ini), "ERROR KeyValue");
    EXPECT_EQ(fileText(), "<missing>");
    EXPECT_EQ(IniReadWrite("", "S", "K", ""), "ERROR MODE") << "the file name is not examined";
}

TEST_F(IniReadWriteTest, ModesIgnoreCaseAndOtherModesAnswerOk) {
    EXPECT_EQ(IniReadWrite("write", "Ultima Gara", "Codice_Gara", ini, "20260315ROMA"), "OK");
    EXPECT_EQ(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", ini), "20260315ROMA");
    EXPECT_EQ(IniReadWrite("gEt", "ultima gara", "codice_gara", ini), "20260315ROMA");
    EXPECT_EQ(IniReadWrite("read", "Ultima Gara", "Codice_Gara", ini, "x"), "OK");
    EXPECT_EQ(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", ini), "20260315ROMA")
        << "'read' wrote nothing";
    EXPECT_EQ(IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", ini, 42), "OK") << "any value as text";
    EXPECT_EQ(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", ini), "42");
}

TEST_F(IniReadWriteTest, ReadsAtMost49Characters) {
    const QString v49(49, u'a');
    const QString v60 = QString(49, u'b') + QString(11, u'c');
    IniReadWrite("WRITE", "S", "k49", ini, v49);
    IniReadWrite("WRITE", "S", "k60", ini, v60);
    EXPECT_EQ(IniReadWrite("GET", "S", "k49", ini), v49);
    EXPECT_EQ(IniReadWrite("GET", "S", "k60", ini), QString(49, u'b'));
    EXPECT_TRUE(fileText().contains(v60)) << "the whole value is stored";
}

TEST_F(IniReadWriteTest, MissingAndFailedValuesReadEmpty) {
    EXPECT_EQ(IniReadWrite("GET", "S", "K", ini), "") << "missing file";
    IniReadWrite("WRITE", "S", "other", ini, "1");
    EXPECT_EQ(IniReadWrite("GET", "S", "K", ini), "") << "missing key";
    EXPECT_EQ(IniReadWrite("GET", "T", "other", ini), "") << "missing section";
    IniReadWrite("WRITE", "S", "K", ini, "Failed to load");
    EXPECT_EQ(IniReadWrite("GET", "S", "K", ini), "");
    IniReadWrite("WRITE", "S", "K", ini, "failed");
    EXPECT_EQ(IniReadWrite("GET", "S", "K", ini), "failed") << "the default text compares case-sensitively";
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("[E]\r\nEmpty=\r\n");
    f.close();
    EXPECT_EQ(IniReadWrite("GET", "E", "Empty", ini), "");
}

TEST_F(IniReadWriteTest, EmptyValueLeavesTheStoredOne) {
    IniReadWrite("WRITE", "S", "K", ini, "kept");
    EXPECT_EQ(IniReadWrite("WRITE", "S", "K", ini, ""), "ERROR KeyValue");
    EXPECT_EQ(IniReadWrite("GET", "S", "K", ini), "kept");
}

TEST_F(IniReadWriteTest, FileFailureReachesTheCaller) {
    // The settings path is a folder: nothing can be written there.
    ASSERT_TRUE(QDir().mkpath(ini));
    EXPECT_THROW(IniReadWrite("WRITE", "S", "K", ini, "v"), IniError);
}
