// End to end through a real spooler: a CUPS scheduler of the test's own with a cups-pdf queue that writes
// every job as a PDF file. The program prints as it does for its users (the real binary without a display
// for the command-line run and the print hook, the real dialog and the real CUPS submission for the print
// command) and the PDF that comes out of the queue is read back.
//
// The scheduler, its queues and its default destination exist only for the run (PrivateCups.h): the
// machine's printer set-up is compared before and after. Starting cupsd needs root or passwordless sudo;
// without either, or when the packages are missing, the tests are skipped with a loud message.
#include "PrintTestSupport.h"
#include "PrivateCups.h"

#include "app/FolivantApp.h"
#include "core/CommandLineInfo.h"
#include "core/SettingsStore.h"
#include "frame/MainFrame.h"
#include "print/PrintDialogExZentrel.h"
#include "print/PrintRun.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>

using namespace printtest;

namespace {

const QString kQueue = QStringLiteral("FolivantE2E");
const QString kRefusingQueue = QStringLiteral("FolivantE2EReject");
const QString kSecondQueue = QStringLiteral("FolivantE2EZwei");

struct Suite
{
    std::unique_ptr<CPrivateCups> cups;
    QString skipReason;
    QProcessEnvironment machineEnvironment;
    QString machineBefore;
};

Suite& State()
{
    static Suite suite;
    return suite;
}

class PrintE2ETest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Suite& s = State();
        s.machineEnvironment = QProcessEnvironment::systemEnvironment();
        s.machineBefore = MachinePrinterState(s.machineEnvironment);
        s.cups = std::make_unique<CPrivateCups>();
        s.skipReason = s.cups->Start({kQueue, kRefusingQueue, kSecondQueue});
        if (s.skipReason.isEmpty() && !s.cups->Reject(kRefusingQueue)) {
            s.skipReason = QStringLiteral("cupsreject fails");
        }
        if (!s.skipReason.isEmpty()) {
            std::fprintf(stderr,
                         "\n*** END-TO-END PRINT TESTS SKIPPED: %s. Nothing was printed through a real "
                         "spooler. ***\n\n",
                         qPrintable(s.skipReason));
        }
    }

    static void TearDownTestSuite()
    {
        Suite& s = State();
        s.cups.reset();
        // The machine's default destination, queues and lpoptions are as they were.
        const QString after = MachinePrinterState(s.machineEnvironment);
        EXPECT_EQ(after.toStdString(), s.machineBefore.toStdString())
            << "the print tests changed the machine";
        if (after == s.machineBefore) {
            std::printf("e2e machine printer state unchanged:\n%s\n", qPrintable(after));
        }
    }

    void SetUp() override
    {
        if (!State().skipReason.isEmpty()) {
            GTEST_SKIP() << "*** END-TO-END PRINT TESTS SKIPPED: " << State().skipReason.toStdString()
                         << " ***";
        }
        m_doc = m_dir.File(QStringLiteral("Eingang Fax/fax 10 Seiten.tif"));
        QDir().mkpath(QFileInfo(m_doc).absolutePath());
        // Normal-mode fax: 204 x 98 dpi, so a page prints twice as high as its pixel rows suggest.
        WriteCodedFax(m_doc, 10, 1728, 1146, 204, 98);
    }

    CPrivateCups& Cups() { return *State().cups; }

    // The environment of a script, a cron job or a fax server: no display at all, this test's scheduler.
    QProcessEnvironment ScriptEnvironment(const QString& printer)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PRINTER", "LPDEST"}) {
            env.remove(QString::fromLatin1(name));
        }
        if (!printer.isEmpty()) {
            env.insert(QStringLiteral("PRINTER"), printer); // names another destination than the default
        }
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.File(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.Path());
        return env;
    }

    int RunProcess(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                   QByteArray* err, QByteArray* out = nullptr)
    {
        QProcess proc;
        proc.setProcessEnvironment(env);
        proc.start(program, args);
        EXPECT_TRUE(proc.waitForStarted(10000));
        EXPECT_TRUE(proc.waitForFinished(120000));
        *err = proc.readAllStandardError();
        if (out != nullptr) {
            *out = proc.readAllStandardOutput();
        }
        return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }

    // The real program, as a script would start it.
    int RunProgram(const QStringList& args, const QString& printer, QByteArray* err,
                   QByteArray* out = nullptr)
    {
        return RunProcess(testsupport::BinaryDir() + QStringLiteral("/folivant"), args,
                          ScriptEnvironment(printer), err, out);
    }

    // Every job the scheduler knows of, finished or not.
    static QStringList Jobs()
    {
        QByteArray out;
        printtest::Run(QStringLiteral("lpstat"), {"-W", "all", "-o"}, &out);
        QStringList ids;
        for (const QString& line : QString::fromLocal8Bit(out).split(u'\n', Qt::SkipEmptyParts)) {
            ids << line.section(u' ', 0, 0);
        }
        return ids;
    }

    testsupport::TempDir m_dir;
    QString m_doc;
};

