// End to end through a real spooler: CUPS with a cups-pdf queue that writes every job as a PDF file. The
// program prints as it does for its users (the real binary for the command-line run, the real dialog and
// the real CUPS submission for the print command) and the PDF that comes out of the queue is read back.
//
// The fixture makes sure cupsd runs (starting it if needed), adds the queue "FolivantE2E" with its own
// output folder and makes it the default destination ("lpoptions -d"). That needs root or passwordless
// sudo; without either, or when cupsd cannot be started, the tests are skipped with a loud message.
#include "PrintTestSupport.h"

#include "print/PrintDialogExZentrel.h"
#include "print/PrintRun.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace printtest;

namespace {

const QString kQueue = QStringLiteral("FolivantE2E");
const QString kRefusingQueue = QStringLiteral("FolivantE2EReject");
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kSpool = QStringLiteral("/var/spool/cups-pdf/FOLIVANT_E2E");

struct Cups
{
    bool ready = false;
    QString skipReason;
    QStringList asRoot; // empty when we are root, else "sudo -n"
    int outputs = 0;
};

Cups& State()
{
    static Cups cups;
    return cups;
}

int RunAsRoot(const QStringList& command, QByteArray* out = nullptr, const QByteArray& input = {})
{
    QStringList args = State().asRoot + command;
    const QString program = args.takeFirst();
    QProcess proc;
    proc.start(program, args);
    if (!proc.waitForStarted(10000)) {
        return -1;
    }
    proc.write(input);
    proc.closeWriteChannel();
    if (!proc.waitForFinished(60000)) {
        proc.kill();
        proc.waitForFinished(5000);
        return -1;
    }
    if (out != nullptr) {
        *out = proc.readAllStandardOutput();
    }
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

bool SchedulerRunning()
{
    QByteArray out;
    Run(QStringLiteral("lpstat"), {"-r"}, &out);
    return out.contains("scheduler is running");
}

QString SetUpCups()
{
    Cups& s = State();
    if (geteuid() != 0) {
        if (Run(QStringLiteral("sudo"), {"-n", "true"}) != 0) {
            return QStringLiteral("not root and no passwordless sudo: CUPS cannot be set up");
        }
        s.asRoot = {QStringLiteral("sudo"), QStringLiteral("-n")};
    }
    for (const QString& f : {QStringLiteral("/usr/sbin/cupsd"), QStringLiteral("/usr/sbin/lpadmin"),
                             QStringLiteral("/usr/lib/cups/backend/cups-pdf"), kPpd}) {
        if (!QFileInfo::exists(f)) {
            return f + QStringLiteral(
                           " is missing (scripts/install-deps installs cups and printer-driver-cups-pdf)");
        }
    }
    if (!SchedulerRunning()) {
        RunAsRoot({QStringLiteral("/usr/sbin/cupsd")}); // goes into the background by itself
        QElapsedTimer t;
        t.start();
        while (!SchedulerRunning() && t.elapsed() < 20000) {
            QThread::msleep(200);
        }
        if (!SchedulerRunning()) {
            return QStringLiteral("cupsd does not start");
        }
    }
    for (const QString& q : {kQueue, kRefusingQueue}) {
        if (RunAsRoot({"lpadmin", "-p", q, "-E", "-v", "cups-pdf:/" + q, "-P", kPpd}) != 0) {
            return QStringLiteral("lpadmin cannot add the queue ") + q;
        }
    }
    RunAsRoot({"cupsreject", kRefusingQueue});
    // The default destination of this user (root: of the machine), as "lpoptions -d" makes it. $PRINTER
    // and $LPDEST would override it; libcups 2.4 even reports no default at all when $PRINTER names the
    // lpoptions default, so neither is passed on.
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    Run(QStringLiteral("lpoptions"), {"-d", kQueue});
    QByteArray out;
    Run(QStringLiteral("lpstat"), {"-d"}, &out);
    if (!out.trimmed().endsWith(kQueue.toLocal8Bit())) {
        return QStringLiteral("lpoptions -d cannot make %1 the default destination (lpstat -d: %2)")
            .arg(kQueue, QString::fromLocal8Bit(out.trimmed()));
    }
    return {};
}

// Points the queue at a new, empty output folder and returns it. cups-pdf reads its per-queue settings
// for every job.
QString NewOutputFolder()
{
    const QString dir = QStringLiteral("%1/run-%2-%3").arg(kSpool).arg(getpid()).arg(++State().outputs);
    RunAsRoot({"rm", "-rf", dir});
    const QByteArray conf = "Out " + dir.toLocal8Bit() + "\nLabel 1\n";
    EXPECT_EQ(RunAsRoot({"tee", QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(kQueue)}, nullptr, conf), 0);
    return dir;
}

// Waits until the queue is empty and one PDF lies in `dir`; copies it to `copy`.
bool WaitForPdf(const QString& dir, const QString& copy)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 90000) {
        QByteArray pending;
        Run(QStringLiteral("lpstat"), {"-o", kQueue}, &pending);
        QByteArray listing;
        RunAsRoot({"sh", "-c", QStringLiteral("ls '%1'/*.pdf 2>/dev/null").arg(dir)}, &listing);
        const QStringList files = QString::fromLocal8Bit(listing).split(u'\n', Qt::SkipEmptyParts);
        if (pending.trimmed().isEmpty() && files.size() == 1) {
            QByteArray data;
            RunAsRoot({"cat", files.first()}, &data);
            testsupport::WriteFile(copy, data);
            return !data.isEmpty();
        }
        if (files.size() > 1) {
            ADD_FAILURE() << "more than one job came out: " << listing.toStdString();
            return false;
        }
        QThread::msleep(250);
    }
    ADD_FAILURE() << "no PDF came out of the queue within 90 s";
    return false;
}

