#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zar;

namespace {
QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(IniFile, WriteCreatesFileSectionAndKeyWithCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    IniFile::write(path, "Ultima Gara", "Codice_Gara", "20260315ROMA");
    EXPECT_EQ(readAll(path), "[Ultima Gara]\r\nCodice_Gara=20260315ROMA\r\n");
}

TEST(IniFile, RewritesInPlaceAddsKeysAtSectionEndAndSectionsAtFileEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    writeAll(path, "[A]\nk1=1\nk2=2\n\n[B]\nx=1\n");
    IniFile::write(path, "a", "K2", "two");
    IniFile::write(path, "A", "k3", "3");
    IniFile::write(path, "C", "y", "9");
    // Lines the writes did not touch keep their LF ends.
    EXPECT_EQ(readAll(path), "[A]\nk1=1\nK2=two\r\nk3=3\r\n\n[B]\nx=1\n[C]\r\ny=9\r\n");
}

TEST(IniFile, WriteLeavesOtherLinesByteForByte) {
    // Latin-1 "Città", stray bytes that are no UTF-8 at all, and a last line without a line end.
    const QByteArray foreign = "[Luoghi]\r\nCitta=Citt\xe0\r\nRumore=\xff\xfe\x80\xc3(\r\n";
    struct Case {
        const char* name;
        QByteArray before, after;
    } cases[] = {
        {"key rewritten in a later section", foreign + "[Ultima Gara]\r\nCodice_Gara=OLD\r\n",
         foreign + "[Ultima Gara]\r\nCodice_Gara=NEW\r\n"},
        {"section added after a last line without an end", foreign + "Coda=\xe8",
         foreign + "Coda=\xe8\r\n[Ultima Gara]\r\nCodice_Gara=NEW\r\n"},
        {"key added to a section", "[Ultima Gara]\nAltro=\xe0\n\n" + foreign,
         "[Ultima Gara]\nAltro=\xe0\nCodice_Gara=NEW\r\n\n" + foreign},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZAR.ini");
        writeAll(path, c.before);
        IniFile::write(path, "Ultima Gara", "Codice_Gara", "NEW");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.after) << c.name;
    }
}

TEST(IniFile, WritingTheStoredValueLeavesTheFileAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    const QByteArray handMade = "[A]\n  k =  v  \n";
    writeAll(path, handMade);
    IniFile::write(path, "a", "K", "v");
    EXPECT_EQ(readAll(path), QString::fromUtf8(handMade)) << "a write would have made it \"K=v\\r\\n\"";
    IniFile::write(path, "a", "K", "w");
    EXPECT_EQ(readAll(path), "[A]\nK=w\r\n");
}

TEST(IniFile, ValueWithLineBreakCannotForgeKeys) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    IniFile::write(path, "A", "k", "x\r\n[B]\r\nforged=1");
    EXPECT_EQ(IniFile::read(path, "B", "forged"), std::nullopt);
    EXPECT_EQ(IniFile::read(path, "A", "k"), QString("x  [B]  forged=1"));
}

TEST(IniFile, InterruptedWriteLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    IniFile::write(path, "A", "k", "old");
    // A child whose file writes are cut short after 64 bytes (root is not exempt).
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            IniFile::write(path, "A", "k", QString(4096, u'n'));
        } catch (const IniError&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported";
    EXPECT_EQ(readAll(path), "[A]\r\nk=old\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"ZAR.ini"})) << "no temporary file left";
}
