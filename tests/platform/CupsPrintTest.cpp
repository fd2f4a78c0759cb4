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
#include "labels/StampaEtichetta.h"
#include "platform/Printer.h"
#include "platform/PrinterSetup.h"
#include "reports/EasyPrint.h"
#include "reports/ReportFrame.h"
#include "support/GuiTestBase.h"

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
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <functional>

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

    // A second queue chosen in the printer setup takes the next labels and report; chosen and then
    // given up, the default queue keeps them. The labels come out in the setup's paper and
    // orientation; the report sets its own.
    void printsOnThePrinterChosenInTheSetup() {
        const QString chosen = QStringLiteral("ZAR_Scelta");
        const QString root = QFileInfo(m_cups.out()).path();
        const QString chosenOut = root + QStringLiteral("/scelta");
        QVERIFY(QDir().mkpath(chosenOut));
        int code = -1;
        const QString said = run(QStringLiteral("lpadmin"),
                                 {QStringLiteral("-p"), chosen, QStringLiteral("-E"), QStringLiteral("-v"),
                                  QStringLiteral("zarfile:") + chosenOut},
                                 &code);
        QVERIFY2(code == 0, qPrintable(said + m_cups.log()));
        const auto jobs = [](const QString& folder) {
            return QDir(folder).entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name);
        };

        const struct {
            const char* name;
            bool ok;
            QString out, other;
            const char* labelPage; // pdfinfo's page size of the labels
        } rows[] = {
            {"given up", false, m_cups.out(), chosenOut, R"(595(\.\d+)? x 84[12])"},
            {"chosen", true, chosenOut, m_cups.out(), R"(595(\.\d+)? x 42[01])"}, // A5 landscape
        };
        for (const auto& r : rows) {
            SharedValues shared;
            QTemporaryDir program;
            shared.programFolder = program.path();
            QVERIFY(
                writeFile(shared.iniPath(), QStringLiteral("[Parametri di Stampa Etichetta]\r\n"
                                                           "Etichette_Linea=2\r\nLabel_Height=40\r\n"
                                                           "Label_Width=60\r\nLabel_From_Top=10\r\n"
                                                           "Label_From_Left=10\r\nLabel_To_Right_Label=5\r\n"
                                                           "Label_To_Down_Label=5\r\nEtichette_Colonna=0\r\n"
                                                           "Etichette_Campione=2\r\nSkip_Vuote=0\r\n")));
            QString shownFirst;
            shared.modalHook = [&](QDialog& form) {
                auto* printers = form.findChild<QComboBox*>(QStringLiteral("cmbStampante"));
                auto* papers = form.findChild<QComboBox*>(QStringLiteral("cmbFormato"));
                auto* buttons = form.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
                if (!printers || !papers || !buttons)
                    return int(QDialog::Rejected);
                shownFirst = printers->currentText();
                printers->setCurrentText(chosen);
                papers->setCurrentIndex(papers->findData(11));
                form.findChild<QRadioButton*>(QStringLiteral("optOrizzontale"))->click();
                buttons->button(r.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
                return form.result();
            };
            QCOMPARE(showPrinterSetup(shared, nullptr), r.ok);
            QCOMPARE(shownFirst, kQueue); // it opens on the printer in use

            const QStringList before = jobs(r.out), otherBefore = jobs(r.other);
            StampaEtichetta(shared, 7, QStringLiteral("Gara"), QStringLiteral("ROSSI MARIO"),
                            QStringLiteral("FIDO"));
            EasyPrint ep(applicationPrinter(shared));
            DatiIntestazione d;
            d.logo = QImage(8, 8, QImage::Format_RGB32);
            d.logo.fill(Qt::black);
            PaginaReport report(ep, VariantePartenza(), d);
            report.ImpostaPagina();
            report.Stampa(1, [](int) {
                return RigaStampa{{CellaStampa::Allinea::Sinistra, 30, QStringLiteral("RIGA")}};
            });

            QStringList added;
            waitFor(30000, [&] {
                added = jobs(r.out);
                for (const QString& job : before)
                    added.removeAll(job);
                return added.size() >= 2;
            });
            QVERIFY2(added.size() == 2,
                     qPrintable(QStringLiteral("%1: %2 jobs came out").arg(r.name).arg(added.size()) +
                                m_cups.log()));
            QCOMPARE(jobs(r.other), otherBefore);
            QVERIFY(!QDir(shared.programFolder + QStringLiteral("/Stampe")).exists());
            // Labels first, then the report, in the order they were sent.
            const QString labels = r.out + QLatin1Char('/') + added[0],
                          page = r.out + QLatin1Char('/') + added[1];
            QVERIFY(run(QStringLiteral("pdftotext"), {labels, QStringLiteral("-")})
                        .contains(QStringLiteral("ROSSI MARIO")));
            QVERIFY(run(QStringLiteral("pdftotext"), {page, QStringLiteral("-")})
                        .contains(QStringLiteral("RIGA")));
            const QString labelInfo = run(QStringLiteral("pdfinfo"), {labels});
            QVERIFY2(labelInfo.contains(
                         QRegularExpression(QStringLiteral("Page size:\\s+") + QLatin1String(r.labelPage))),
                     qPrintable(labelInfo));
            const QString reportInfo = run(QStringLiteral("pdfinfo"), {page});
            QVERIFY2(reportInfo.contains(
                         QRegularExpression(QStringLiteral(R"(Page size:\s+595(\.\d+)? x 84[12])"))),
                     qPrintable(reportInfo));
        }
    }

private:
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