QStringList OwnLines(const QByteArray& err)
{
    QStringList lines;
    for (const QString& l : QString::fromUtf8(err).split(u'\n', Qt::SkipEmptyParts)) {
        if (l.startsWith(QStringLiteral("folivant:"))) {
            lines << l;
        }
    }
    return lines;
}

} // namespace

TEST_F(PrintE2ETest, QuietRunWithoutADisplayPrintsTheChosenPagesOnTheDefaultQueue)
{
    const QString out = Cups().NewOutputFolder();
    QByteArray err;
    QByteArray jobLine;
    const int status = RunProgram({"/p", "/q", "/r:2-4", "/i:7,3", m_doc}, QString(), &err, &jobLine);
    EXPECT_EQ(status, 0) << err.toStdString();
    EXPECT_TRUE(OwnLines(err).isEmpty()) << err.toStdString();
    // The job is named on stdout, as lpstat knows it.
    const QString job = QString::fromLocal8Bit(jobLine).section(u' ', 2, 2).chopped(1);
    EXPECT_EQ(QString::fromLocal8Bit(jobLine), "folivant: job " + job + ", 4 pages\n");
    EXPECT_TRUE(job.startsWith(kQueue + u'-')) << jobLine.toStdString();
    EXPECT_TRUE(Jobs().contains(job)) << job.toStdString() << " not in " << Jobs().join(u' ').toStdString();

    const QString pdf = Cups().WaitForPdf(kQueue, out);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("4"));
    const std::vector<Sheet> sheets = ReadSheets(pdf, 50);
    const std::vector<int> codes = Codes(sheets);
    EXPECT_EQ(codes, (std::vector<int>{2, 3, 4, 7}));

    // Square pixels: the 204 x 98 dpi page is drawn 1728 x 2385 in proportion, not 1728 x 1146.
    const double squared = 1728.0 / (1146.0 * 204 / 98);
    for (const Sheet& s : sheets) {
        EXPECT_NEAR(double(s.pageBox.width()) / s.pageBox.height(), squared, 0.03);
    }
    const auto ppi = PdfImageResolutions(pdf);
    ASSERT_EQ(ppi.size(), 4u);
    for (const auto& [x, y] : ppi) {
        EXPECT_NEAR(double(x) / y, 204.0 / 98.0, 0.05) << x << " x " << y << " ppi";
    }
    // cups-pdf writes the job's title into the document: the file's full path.
    const QString title = PdfInfo(pdf, QStringLiteral("Title"));
    EXPECT_TRUE(title.contains(m_doc)) << title.toStdString();

    std::printf("e2e quiet run without a display: exit %d, stdout \"%s\"; %zu sheets with page codes", status,
                qPrintable(QString::fromLocal8Bit(jobLine).trimmed()), sheets.size());
    for (int c : codes) {
        std::printf(" %d", c);
    }
    std::printf(
        "; drawn %dx%d px at 50 dpi (ratio %.3f, square-pixel ratio %.3f); images %dx%d ppi; title %s\n",
        sheets.empty() ? 0 : sheets[0].pageBox.width(), sheets.empty() ? 0 : sheets[0].pageBox.height(),
        sheets.empty() ? 0.0 : double(sheets[0].pageBox.width()) / sheets[0].pageBox.height(), squared,
        ppi.empty() ? 0 : ppi[0].first, ppi.empty() ? 0 : ppi[0].second, qPrintable(title));
}