class PrintE2ETest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        State().skipReason = SetUpCups();
        State().ready = State().skipReason.isEmpty();
        if (!State().ready) {
            std::fprintf(stderr,
                         "\n*** END-TO-END PRINT TESTS SKIPPED: %s. Nothing was printed through a real "
                         "spooler. ***\n\n",
                         qPrintable(State().skipReason));
        }
    }

    void SetUp() override
    {
        if (!State().ready) {
            GTEST_SKIP() << "*** END-TO-END PRINT TESTS SKIPPED: " << State().skipReason.toStdString()
                         << " ***";
        }
        m_doc = m_dir.File(QStringLiteral("Eingang Fax/fax 10 Seiten.tif"));
        QDir().mkpath(QFileInfo(m_doc).absolutePath());
        // Normal-mode fax: 204 x 98 dpi, so a page prints twice as high as its pixel rows suggest.
        WriteCodedFax(m_doc, 10, 1728, 1146, 204, 98);
    }

    void TearDown() override
    {
        for (const QString& dir : m_outputs) {
            RunAsRoot({"rm", "-rf", dir});
        }
    }

    QString OutputFolder()
    {
        m_outputs << NewOutputFolder();
        return m_outputs.last();
    }

    // The real program, as a script would start it.
    int RunProgram(const QStringList& args, const QString& printer, QByteArray* err)
    {
        QProcess proc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("LPDEST"));
        env.remove(QStringLiteral("PRINTER"));
        if (!printer.isEmpty()) {
            env.insert(QStringLiteral("PRINTER"), printer); // names another destination than the default
        }
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.File(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.Path());
        proc.setProcessEnvironment(env);
        proc.start(testsupport::BinaryDir() + QStringLiteral("/folivant"), args);
        EXPECT_TRUE(proc.waitForStarted(10000));
        EXPECT_TRUE(proc.waitForFinished(120000));
        *err = proc.readAllStandardError();
        return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }

    testsupport::TempDir m_dir;
    QString m_doc;
    QStringList m_outputs;
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

TEST_F(PrintE2ETest, QuietCommandLineRunPrintsTheChosenPagesOnTheDefaultQueue)
{
    const QString out = OutputFolder();
    QByteArray err;
    const int status = RunProgram({"/p", "/q", "/r:2-4", "/i:7,3", m_doc}, QString(), &err);
    EXPECT_EQ(status, 0) << err.toStdString();
    EXPECT_TRUE(OwnLines(err).isEmpty()) << err.toStdString();

    const QString pdf = m_dir.File(QStringLiteral("queue-out.pdf"));
    ASSERT_TRUE(WaitForPdf(out, pdf));
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

    std::printf("e2e quiet run: exit %d; %zu sheets with page codes", status, sheets.size());
    for (int c : codes) {
        std::printf(" %d", c);
    }
    std::printf(
        "; drawn %dx%d px at 50 dpi (ratio %.3f, square-pixel ratio %.3f); images %dx%d ppi; title %s\n",
        sheets.empty() ? 0 : sheets[0].pageBox.width(), sheets.empty() ? 0 : sheets[0].pageBox.height(),
        sheets.empty() ? 0.0 : double(sheets[0].pageBox.width()) / sheets[0].pageBox.height(), squared,
        ppi.empty() ? 0 : ppi[0].first, ppi.empty() ? 0 : ppi[0].second, qPrintable(title));
}

TEST_F(PrintE2ETest, PageRangesChosenInTheDialogPrintExactlyThosePages)
{
    const QString out = OutputFolder();
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

    const QString pdf = m_dir.File(QStringLiteral("dialog-out.pdf"));
    ASSERT_TRUE(WaitForPdf(out, pdf));
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
