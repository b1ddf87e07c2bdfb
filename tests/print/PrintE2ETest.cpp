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

#include "print/PrintDialogExZentrel.h"
#include "print/PrintRun.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>

using namespace printtest;

namespace {

const QString kQueue = QStringLiteral("FolivantE2E");
const QString kRefusingQueue = QStringLiteral("FolivantE2EReject");

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
        s.skipReason = s.cups->Start({kQueue, kRefusingQueue});
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
                   QByteArray* err)
    {
        QProcess proc;
        proc.setProcessEnvironment(env);
        proc.start(program, args);
        EXPECT_TRUE(proc.waitForStarted(10000));
        EXPECT_TRUE(proc.waitForFinished(120000));
        *err = proc.readAllStandardError();
        return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }

    // The real program, as a script would start it.
    int RunProgram(const QStringList& args, const QString& printer, QByteArray* err)
    {
        return RunProcess(testsupport::BinaryDir() + QStringLiteral("/folivant"), args,
                          ScriptEnvironment(printer), err);
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
    const int status = RunProgram({"/p", "/q", "/r:2-4", "/i:7,3", m_doc}, QString(), &err);
    EXPECT_EQ(status, 0) << err.toStdString();
    EXPECT_TRUE(OwnLines(err).isEmpty()) << err.toStdString();

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

    std::printf("e2e quiet run without a display: exit %d; %zu sheets with page codes", status,
                sheets.size());
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

    // A file that cannot be printed: status 1 and its reason in the log.
    const QString missing = m_dir.File(QStringLiteral("eingang/fax0002.tif"));
    EXPECT_EQ(RunProcess(hook, {missing}, env, &err), 1);
    const QStringList lines = QString::fromUtf8(testsupport::ReadFile(log)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" exit 0 ") + fax)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" exit 1 ") + missing +
                                  QStringLiteral(" (folivant: Die Datei '") + missing +
                                  QStringLiteral("' existiert nicht.)")))
        << lines[1].toStdString();
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

TEST_F(PrintE2ETest, QuietRunFailuresGiveOneLineAndExitStatusOne)
{
    QByteArray err;
    EXPECT_EQ(RunProgram({"/p", "/q", m_doc}, QStringLiteral("NoSuchQueue"), &err), 1);
    QStringList lines = OwnLines(err);
    ASSERT_EQ(lines.size(), 1) << err.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("kein Standarddrucker"))) << lines[0].toStdString();
    std::printf("e2e no default printer: exit 1, \"%s\"\n", qPrintable(lines[0]));

    // A queue that refuses jobs: CUPS's answer is what decides.
    EXPECT_EQ(RunProgram({"/p", "/q", m_doc}, kRefusingQueue, &err), 1);
    lines = OwnLines(err);
    ASSERT_EQ(lines.size(), 1) << err.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Der Druckauftrag ist fehlgeschlagen")))
        << lines[0].toStdString();
    std::printf("e2e refusing queue: exit 1, \"%s\"\n", qPrintable(lines[0]));
}
