// Prints a page as a user does, through the system's default printer, on a private print
// server: its own cupsd with configuration, spool, logs and socket in a temporary folder, and
// one queue whose backend writes each job into a known folder. The machine's own print system
// is never asked: the program finds the private server through CUPS_SERVER, and neither the
// server nor the clients read the machine's configuration.
//
// Needs root (cupsd refuses anything else). Where it cannot run it says why and is skipped,
// except under CI=true, where that is a failure. Its outcome goes into the file named by
// ZAR_CUPS_STATUS ("ran", "skipped: ...", "failed") so CI can insist that it ran.

#include "frame/SharedValues.h"
#include "labels/StampaFoglio.h"
#include "platform/Printer.h"
#include "platform/PrinterSetup.h"
#include "reports/EasyPrint.h"
#include "reports/ReportData.h"
#include "reports/ReportForms.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <functional>

#include <sys/prctl.h>
#include <unistd.h>

using namespace zar;

namespace {

constexpr int kSkipped = 77; // ctest's SKIP_RETURN_CODE
const QString kQueue = QStringLiteral("ZAR_Test");

void writeStatus(const QString& status) {
    const QByteArray path = qgetenv("ZAR_CUPS_STATUS");
    if (path.isEmpty())
        return;
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(status.toUtf8() + '\n');
}

bool writeFile(const QString& path, const QString& text, QFile::Permissions permissions = {}) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(text.toUtf8());
    file.close();
    return permissions == QFile::Permissions() || file.setPermissions(permissions);
}

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool finished = p.waitForFinished(30000);
    if (exitCode)
        *exitCode = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

bool waitFor(int ms, const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        QThread::msleep(100);
    }
    return true;
}

// The private print server, stopped when this object dies.
class PrivateCups {
public:
    QString start() {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        const QString root = m_dir.path();
        // The scheduler's helpers (running as its unprivileged user) pass through this folder.
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther);
        for (const char* sub : {"etc", "spool", "tmp", "cache", "state", "log", "out", "client", "home",
                                "program", "bin/backend"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        // ServerBin: the system's helpers, and our backend alone.
        for (const char* helper : {"filter", "daemon", "cgi-bin", "notifier", "monitor", "driver"})
            QFile::link(QStringLiteral("/usr/lib/cups/") + QString::fromLatin1(helper),
                        root + QStringLiteral("/bin/") + QString::fromLatin1(helper));
        const QString backend = QStringLiteral(
            "#!/bin/sh\n"
            "# Writes each job's document into the folder of the device URI (zarfile:/folder).\n"
            "if [ $# -eq 0 ]; then echo 'direct zarfile \"Unknown\" \"ZAR test folder\"'; exit 0; fi\n"
            "dir=\"${DEVICE_URI#zarfile:}\"\n"
            "part=\"$dir/.job-$1\"\n"
            "if [ -n \"$6\" ]; then cp \"$6\" \"$part\"; else cat > \"$part\"; fi || exit 1\n"
            "mv \"$part\" \"$dir/job-$1.pdf\"\n");
        // Owner-only: the scheduler runs it as root, so it can write into our folder.
        if (!writeFile(root + QStringLiteral("/bin/backend/zarfile"), backend,
                       QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return QStringLiteral("cannot write the backend");
        // Only the socket: no network port, no browsing, no shared printcap.
        const QString conf = QStringLiteral("Listen %1/cups.sock\n"
                                            "LogLevel info\n"
                                            "Browsing No\n"
                                            "BrowseLocalProtocols none\n"
                                            "WebInterface No\n"
                                            "DefaultAuthType None\n"
                                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                            "<Policy default>\n  <Limit All>\n    Order allow,deny\n"
                                            "    Allow all\n  </Limit>\n</Policy>\n")
                                 .arg(root);
        const QString files = QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/tmp\n"
                                             "CacheDir %1/cache\nStateDir %1/state\nServerBin %1/bin\n"
                                             "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                                             "PageLog %1/log/page_log\nPrintcap %1/printcap\n"
                                             "SystemGroup root\n")
                                  .arg(root);
        if (!writeFile(root + QStringLiteral("/cupsd.conf"), conf) ||
            !writeFile(root + QStringLiteral("/cups-files.conf"), files))
            return QStringLiteral("cannot write the configuration");

        m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
        // A test killed by its time-out takes its server along.
        m_cupsd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
                      {QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"),
                       QStringLiteral("-s"), root + QStringLiteral("/cups-files.conf")});
        if (!m_cupsd.waitForStarted(10000))
            return QStringLiteral("cupsd does not start");

        // The clients: our server only, none of the machine's or the user's settings.
        qputenv("CUPS_SERVER", socket().toLocal8Bit());
        qputenv("CUPS_SERVERROOT", (root + QStringLiteral("/client")).toLocal8Bit());
        qputenv("HOME", (root + QStringLiteral("/home")).toLocal8Bit());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");

        int code = -1;
        const bool answers = waitFor(15000, [&] {
            if (m_cupsd.state() != QProcess::Running)
                return true;
            if (QFile::exists(socket()))
                run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &code);
            return code == 0;
        });
        if (!answers || code != 0)
            return QStringLiteral("cupsd does not answer: ") + QString::fromUtf8(m_cupsd.readAll()) + log();
        // The queue, with our backend, made the default.
        for (const QStringList& args : {QStringList{QStringLiteral("-p"), kQueue, QStringLiteral("-E"),
                                                    QStringLiteral("-v"), QStringLiteral("zarfile:") + out()},
                                        QStringList{QStringLiteral("-d"), kQueue}}) {
            const QString said = run(QStringLiteral("lpadmin"), args, &code);
            if (code != 0)
                return QStringLiteral("lpadmin %1: %2").arg(args.join(QLatin1Char(' ')), said) + log();
        }
        return {};
    }