TEST_F(PrintE2ETest, ThePrintHookPrintsAnIncomingFaxAndLogsTheExitStatus)
{
    const QString fax = m_dir.File(QStringLiteral("eingang/fax0001.tif"));
    QDir().mkpath(m_dir.File(QStringLiteral("eingang")));
    WriteCodedFax(fax, 3, 1728, 2292, 204, 196);
    const QString log = m_dir.File(QStringLiteral("log/print-hook.log"));
    QProcessEnvironment env = ScriptEnvironment(QString());
    env.insert(QStringLiteral("FOLIVANT"), testsupport::BinaryDir() + QStringLiteral("/folivant"));
    env.insert(QStringLiteral("FOLIVANT_PRINT_LOG"), log);

    const QString out = Cups().NewOutputFolder();
    QByteArray err;
    const QString hook = testsupport::SourceDir() + QStringLiteral("/scripts/folivant-print-hook");
    EXPECT_EQ(RunProcess(hook, {fax}, env, &err), 0) << err.toStdString();
    const QString pdf = Cups().WaitForPdf(kQueue, out);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(Codes(ReadSheets(pdf, 30)), (std::vector<int>{1, 2, 3}));

    // A file that cannot be printed: Folivant's status, what it means and the reason in the log; the
    // next file is printed all the same.
    const QString missing = m_dir.File(QStringLiteral("eingang/fax0002.tif"));
    const QString out2 = Cups().NewOutputFolder();
    EXPECT_EQ(RunProcess(hook, {missing, fax}, env, &err), 3);
    const QStringList lines = QString::fromUtf8(testsupport::ReadFile(log)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    const QRegularExpression printed(" exit 0 " + QRegularExpression::escape(fax) + ": job " + kQueue +
                                     "-(\\d+), 3 pages$");
    const QRegularExpressionMatch match = printed.match(lines[0]);
    EXPECT_TRUE(match.hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(Jobs().contains(kQueue + u'-' + match.captured(1))) << "the job id in the log is CUPS's";
    EXPECT_TRUE(lines[1].endsWith(" exit 3 " + missing + ": file not printable (folivant: Die Datei '" +
                                  missing + "' existiert nicht. (Drucker '" + kQueue + "'))"))
        << lines[1].toStdString();
    EXPECT_TRUE(printed.match(lines[2]).hasMatch()) << "the next file is printed all the same";
    EXPECT_FALSE(Cups().WaitForPdf(kQueue, out2).isEmpty());
    std::printf("e2e print hook: %s\n", qPrintable(lines.join(QStringLiteral(" | "))));
}

TEST_F(PrintE2ETest, PageRangesChosenInTheDialogPrintExactlyThosePages)
{
    const QString out = Cups().NewOutputFolder();
    std::unique_ptr<IPrintBackend> cups = CreateCupsPrintBackend();
    RecordingBackend recorder(cups->DefaultPrinterName(), m_dir.Path());
    recorder.forward = cups.get();
    ASSERT_EQ(recorder.DefaultPrinterName(), kQueue);

    ScriptedDialogs dialogs;
    QStringList qtCupsOptions;
    dialogs.script = [&](QDialog& d) {
        auto& dialog = static_cast<CPrintDialogExZentrel&>(d);
        const int result = ChooseAndPrint(dialog, QString(), QStringLiteral("2-3,5"));
        // What Qt's dialog put on the printer for CUPS to filter the pages.
        qtCupsOptions = dialog.printer()
                            ->printEngine()
                            ->property(QPrintEngine::PrintEnginePropertyKey(0xfe00))
                            .toStringList();
        return result;
    };
    const CPrintResult result = RunPrint({m_doc, 1, nullptr, false, nullptr}, recorder, dialogs);
    ASSERT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    EXPECT_TRUE(qtCupsOptions.contains(QStringLiteral("page-ranges"))) << "Qt asks CUPS to pick pages";
    ASSERT_EQ(recorder.jobs.size(), 1u);
    EXPECT_EQ(recorder.jobs[0].queue, kQueue);
    EXPECT_EQ(recorder.jobs[0].title, m_doc);
    EXPECT_FALSE(HasOption(recorder.jobs[0].options, "page-ranges"))
        << "the job must not ask CUPS to pick again";

    const QString pdf = Cups().WaitForPdf(kQueue, out);
    ASSERT_FALSE(pdf.isEmpty());
    const std::vector<int> codes = Codes(ReadSheets(pdf, 20));
    EXPECT_EQ(codes, (std::vector<int>{2, 3, 5}));
    std::printf("e2e dialog \"2-3,5\": %zu sheets with page codes", codes.size());
    for (int c : codes) {
        std::printf(" %d", c);
    }
    std::printf("; Qt's CUPS options %s; sent without page-ranges\n", qPrintable(qtCupsOptions.join(u' ')));
}

TEST_F(PrintE2ETest, EveryQuietRunThatPrintsNothingHasItsOwnStatusAndOneLine)
{
    const QString eight = m_dir.File(QStringLiteral("acht Seiten.tif"));
    WriteCodedFax(eight, 8, 1728, 1146, 204, 98);
    const QString garbage = m_dir.File(QStringLiteral("kaputt.tif"));
    testsupport::WriteFile(garbage, QByteArray("II*\0garbage", 11));
    const QString missing = m_dir.File(QStringLiteral("fehlt.tif"));
    const QString noPage =
        QStringLiteral("Die Seitenauswahl enthält keine Seite dieses Dokuments (8 Seiten).");
    struct Case
    {
        QStringList args;
        QString variable; // names another printer, or another scheduler
        QString value;
        int status;
        QString says;
        QString printer; // named in the line
    };
    const Case cases[] = {
        {{"/p", "/q", "/r:x", eight}, "", "", 2, "Sytnax Fehler in Parameter /r.", kQueue},
        {{"/p", "/q", garbage}, "", "", 3, "Die Datei '" + garbage + "' kann nicht gelesen werden", kQueue},
        {{"/p", "/q", missing}, "", "", 3, "Die Datei '" + missing + "' existiert nicht.", kQueue},
        {{"/p", "/q", "/r:5-3", eight}, "", "", 4, noPage, kQueue},
        {{"/p", "/q", "/r:1--3", eight}, "", "", 4, noPage, kQueue},
        {{"/p", "/q", "/r:9-12", eight}, "", "", 4, noPage, kQueue},
        {{"/p", "/q", eight},
         "PRINTER",
         "Nope",
         5,
         "Den Drucker 'Nope', den PRINTER nennt, gibt es nicht",
         "Nope"},
        {{"/p", "/q", eight},
         "LPDEST",
         "Nope",
         5,
         "Den Drucker 'Nope', den LPDEST nennt, gibt es nicht",
         "Nope"},
        {{"/p", "/q", eight}, "CUPS_SERVER", m_dir.File("kein-cupsd.sock"), 5, "kein Standarddrucker", ""},
        {{"/p", "/q", eight},
         "PRINTER",
         kRefusingQueue,
         6,
         "Der Druckauftrag ist fehlgeschlagen",
         kRefusingQueue},
    };
    const QStringList jobsBefore = Jobs();
    const QString out = Cups().NewOutputFolder();
    for (const Case& c : cases) {
        const std::string call =
            (c.variable.isEmpty() ? QString() : c.variable + '=' + c.value + ' ').toStdString() +
            c.args.join(u' ').toStdString();
        QProcessEnvironment env = ScriptEnvironment(QString());
        if (!c.variable.isEmpty()) {
            env.insert(c.variable, c.value);
        }
        QByteArray err;
        QByteArray stdOut;
        const int status =
            RunProcess(testsupport::BinaryDir() + QStringLiteral("/folivant"), c.args, env, &err, &stdOut);
        EXPECT_EQ(status, c.status) << call;
        const QStringList lines = OwnLines(err);
        ASSERT_EQ(lines.size(), 1) << call << ": " << err.toStdString();
        EXPECT_TRUE(lines[0].contains(c.says)) << call << ": " << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(c.args.last())) << "names the file";
        if (!c.printer.isEmpty()) {
            EXPECT_TRUE(lines[0].contains(c.printer)) << "names the printer: " << lines[0].toStdString();
        }
        EXPECT_TRUE(stdOut.isEmpty()) << call << ": " << stdOut.toStdString();
        std::printf("e2e %s: exit %d, \"%s\"\n", call.c_str(), status, qPrintable(lines[0]));
    }
    // Not one of them put a job on a queue.
    EXPECT_EQ(Jobs(), jobsBefore);
    EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());
}

