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
#include "labels/StampaFoglio.h"
#include "platform/Printer.h"
#include "platform/PrinterSetup.h"
#include "reports/EasyPrint.h"
#include "reports/ReportData.h"
#include "reports/ReportForms.h"
#include "reports/ReportFrame.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/PrintedPdf.h"
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

    // A queue that refuses jobs, from the start or once the page is drawn, is told once in the
    // "EasyPrint" box, by the reports and the labels alike, and the server never holds the job; a
    // paused queue takes the job and holds it without a word. With the queue back, the held job
    // comes out, and so does the next print of a refused one.
    void refusedJobsAreToldPausedOnesHeld() {
        test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        shared.printerName = kQueue; // whichever queue is the default
        test::riempiGara(*shared.dbGare, 2);
        const auto queue = [](const char* command) {
            int code = -1;
            const QString said = run(QString::fromLatin1(command), {kQueue}, &code);
            QVERIFY2(code == 0, qPrintable(said));
        };

        const std::function<void()> report = [&] {
            frmReportIscritti form(shared);
            test::showActive(&form);
            test::chooseSelection(&form, {test::kGara});
            test::click(&form, "cmdPrint");
            QVERIFY(form.isVisible());
        };
        const std::function<void()> labels = [&] {
            MisureEtichetta m;
            m.perRiga = 2;
            m.righePerPagina = 3;
            m.perCodice = 2;
            m.altezza = 40;
            m.larghezza = 90;
            StampaFoglioEtichette(shared, EtichetteIscritto("7", "ROSSI MARIO", "FIDO", m.perCodice),
                                  "Trofeo", m, TipoEtichetta::RigaParziale);
        };
        // The queue stops taking jobs after the page is drawn: the end of the job finds it out.
        const std::function<void()> drawnThenRefused = [&] {
            EasyPrint ep(applicationPrinter(shared));
            ep.PrintLeft(30, 40, "Prova", 0, 0);
            queue("cupsreject");
            try {
                ep.EndDoc();
            } catch (const PrinterError& e) {
                QVERIFY(!e.repeated());
                EasyPrint::ShowError(e.number(), e.description());
            }
        };
        const QString told = test::described(
            QStringLiteral("Errore nella routine di stampa\r\nErrore numero: 482\r\n"
                           "Errore della stampante: la coda \"%1\" non accetta lavori di stampa")
                .arg(kQueue),
            vbOKOnly + vbCritical, "EasyPrint");
        const struct {
            const char* name;
            const char* before; // what the queue is told first
            const std::function<void()>& print;
            bool refused;
            const std::function<void()>& again;
        } cases[] = {
            {"report, refusing", "cupsreject", report, true, report},
            {"labels, refusing", "cupsreject", labels, true, labels},
            {"refusing once drawn", nullptr, drawnThenRefused, true, report},
            {"report, paused", "cupsdisable", report, false, report},
            {"labels, paused", "cupsdisable", labels, false, labels},
        };
        for (const auto& c : cases) {
            const int known = jobs(true), out = outputs();
            if (c.before)
                queue(c.before);
            c.print();
            QCOMPARE(test::described(takeBoxes()), c.refused ? QStringList{told} : QStringList{});
            QVERIFY2(jobs(true) == known + (c.refused ? 0 : 1) && jobs(false) == (c.refused ? 0 : 1), c.name);
            QCOMPARE(outputs(), out);
            queue("cupsaccept");
            queue("cupsenable");
            if (c.refused)
                c.again();
            QVERIFY2(waitFor(30000, [&] { return outputs() == out + 1; }), qPrintable(c.name + m_cups.log()));
            QVERIFY2(takeBoxes().isEmpty(), c.name);
        }
    }

    // A job dropped half-drawn never prints and leaves nothing held; the next one prints.
    void aDroppedJobNeverPrints() {
        SharedValues shared;
        shared.programFolder = m_cups.programFolder();
        shared.printerName = kQueue;
        Printer& printer = applicationPrinter(shared);
        const int known = jobs(true), out = outputs();
        printer.Print("mezza");
        printer.KillDoc();
        QVERIFY(!waitFor(3000, [&] { return outputs() != out; }));
        QCOMPARE(jobs(false), 0);
        printer.Print("intera");
        printer.EndDoc();
        QVERIFY2(waitFor(30000, [&] { return outputs() == out + 1; }), qPrintable(m_cups.log()));
        QCOMPARE(jobs(true), known + 1);
    }

    // The reports through queues on the distribution's PDF-printer driver, whose filters turn
    // the job into PostScript, each page made PDF again as that driver's backend does. With the
    // filters' default converter a page with transparency on it came out as one picture, and
    // composite fonts came out as unnamed bitmap fonts. With either converter the rows read back
    // as printed, in a named font of their own, one "Abc" of the font file apart.
    void reportsKeepTheirTextThroughPostScript_data() {
        QTest::addColumn<QString>("renderer"); // the filters' PDF to PostScript converter
        QTest::addColumn<int>("report");       // 0 start order, 1 rankings, 2 entrants
        QTest::addColumn<double>("bibX");      // where the bibs are centred
        QTest::addColumn<QString>("perPage");  // rows on each page
        QTest::addColumn<double>("tolerance"); // of the row pitch, mm
        QTest::newRow("default, entrants") << QString() << 2 << 22.0 << "33 1" << 0.005;
        QTest::newRow("default, rankings") << QString() << 1 << 36.0 << "19 15" << 0.005;
        QTest::newRow("cairo, start order") << "pdftocairo" << 0 << 37.5 << "33 1" << 0.005;
        QTest::newRow("cairo, rankings") << "pdftocairo" << 1 << 36.0 << "19 15" << 0.005;
        QTest::newRow("cairo, entrants") << "pdftocairo" << 2 << 22.0 << "33 1" << 0.005;
    }

    void reportsKeepTheirTextThroughPostScript() {
        QFETCH(QString, renderer);
        QFETCH(int, report);
        QFETCH(double, bibX);
        QFETCH(QString, perPage);
        QFETCH(double, tolerance);
        const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        if (!QFile::exists(ppd) || QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
            QSKIP("the PDF-printer driver (printer-driver-cups-pdf) is not installed");
        const QString queue =
            QStringLiteral("ZAR_Pdf_") + (renderer.isEmpty() ? QStringLiteral("gs") : renderer);
        const QString out = m_cups.out() + QLatin1Char('/') + queue;
        QVERIFY(QDir().mkpath(out));
        // The filters run as the scheduler's unprivileged user and need its temporary folder.
        run(QStringLiteral("chmod"),
            {QStringLiteral("1777"), QFileInfo(m_cups.out()).path() + QStringLiteral("/tmp")});
        QStringList args{QStringLiteral("-p"),
                         queue,
                         QStringLiteral("-E"),
                         QStringLiteral("-v"),
                         QStringLiteral("zarfile:") + out,
                         QStringLiteral("-P"),
                         ppd};
        if (!renderer.isEmpty())
            args << QStringLiteral("-o") << QStringLiteral("pdftops-renderer-default=") + renderer;
        int code = -1;
        const QString said = run(QStringLiteral("lpadmin"), args, &code);
        QVERIFY2(code == 0, qPrintable(said));

        zar::test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        shared.printerName = queue;
        zar::test::riempiGara(*shared.dbGare, 34);
        std::unique_ptr<FormReport> form(report == 0 ? static_cast<FormReport*>(new frmReportPartenza(shared))
                                         : report == 1
                                             ? static_cast<FormReport*>(new frmReportClassifica(shared))
                                             : new frmReportIscritti(shared));
        zar::test::showActive(form.get());
        zar::test::chooseSelection(
            form.get(), QStringList{zar::test::kGara, "TIME", "JUNIOR", "SMALL"}.mid(0, report == 2 ? 1 : 4));
        form->cmdPrint_Click();
        QVERIFY(takeBoxes().isEmpty());

        QString job;
        waitFor(60000, [&] {
            const QStringList done = QDir(out).entryList({QStringLiteral("job-*")}, QDir::Files);
            job = done.isEmpty() ? QString() : out + QLatin1Char('/') + done.first();
            return !job.isEmpty();
        });
        QVERIFY2(!job.isEmpty(), qPrintable(QStringLiteral("no job came out") + m_cups.log()));
        const QString pdf = out + QStringLiteral("/report.pdf");
        run(QStringLiteral("gs"),
            {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
             QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=pdfwrite"),
             QStringLiteral("-dAutoRotatePages=/PageByPage"), QStringLiteral("-sOutputFile=") + pdf, job});
        QFile::remove(job);

        // No picture but the logo (300 x 100 pixels): a page turned picture is some thousands.
        const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        static const QRegularExpression image(QStringLiteral(R"(^\s*\d+\s+\d+\s+\w+\s+(\d+)\s+(\d+))"),
                                              QRegularExpression::MultilineOption);
        for (auto it = image.globalMatch(images); it.hasNext();) {
            const auto m = it.next();
            QVERIFY2(m.captured(1).toInt() <= 300 && m.captured(2).toInt() <= 100, qPrintable(images));
        }
        const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(fonts.count(QLatin1Char('\n')) > 2, qPrintable(fonts));
        // The backend turns a page whose text runs sideways: its words then read as printed.
        const bool turned = run(QStringLiteral("pdfinfo"), {pdf})
                                .contains(QRegularExpression(QStringLiteral(R"(Page rot:\s+90)")));
        const zar::test::PdfText text =
            report == 1 && !turned ? zar::test::pdfText(pdf).turnedToLandscape() : zar::test::pdfText(pdf);
        QVERIFY2(fonts.contains(QStringLiteral("LiberationSerif-Bold")) &&
                     !fonts.contains(QStringLiteral("Type 3")),
                 qPrintable(fonts));
        for (const char* word : {"ROSSI34", "MARIO", "FIDO1"})
            QVERIFY2(std::any_of(text.words.begin(), text.words.end(),
                                 [&](const zar::test::PdfWord& w) { return w.text == QLatin1String(word); }),
                     word);
        const double pitch = zar::test::fontFileWidthMm(
            zar::test::fontFile(QStringLiteral("Liberation Serif:bold")), QStringLiteral("Abc"), 10);
        QStringList seen, bibsRead;
        for (int page = 1; page <= text.pages; ++page) {
            const QList<zar::test::PdfWord> bibs = zar::test::pdfColumn(text, page, bibX, 78);
            seen << QString::number(bibs.size());
            for (const zar::test::PdfWord& bib : bibs)
                bibsRead << bib.text;
            if (bibs.size() > 1) {
                const double measured = (bibs.last().yMin - bibs.first().yMin) / (bibs.size() - 1);
                QVERIFY2(
                    std::abs(measured - pitch) < tolerance,
                    qPrintable(QStringLiteral("pitch %1 mm, the font gives %2").arg(measured).arg(pitch)));
            }
        }
        QCOMPARE(seen.join(' '), perPage);
        QStringList bibs;
        for (int bib = 1; bib <= 34; ++bib)
            bibs << QString::number(bib);
        bibsRead.sort();
        bibs.sort();
        QCOMPARE(bibsRead, bibs);
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
    // The jobs the server knows of (those done too), or those it holds.
    static int jobs(bool all) {
        const QStringList args = all ? QStringList{"-W", "all", "-o", kQueue} : QStringList{"-o", kQueue};
        return int(run("lpstat", args).split(u'\n', Qt::SkipEmptyParts).size());
    }
    // The jobs that came out.
    int outputs() const { return int(QDir(m_cups.out()).entryList({"job-*.pdf"}, QDir::Files).size()); }

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