    ~PrivateCups() {
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            if (!m_cupsd.waitForFinished(10000)) {
                m_cupsd.kill();
                m_cupsd.waitForFinished(5000);
            }
        }
    }

    QString socket() const { return m_dir.path() + QStringLiteral("/cups.sock"); }
    QString out() const { return m_dir.path() + QStringLiteral("/out"); }
    QString programFolder() const { return m_dir.path() + QStringLiteral("/program"); }
    QString log() const {
        QFile file(m_dir.path() + QStringLiteral("/log/error_log"));
        return file.open(QIODevice::ReadOnly) ? QStringLiteral("\n") + QString::fromUtf8(file.readAll())
                                              : QString();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
};

// A temporary folder on a small disk of its own, where QDir::tempPath() points while this lives.
class SmallTempDisk : public test::SmallVolume {
public:
    explicit SmallTempDisk(int kib) : SmallVolume(kib), m_saved(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", path().toLocal8Bit());
    }
    ~SmallTempDisk() { qputenv("TMPDIR", m_saved); }
    QStringList files() const {
        return QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QByteArray m_saved;
};

} // namespace

class CupsPrintTest : public zar::test::GuiTestBase {
    Q_OBJECT

public:
    explicit CupsPrintTest(PrivateCups& cups) : m_cups(cups) {}

private slots:
    void printsThroughTheDefaultPrinter() {
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), kQueue);
        SharedValues shared;
        shared.programFolder = m_cups.programFolder();

        // As the reports do: through EasyPrint, in millimetres from the paper's corner.
        EasyPrint ep(applicationPrinter(shared));
        ep.setPaperSize(vbPRPSA4);
        ep.setOrientation(vbPRORPortrait);
        ep.setFontName(QStringLiteral("Times New Roman"));
        ep.setFontSize(12);
        ep.PrintLeft(30, 40, QStringLiteral("Prova di stampa"), 0, 0);
        ep.PrintRight(195, 280, QStringLiteral("pag.1"), 0, 0);
        ep.PrintShape(15, 65, 180, 220, 1);
        ep.EndDoc();

        QString job;
        waitFor(30000, [&] {
            const QStringList done = QDir(m_cups.out()).entryList({QStringLiteral("job-*.pdf")}, QDir::Files);
            job = done.isEmpty() ? QString() : m_cups.out() + QLatin1Char('/') + done.first();
            return !job.isEmpty();
        });
        QVERIFY2(!job.isEmpty(), qPrintable(QStringLiteral("no job came out") + m_cups.log()));
        QVERIFY(!QDir(shared.programFolder + QStringLiteral("/Stampe")).exists()); // not the fallback

        const QString info = run(QStringLiteral("pdfinfo"), {job});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral(R"(Pages:\s+1\n)"))), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral(R"(Page size:\s+595(\.\d+)? x 84[12])"))),
                 qPrintable(info));
        const QString bbox =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), job, QStringLiteral("-")});
        const auto found =
            QRegularExpression(QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>Prova<)re"))
                .match(bbox);
        QVERIFY2(found.hasMatch(), qPrintable(bbox));
        QVERIFY(qAbs(found.captured(1).toDouble() * 25.4 / 72 - 30) < 0.3);
        QVERIFY(qAbs(found.captured(2).toDouble() * 25.4 / 72 - 40) < 0.3);
        const auto page =
            QRegularExpression(QStringLiteral(R"re(xMax="([\d.]+)"[^>]*>pag\.1<)re")).match(bbox);
        QVERIFY2(page.hasMatch(), qPrintable(bbox));
        QVERIFY(qAbs(page.captured(1).toDouble() * 25.4 / 72 - 195) < 0.3);
    }

    // A queue that refuses jobs, from the start or once the page is drawn, is told once in the
    // "EasyPrint" box, by the reports and the labels alike, and gets no job; a paused queue holds
    // the job without a word; a dropped job never reaches the queue.
    void refusedPausedAndDroppedJobs() {
        test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        test::riempiGara(*shared.dbGare, 2);
        const auto drawnThenRefused = [](SharedValues& s) {
            EasyPrint ep(applicationPrinter(s));
            ep.PrintLeft(30, 40, "Prova", 0, 0);
            queue("cupsreject");
            endDoc(ep);
        };
        const auto dropped = [](SharedValues& s) {
            applicationPrinter(s).Print("mezza");
            applicationPrinter(s).KillDoc();
        };
        const QString told = test::described(
            QStringLiteral("Errore nella routine di stampa\r\nErrore numero: 482\r\n"
                           "Errore della stampante: la coda \"%1\" non accetta lavori di stampa")
                .arg(kQueue),
            vbOKOnly + vbCritical, "EasyPrint");
        const struct {
            const char* name;
            const char* before; // what the queue is told first
            void (*print)(SharedValues&);
            bool refused;
            int held; // jobs the queue holds until it is enabled
        } cases[] = {
            {"report, refusing", "cupsreject", printReport, true, 0},
            {"labels, refusing", "cupsreject", printLabels, true, 0},
            {"refusing once drawn", nullptr, drawnThenRefused, true, 0},
            {"report, paused", "cupsdisable", printReport, false, 1},
            {"dropped", nullptr, dropped, false, 0},
        };
        for (const auto& c : cases) {
            const int known = jobs(true), out = printed(m_cups.out()).size();
            if (c.before)
                queue(c.before);
            c.print(shared);
            QCOMPARE(test::described(takeBoxes()), c.refused ? QStringList{told} : QStringList{});
            QVERIFY2(jobs(true) == known + c.held && jobs(false) == c.held, c.name);
            QCOMPARE(printed(m_cups.out()).size(), out);
            queue("cupsaccept");
            queue("cupsenable");
            QVERIFY2(waitFor(30000, [&] { return printed(m_cups.out()).size() == out + c.held; }),
                     qPrintable(c.name + m_cups.log()));
        }
    }

    // A report through a queue on the distribution's PDF-printer driver, whose filters turn the
    // job into PostScript (where a page with transparency became one picture, and composite fonts
    // unnamed bitmaps), made PDF again as its backend does: its rows read back, in named fonts.
    void aReportKeepsItsTextThroughPostScript() {
        const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        if (!QFile::exists(ppd) || QStandardPaths::findExecutable("gs").isEmpty())
            QSKIP("the PDF-printer driver (printer-driver-cups-pdf) is not installed");
        // The filters run as the scheduler's unprivileged user and need its temporary folder.
        run("chmod", {"1777", QFileInfo(m_cups.out()).path() + "/tmp"});
        const QString out = addQueue("ZAR_Pdf", {"-P", ppd});
        QVERIFY2(!out.isEmpty(), qPrintable(m_cups.log()));
        test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        shared.printerName = "ZAR_Pdf";
        test::riempiGara(*shared.dbGare, 34); // two pages
        printReport(shared);
        QVERIFY(takeBoxes().isEmpty());
        QVERIFY2(waitFor(60000, [&] { return !printed(out).isEmpty(); }), qPrintable(m_cups.log()));
        const QString pdf = out + "/report.pdf";
        run("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite", "-sOutputFile=" + pdf,
                   out + '/' + printed(out).first()});

        const QString fonts = run("pdffonts", {pdf});
        QVERIFY2(fonts.contains("LiberationSerif-Bold") && !fonts.contains("Type 3"), qPrintable(fonts));
        const QString text = run("pdftotext", {"-layout", pdf, "-"});
        for (int bib = 1; bib <= 34; ++bib)
            QVERIFY2(text.contains(QStringLiteral("ROSSI%1 MARIO").arg(bib)), qPrintable(text));
    }

    // The queue chosen in the printer setup takes the next labels, in the setup's paper and
    // orientation, and the next report, in its own; given up, the setup changes nothing.
    void printsOnThePrinterChosenInTheSetup() {
        const QString chosen = QStringLiteral("ZAR_Scelta"), chosenOut = addQueue(chosen, {});
        QVERIFY2(!chosenOut.isEmpty(), qPrintable(m_cups.log()));
        test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        test::riempiGara(*shared.dbGare, 1);
        for (const bool ok : {false, true}) {
            QString shownFirst;
            shared.modalHook = [&](QDialog& form) {
                shownFirst = test::child<QComboBox>(&form, "cmbStampante")->currentText();
                test::child<QComboBox>(&form, "cmbStampante")->setCurrentText(chosen);
                auto* papers = test::child<QComboBox>(&form, "cmbFormato");
                papers->setCurrentIndex(papers->findData(11)); // A5
                test::child<QRadioButton>(&form, "optOrizzontale")->click();
                test::child<QDialogButtonBox>(&form, "buttonBox")
                    ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                    ->click();
                return form.result();
            };
            QCOMPARE(showPrinterSetup(shared, nullptr), ok);
            QCOMPARE(shownFirst, kQueue); // the printer in use, the default until one is chosen
        }

        const QStringList before = printed(m_cups.out());
        printLabels(shared);
        printReport(shared);
        QVERIFY2(waitFor(30000, [&] { return printed(chosenOut).size() >= 2; }), qPrintable(m_cups.log()));
        QCOMPARE(printed(chosenOut).size(), 2);
        QCOMPARE(printed(m_cups.out()), before);
        // In the order sent: the labels in A5 landscape, then the report in A4 portrait.
        const std::pair<const char*, const char*> pages[] = {{"ROSSI MARIO", "42[01]"}, {"ROSSI1", "84[12]"}};
        for (int i = 0; i < 2; ++i) {
            const QString job = chosenOut + '/' + printed(chosenOut)[i], info = run("pdfinfo", {job});
            QVERIFY(run("pdftotext", {job, "-"}).contains(pages[i].first));
            QVERIFY2(info.contains(QRegularExpression(QStringLiteral(R"(Page size:\s+595(\.\d+)? x )") +
                                                      pages[i].second)),
                     qPrintable(info));
        }
    }

    // A job is handed over whole or not at all, and leaves no temporary file: where the font
    // rewrite does not fit on the temporary disk, the queue gets the document as Qt drew it; where
    // nothing fits, and where the queue went away after it was chosen, the user is told why.
    void jobsThatCannotBeHandedOver() {
        const QString gone = "ZAR_Via";
        QVERIFY2(!addQueue(gone, {}).isEmpty(), qPrintable(m_cups.log()));
        test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        test::riempiGara(*shared.dbGare, 1);
        // A page in twelve fonts, each of which the rewrite makes larger.
        const auto manyFonts = [](SharedValues& s) {
            EasyPrint ep(applicationPrinter(s));
            int row = 0;
            for (const char* family : {"Times New Roman", "Arial", "Courier New"})
                for (const int style : {0, 1, 2, 3}) {
                    ep.setFontName(family);
                    ep.setFontBold(style & 1);
                    ep.setFontItalic(style & 2);
                    ep.PrintLeft(20, 20 + 10 * row++, "Prova di stampa 0123456789", 0, 0);
                }
            endDoc(ep);
        };
        const auto deletedOnceDrawn = [](SharedValues& s) {
            s.printerName = "ZAR_Via";
            EasyPrint ep(applicationPrinter(s));
            ep.PrintLeft(30, 40, "Prova", 0, 0);
            run("lpadmin", {"-x", "ZAR_Via"});
            endDoc(ep);
            s.printerName.clear();
        };
        const struct {
            const char* name;
            int kib; // the temporary disk
            void (*print)(SharedValues&);
            const char* told; // after "Errore della stampante: ", %1 the temporary folder
        } cases[] = {
            // Qt's file (about 65 KiB) stays while its rewrite (some 6 KiB more) is written: 104 KiB
            // hold the one with room to spare, not both.
            {"no room beside Qt's file", 104, manyFonts, nullptr},
            // Just the pages Qt's file takes, as the row above delivered it (0): the rewrite, larger,
            // does not fit even in its place.
            {"no room but Qt's file", 0, manyFonts, nullptr},
            {"no room at all", 4, printReport,
             "la stampa non può essere scritta nella cartella \"%1\": il disco è pieno"},
            {"queue deleted", 4096, deletedOnceDrawn, "la coda \"ZAR_Via\" non può essere raggiunta"},
        };
        qint64 drawnKib = 0;
        for (const auto& c : cases) {
            SmallTempDisk disk(c.kib ? c.kib : int(drawnKib));
            QVERIFY2(disk.isMounted(), "cannot mount a tmpfs");
            const QStringList out = printed(m_cups.out());
            c.print(shared);
            const QStringList told =
                c.told
                    ? QStringList{test::described("Errore nella routine di stampa\r\nErrore numero: 482\r\n"
                                                  "Errore della stampante: " +
                                                      QString::fromUtf8(c.told).replace("%1", disk.path()),
                                                  vbOKOnly + vbCritical, "EasyPrint")}
                    : QStringList{};
            QCOMPARE(test::described(takeBoxes()), told);
            QVERIFY2(disk.files().isEmpty(), qPrintable(disk.files().join(' ')));
            if (c.told) {
                QVERIFY2(jobs(false) == 0 && printed(m_cups.out()) == out, c.name);
                continue;
            }
            QVERIFY2(waitFor(30000, [&] { return printed(m_cups.out()).size() > out.size(); }),
                     qPrintable(c.name + m_cups.log()));
            const QString job = m_cups.out() + '/' + printed(m_cups.out()).last();
            QVERIFY(run("pdftotext", {job, "-"}).contains("Prova di stampa"));
            // Qt's own fonts: the rewrite did not fit.
            const QString fonts = run("pdffonts", {job});
            QVERIFY2(fonts.contains("CID TrueType"), qPrintable(fonts));
            const qint64 page = QStorageInfo(disk.path()).blockSize();
            drawnKib = (QFileInfo(job).size() + page - 1) / page * page / 1024;
        }
    }

