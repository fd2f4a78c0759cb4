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
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}
} // namespace

// One write into a file as it stood: the bytes after it. Lines the write does not touch
// keep their bytes (Latin-1, stray non-UTF-8 bytes, LF ends, a last line with no end).
TEST(IniFile, WriteChangesOnlyItsLine) {
    const QByteArray foreign = "[Luoghi]\r\nCitta=Citt\xe0\r\nRumore=\xff\xfe\x80\xc3(\r\n";
    const struct {
        const char* name;
        QByteArray before;
        const char *section, *key, *value;
        QByteArray after;
    } cases[] = {
        {"new file", "<none>", "Ultima Gara", "Codice_Gara", "X", "[Ultima Gara]\r\nCodice_Gara=X\r\n"},
        {"rewritten in place", "[A]\nk1=1\nk2=2\n\n[B]\nx=1\n", "a", "K2", "two",
         "[A]\nk1=1\nK2=two\r\n\n[B]\nx=1\n"},
        {"added at the section's end", "[A]\nk1=1\n\n[B]\nx=1\n", "A", "k3", "3",
         "[A]\nk1=1\nk3=3\r\n\n[B]\nx=1\n"},
        {"section added at the end", "[A]\nk=1\n", "C", "y", "9", "[A]\nk=1\n[C]\r\ny=9\r\n"},
        {"later section", foreign + "[U]\r\nK=OLD\r\n", "U", "K", "NEW", foreign + "[U]\r\nK=NEW\r\n"},
        {"after a last line without an end", foreign + "Coda=\xe8", "U", "K", "NEW",
         foreign + "Coda=\xe8\r\n[U]\r\nK=NEW\r\n"},
        {"added before foreign bytes", "[U]\nAltro=\xe0\n\n" + foreign, "U", "K", "NEW",
         "[U]\nAltro=\xe0\nK=NEW\r\n\n" + foreign},
        {"same value leaves the file alone", "[A]\n  k =  v  \n", "a", "K", "v", "[A]\n  k =  v  \n"},
        {"other value", "[A]\n  k =  v  \n", "a", "K", "w", "[A]\nK=w\r\n"},
        {"line breaks cannot forge keys", "<none>", "A", "k", "x\r\n[B]\r\nforged=1",
         "[A]\r\nk=x  [B]  forged=1\r\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZAR.ini");
        if (c.before != "<none>") {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(c.before) == c.before.size());
        }
        IniFile::write(path, c.section, c.key, c.value);
        EXPECT_EQ(readAll(path), c.after) << c.name;
    }
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
