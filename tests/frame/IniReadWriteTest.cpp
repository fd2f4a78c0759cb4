#include "frame/IniReadWrite.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zar;

// Calls in order on one settings file, each with the answer it must give.
TEST(IniReadWrite, CallsInOrder) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("ZAR.ini");
    const QString a49(49, u'a'), b60 = QString(49, u'b') + QString(11, u'c');
    const struct {
        const char *mode, *section, *key;
        QVariant value;
        QString answer;
    } calls[] = {
        // Checked in this order, and nothing is written.
        {"", "", "", "v", "ERROR MODE"},
        {"WRITE", "", "", "v", "ERROR SecName"},
        {"WRITE", "S", "", "v", "ERROR KeyName"},
        {"WRITE", "S", "K", "", "ERROR KeyValue"},
        {"WRITE", "S", "K", {}, "ERROR KeyValue"},
        {"GET", "S", "K", {}, ""}, // no file
        // Modes and names ignore case; other modes write nothing; any value is written as text.
        {"write", "Ultima Gara", "Codice_Gara", "20260315ROMA", "OK"},
        {"gEt", "ultima gara", "codice_gara", {}, "20260315ROMA"},
        {"read", "Ultima Gara", "Codice_Gara", "x", "OK"},
        {"GET", "Ultima Gara", "Codice_Gara", {}, "20260315ROMA"},
        {"WRITE", "Ultima Gara", "Codice_Gara", 42, "OK"},
        {"WRITE", "Ultima Gara", "Codice_Gara", "", "ERROR KeyValue"},
        {"GET", "Ultima Gara", "Codice_Gara", {}, "42"},
        {"GET", "Ultima Gara", "Altro", {}, ""},
        {"GET", "Altra", "Codice_Gara", {}, ""},
        // At most 49 characters are read back; a value that starts like the default reads empty.
        {"WRITE", "S", "k49", a49, "OK"},
        {"GET", "S", "k49", {}, a49},
        {"WRITE", "S", "k60", b60, "OK"},
        {"GET", "S", "k60", {}, QString(49, u'b')},
        {"WRITE", "S", "K", "Failed to load", "OK"},
        {"GET", "S", "K", {}, ""},
        {"WRITE", "S", "K", "failed", "OK"},
        {"GET", "S", "K", {}, "failed"},
    };
    int i = 0;
    for (const auto& c : calls) {
        EXPECT_EQ(IniReadWrite(c.mode, c.section, c.key, ini, c.value), c.answer) << "call " << i;
        if (++i == 6) {
            ASSERT_FALSE(QFile::exists(ini));
        }
    }
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains(b60)) << "the whole value is stored";
    // A file that cannot be written reaches the caller.
    ASSERT_TRUE(QFile::remove(ini) && QDir().mkpath(ini));
    EXPECT_THROW(IniReadWrite("WRITE", "S", "K", ini, "v"), IniError);
}