private:
    // As the reports end a document: a failure, not yet shown, is told in the "EasyPrint" box.
    static void endDoc(EasyPrint& ep) {
        try {
            ep.EndDoc();
        } catch (const PrinterError& e) {
            QVERIFY(!e.repeated());
            EasyPrint::ShowError(e.number(), e.description());
        }
    }
    static void queue(const char* command) {
        int code = -1;
        const QString said = run(QString::fromLatin1(command), {kQueue}, &code);
        QVERIFY2(code == 0, qPrintable(said));
    }
    // The entrants' report, printed as a user does; the form stays open.
    static void printReport(SharedValues& shared) {
        frmReportIscritti form(shared);
        test::showActive(&form);
        test::chooseSelection(&form, {test::kGara});
        test::click(&form, "cmdPrint");
        QVERIFY(form.isVisible());
    }
    static void printLabels(SharedValues& shared) {
        MisureEtichetta m;
        m.perRiga = m.perCodice = 2;
        m.righePerPagina = 3;
        m.altezza = 40;
        m.larghezza = 90;
        StampaFoglioEtichette(shared, EtichetteIscritto("7", "ROSSI MARIO", "FIDO", m.perCodice), "Trofeo", m,
                              TipoEtichetta::RigaParziale);
    }
    // A queue with our backend, writing into a folder of its own: the folder, or nothing.
    QString addQueue(const QString& name, const QStringList& more) const {
        const QString out = QFileInfo(m_cups.out()).path() + '/' + name;
        int code = -1;
        if (QDir().mkpath(out))
            run("lpadmin", QStringList{"-p", name, "-E", "-v", "zarfile:" + out} + more, &code);
        return code == 0 ? out : QString();
    }
    // The jobs the server knows of (those done too), or those it holds.
    static int jobs(bool all) {
        const QStringList args = all ? QStringList{"-W", "all", "-o", kQueue} : QStringList{"-o", kQueue};
        return int(run("lpstat", args).split(u'\n', Qt::SkipEmptyParts).size());
    }
    // The jobs that came out into a folder, in the order they were sent.
    static QStringList printed(const QString& folder) {
        QStringList done = QDir(folder).entryList({"job-*.pdf"}, QDir::Files);
        std::sort(done.begin(), done.end(), [](const QString& a, const QString& b) {
            return a.mid(4).chopped(4).toInt() < b.mid(4).chopped(4).toInt();
        });
        return done;
    }

    PrivateCups& m_cups;
};