TEST_F(PrintE2ETest, PrinterSetupChoosesPrinterAndPaperForThePrintDialogsOfTheRun)
{
    std::unique_ptr<IPrintBackend> cups = CreateCupsPrintBackend();
    auto recording = std::make_unique<RecordingBackend>(cups->DefaultPrinterName(), m_dir.Path());
    recording->forward = cups.get();
    RecordingBackend& recorder = *recording;
    auto platform = CPlatform::CreateReal();
    platform->print = std::move(recording);
    auto* dialogs = new ScriptedDialogs;
    platform->dialogs.reset(dialogs);
    platform->messageBox = std::make_unique<RecordingMessageBox>();
    CFolivantApp app(
        std::move(platform),
        CSettingsStore(m_dir.File(QStringLiteral("machine.conf")), m_dir.File(QStringLiteral("user.conf"))),
        testsupport::BinaryDir());
    ASSERT_TRUE(app.InitInstance({m_doc}, m_dir.Path()));

    // The set-up offers CUPS's printers, starting on the default one, and each printer's own papers.
    QStringList offered;
    QString startedOn;
    dialogs->script = [&](QDialog& d) {
        d.show();
        auto* printer = d.findChild<QComboBox*>(QStringLiteral("printer"));
        auto* paper = d.findChild<QComboBox*>(QStringLiteral("paper"));
        for (int i = 0; i < printer->count(); ++i) {
            offered << printer->itemText(i);
        }
        startedOn = printer->currentText() + u' ' + paper->currentText();
        printer->setCurrentIndex(printer->findText(kSecondQueue));
        paper->setCurrentIndex(paper->findText(QStringLiteral("A5")));
        d.findChild<QRadioButton*>(QStringLiteral("landscape"))->setChecked(true);
        d.accept();
        return d.result();
    };
    app.OnPrintSetup();
    offered.sort();
    EXPECT_EQ(offered, (QStringList{kQueue, kRefusingQueue, kSecondQueue}));
    EXPECT_EQ(startedOn, kQueue + QStringLiteral(" A4"));

    // The print dialog starts on that printer and the job goes there on A5, turned.
    QString dialogPrinter;
    QString propertiesPaper;
    dialogs->script = [&](QDialog& d) {
        d.show();
        dialogPrinter = d.findChild<QComboBox*>(QStringLiteral("printers"))->currentText();
        // Qt's "Properties" shows the paper too: looked at and cancelled, it changes nothing.
        QTimer look;
        look.setInterval(50);
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (auto* properties = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                properties != nullptr && properties != &d) {
                propertiesPaper =
                    properties->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"))->currentText();
                properties->reject();
            }
        });
        look.start();
        d.findChild<QPushButton*>(QStringLiteral("properties"))->click();
        look.stop();
        return ChooseAndPrint(static_cast<QPrintDialog&>(d), QString(), QStringLiteral("2"));
    };
    const QString out = Cups().NewOutputFolder();
    EXPECT_TRUE(app.MainFrame()->OnPrint());
    EXPECT_EQ(dialogPrinter, kSecondQueue);
    EXPECT_EQ(propertiesPaper, QStringLiteral("A5"));
    ASSERT_EQ(recorder.jobs.size(), 1u);
    EXPECT_EQ(recorder.jobs[0].queue, kSecondQueue);
    const auto media = std::find_if(recorder.jobs[0].options.begin(), recorder.jobs[0].options.end(),
                                    [](const CupsOption& o) { return o.name == "media"; });
    ASSERT_NE(media, recorder.jobs[0].options.end());
    EXPECT_EQ(media->value, "A5");
    EXPECT_TRUE(HasOption(recorder.jobs[0].options, "landscape"));
    // The sheets handed to CUPS are A5 landscape (cups-pdf itself writes every sheet upright).
    EXPECT_EQ(PdfInfo(recorder.jobs[0].pdfCopy, QStringLiteral("Page size")),
              QStringLiteral("595 x 420 pts (A5)"));
    EXPECT_EQ(Codes(ReadSheets(recorder.jobs[0].pdfCopy, 20)), (std::vector<int>{2}));
    EXPECT_FALSE(Cups().WaitForPdf(kSecondQueue, out).isEmpty());

    // A quiet run prints on the default printer whatever was set up.
    const CCustomCommandLineInfo& none = app.CommandLine();
    CPrintRequest quiet{m_doc, 1, &none, true, nullptr, &app.PrintSetup(), nullptr};
    const CPrintResult result = RunPrint(quiet, recorder, *dialogs);
    EXPECT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    ASSERT_EQ(recorder.jobs.size(), 2u);
    EXPECT_EQ(recorder.jobs[1].queue, kQueue);
    const QString a4 = PdfInfo(recorder.jobs[1].pdfCopy, QStringLiteral("Page size"));
    EXPECT_TRUE(a4.startsWith(QStringLiteral("595")) && a4.endsWith(QStringLiteral("(A4)")))
        << "the default printer's own paper, upright: " << a4.toStdString();
    app.ExitInstance(0);
    std::printf(
        "e2e printer set-up: offered %s, started on %s; dialog on %s, job on %s with media %s landscape\n",
        qPrintable(offered.join(u',')), qPrintable(startedOn), qPrintable(dialogPrinter),
        qPrintable(recorder.jobs[0].queue), media->value.constData());
}
