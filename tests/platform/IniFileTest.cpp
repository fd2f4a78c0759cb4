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
    EXPECT_EQ(readAll(path), "[A]\r\nk1=1\r\nK2=two\r\nk3=3\r\n\r\n[B]\r\nx=1\r\n[C]\r\ny=9\r\n");
}

TEST(IniFile, ReadsNamesWithoutCaseAndTrimsValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAR.ini");
    writeAll(
        path,
        "[Impostazione Limiti Gara]\nTempo_Limite_1 =  012400  \n; comment=1\n[Other]\nTempo_Limite_2=1\n");
    EXPECT_EQ(IniFile::read(path, "impostazione limiti gara", "TEMPO_LIMITE_1"), QString("012400"));
    EXPECT_EQ(IniFile::read(path, "Impostazione Limiti Gara", "Tempo_Limite_2"), std::nullopt)
        << "a key of another section is not this section's";
    EXPECT_EQ(IniFile::read(path, "Impostazione Limiti Gara", "; comment"), std::nullopt);
    EXPECT_EQ(IniFile::read(dir.filePath("missing.ini"), "A", "b"), std::nullopt);
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