int main(int argc, char** argv) {
    writeStatus(QStringLiteral("started"));
    QString cannot;
    if (geteuid() != 0)
        cannot = QStringLiteral("needs root to start a private cupsd");
    else if (!QFile::exists(QStringLiteral("/usr/sbin/cupsd")))
        cannot = QStringLiteral("cupsd is not installed (package cups-daemon)");
    else if (!QFile::exists(QStringLiteral("/usr/sbin/lpadmin")))
        cannot = QStringLiteral("lpadmin is not installed (package cups-client)");
    const bool ci = qgetenv("CI") == "true";
    if (!cannot.isEmpty()) {
        std::fprintf(stderr, "CUPS print test cannot run: %s\n", qPrintable(cannot));
        writeStatus(QStringLiteral("skipped: ") + cannot);
        return ci ? 1 : kSkipped;
    }

    PrivateCups cups;
    const QString failed = cups.start();
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "The private cupsd could not be set up: %s\n", qPrintable(failed));
        writeStatus(QStringLiteral("failed: ") + failed);
        return 1;
    }
    QApplication app(argc, argv); // after CUPS_SERVER: Qt's print support reads it once
    CupsPrintTest test(cups);
    const int result = QTest::qExec(&test, argc, argv);
    writeStatus(result == 0 ? QStringLiteral("ran") : QStringLiteral("failed"));
    return result;
}

#include "CupsPrintTest.moc"
