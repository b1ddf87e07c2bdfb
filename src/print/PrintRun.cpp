#include "print/PrintRun.h"

#include "core/CommandLineInfo.h"
#include "core/Strings.h"
#include "imaging/TiffImage.h"
#include "platform/Platform.h"
#include "print/PrintDialogExZentrel.h"
#include "print/PrintList.h"

#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// Qt keeps the dialog's CUPS options under this engine property (qcups_p.h).
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

CPrintResult Failure(const QString& message)
{
    return {CPrintResult::Failed, message, 0};
}

CPrintResult CannotWrite(const QString& path)
{
    return Failure(FormatString(Str::PrintFailed, {FormatString(Str::PrintCannotWrite, {path})}));
}

} // namespace

PrintDeviceCaps DeviceCaps(const QPrinter& printer)
{
    PrintDeviceCaps caps;
    caps.LX = printer.resolution();
    caps.LY = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    caps.PW = qRound(paper.width());
    caps.PH = qRound(paper.height());
    caps.OX = qRound(page.left() - paper.left());
    caps.OY = qRound(page.top() - paper.top());
    return caps;
}

int PrintPagesOnDevice(QPrinter& device, CTiffImage& image, const T_OSrtList& pages)
{
    const PrintDeviceCaps caps = DeviceCaps(device);
    const PrintSize area = PrintableArea(caps);
    QPainter painter;
    int sheets = 0;
    for (T_ONode* node = pages.GetHead(); node != nullptr; node = node->GetNext()) {
        const int page = static_cast<const T_OIntNode*>(node)->GetValue();
        // A page that cannot be selected would print the page selected before it a second time.
        if (!image.SelectActiveFrame(page - 1)) {
            continue;
        }
        const QSize square = image.GetSquarePixelSize();
        const PrintSize drawn = FitPageToArea(area, square.width(), square.height());
        if (drawn.IsEmpty()) {
            continue;
        }
        if (sheets == 0) {
            if (!painter.begin(&device)) {
                return -1;
            }
            // Qt's PDF output would otherwise store page images as JPEG, which blurs small fax text.
            painter.setRenderHint(QPainter::LosslessImageRendering, true);
        } else if (!device.newPage()) {
            break;
        }
        // Hundredths of an inch from the top-left corner of the printable area.
        painter.save();
        painter.scale(caps.LX / 100.0, caps.LY / 100.0);
        image.Draw(painter, QRect(0, 0, drawn.width, drawn.height), InterpolationMode::HighQuality);
        painter.restore();
        ++sheets;
    }
    if (sheets > 0) {
        painter.end();
    }
    return sheets;
}

std::vector<CupsOption> CupsJobOptions(QPrinter& printer)
{
    // The same options Qt's own CUPS engine sends, so a job looks to the queue as any Qt job does.
    std::vector<CupsOption> options;
    const QPageLayout layout = printer.pageLayout();
    options.push_back({"media", layout.pageSize().key().toLocal8Bit()});
    if (printer.copyCount() > 1) {
        options.push_back({"copies", QByteArray::number(printer.copyCount())});
        if (printer.collateCopies()) {
            options.push_back({"Collate", "True"});
        }
    }
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        options.push_back({"sides", "one-sided"});
        break;
    case QPrinter::DuplexAuto:
        options.push_back({"sides", layout.orientation() == QPageLayout::Portrait ? "two-sided-long-edge"
                                                                                  : "two-sided-short-edge"});
        break;
    case QPrinter::DuplexLongSide:
        options.push_back({"sides", "two-sided-long-edge"});
        break;
    case QPrinter::DuplexShortSide:
        options.push_back({"sides", "two-sided-short-edge"});
        break;
    }
    if (layout.orientation() == QPageLayout::Landscape) {
        options.push_back({"landscape", ""});
    }
    // The dialog's own CUPS options, name and value in turn. Its "page-ranges" would make CUPS pick from
    // our sheets what we already picked from the document's pages.
    const QStringList cups = printer.printEngine()->property(kCupsOptionsProperty).toStringList();
    for (qsizetype i = 0; i + 1 < cups.size(); i += 2) {
        if (cups.at(i) != QStringLiteral("page-ranges")) {
            options.push_back({cups.at(i).toLocal8Bit(), cups.at(i + 1).toLocal8Bit()});
        }
    }
    return options;
}

