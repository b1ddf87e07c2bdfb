// folivant-print-bench: prints a 500-page Group 4 fax through the program's own print run into a PDF, as a
// quiet command-line run does (page list, temporary PDF laid out as the printer, one decode per page),
// with a spooler that takes the PDF and does nothing with it. Prints the figures the benchmark collects.
//
//   folivant-print-bench [FILE.tif]    without FILE a 500-page fax is generated first (in a child process,
//                                       so that the memory figure covers printing only)
#include "FaxWriter.h"
#include "core/CommandLineInfo.h"
#include "platform/Platform.h"
#include "platform/PrintBackend.h"
#include "print/PrintRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kPages = 500;

// Takes the finished PDF and remembers its size; nothing is printed.
class NullSpooler : public IPrintBackend
{
public:
    QString DefaultPrinterName() override { return QStringLiteral("BenchQueue"); }
    bool PrinterExists(const QString&) override { return true; }
    int SubmitPdf(const QString&, const QString& pdfPath, const QString&, const std::vector<CupsOption>&,
                  QString*) override
    {
        pdfBytes = QFileInfo(pdfPath).size();
        return 1;
    }
    qint64 pdfBytes = 0;
};

class NoDialogs : public IDialogRunner
{
public:
    int Exec(QDialog&) override { return 0; }
};

int Generate(const QString& path)
{
    FaxDocSpec desc;
    desc.pages = kPages;
    desc.compression = FaxDocSpec::Compression::G4;
    QString error;
    if (!WriteTiffDocument(path, desc, &error)) {
        std::fprintf(stderr, "folivant-print-bench: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QStringLiteral("--generate")) {
        return Generate(args.at(2));
    }

    QTemporaryDir folder;
    QString file = args.size() > 1 ? QFileInfo(args.at(1)).absoluteFilePath() : QString();
    if (file.isEmpty()) {
        file = folder.filePath(QStringLiteral("bench500.tif"));
        if (QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--generate"), file}) != 0) {
            return 1;
        }
    }

    CCustomCommandLineInfo cmd;
    ParseCommandLine(cmd, {QStringLiteral("/p"), QStringLiteral("/q"), file}, QStringLiteral("/"));
    NullSpooler spooler;
    NoDialogs dialogs;
    QElapsedTimer timer;
    timer.start();
    const CPrintResult result = RunPrint({file, 1, &cmd, true, nullptr}, spooler, dialogs);
    const qint64 ms = timer.elapsed();
    if (result.outcome != CPrintResult::Printed) {
        std::fprintf(stderr, "folivant-print-bench: nothing printed: %s\n", qPrintable(result.message));
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("# %d sheets from %s, PDF %.1f MB\n", result.sheets, qPrintable(file),
                spooler.pdfBytes / 1048576.0);
    std::printf("FIGURE print_500_pdf_ms %lld ms\n", static_cast<long long>(ms));
    std::printf("FIGURE print_500_peak_rss_mb %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