CPrintResult RunPrint(const CPrintRequest& request, IPrintBackend& backend, IDialogRunner& dialogs)
{
    if (request.file.isEmpty()) {
        return {};
    }
    const CCustomCommandLineInfo* cmd = request.commandLine;
    const int current = std::max(request.currentPage, 1);

    // Every run starts from the default printer; nothing of an earlier run is kept.
    const QString defaultPrinter = backend.DefaultPrinterName();
    QPrinter printer(QPrinter::HighResolution);
    if (!defaultPrinter.isEmpty() && !QPrinterInfo::printerInfo(defaultPrinter).isNull()) {
        printer.setPrinterName(defaultPrinter);
    }
    printer.setDocName(request.file);
    printer.setCreator(ProductText());

    unsigned flags = PrintFlags::ReturnDc | PrintFlags::NoSelection;
    std::vector<PageRangeEntry> ranges;
    QString queue;
    if (request.quiet) {
        if (defaultPrinter.isEmpty()) {
            return Failure(LoadString(Str::PrintNoPrinter));
        }
        flags |= PrintFlags::ReturnDefault;
        queue = defaultPrinter;
    } else {
        std::vector<PageRangeEntry> preset;
        if (cmd != nullptr && (cmd->HasRange() || cmd->HasPageList())) {
            preset = CommandLinePageRanges(*cmd);
            // Nothing of the given pages can exist (a range running backwards, numbers below 1): the
            // dialog could not show it, and there is nothing to print.
            if (FormatPageRanges(preset).isEmpty()) {
                return {};
            }
            flags |= PrintFlags::PageNums;
        }
        CPrintDialogExZentrel dialog(&printer, flags, request.parent);
        for (const PageRangeEntry& r : preset) {
            dialog.AddPageRange(r.from, r.to);
        }
        if (dialogs.Exec(dialog) != QDialog::Accepted) {
            return {CPrintResult::Cancelled, {}, 0};
        }
        flags = dialog.ResultFlags();
        ranges = dialog.ResultRanges();
        if (printer.outputFormat() == QPrinter::NativeFormat) {
            queue = printer.printerName();
        } else if (printer.outputFileName().isEmpty()) {
            // No CUPS printer was there to choose and no file was named: Qt would paint into nothing.
            return Failure(LoadString(Str::PrintNoPrinter));
        }
    }

    CTiffImage image(request.file);
    if (!image.IsOpen()) {
        return Failure(FormatString(Str::PrintUnreadable, {request.file}));
    }
    const int n = image.GetFrameCount();
    const std::unique_ptr<T_OSrtList> pages = request.quiet
                                                  ? BuildPrintListFromCommandLine(cmd, n)
                                                  : BuildPrintListFromDialog(flags, current, ranges, n);
    if (pages->IsEmpty()) {
        return {};
    }

    if (queue.isEmpty()) {
        // "Print to file" in the dialog: the PDF is written where the user said.
        const int sheets = PrintPagesOnDevice(printer, image, *pages);
        if (sheets < 0) {
            return CannotWrite(printer.outputFileName());
        }
        return {sheets > 0 ? CPrintResult::Printed : CPrintResult::NothingToPrint, {}, sheets};
    }

    // A CUPS queue: the sheets go into a PDF laid out as the printer is, which we hand to CUPS ourselves,
    // with no page range, and whose job id tells that CUPS accepted it.
    QTemporaryDir folder;
    const QString pdfPath = folder.filePath(QStringLiteral("job.pdf"));
    int sheets = 0;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath);
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setDocName(request.file);
        pdf.setCreator(ProductText());
        sheets = folder.isValid() ? PrintPagesOnDevice(pdf, image, *pages) : -1;
    }
    if (sheets < 0) {
        return CannotWrite(pdfPath);
    }
    if (sheets == 0) {
        return {};
    }
    QString error;
    if (backend.SubmitPdf(queue, pdfPath, request.file, CupsJobOptions(printer), &error) <= 0) {
        return Failure(FormatString(Str::PrintFailed, {error}));
    }
    return {CPrintResult::Printed, {}, sheets};
}
