#include "print/PrintRun.h"

#include "core/CommandLineInfo.h"
#include "core/Strings.h"
#include "imaging/TiffImage.h"
#include "platform/Platform.h"
#include "print/PrintDialogExZentrel.h"
#include "print/PrintList.h"
#include "print/PrintSetup.h"

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

namespace {

CPrintResult NoPageOf(int n)
{
    return {CPrintResult::NoPage, NoPageMessage(n)};
}

// Why the destination a quiet run would print on cannot be used; empty when it can.
QString PrinterProblem(const QString& name, bool exists)
{
    if (name.isEmpty()) {
        return LoadString(Str::PrintNoPrinter);
    }
    if (exists) {
        return {};
    }
    // CUPS takes $LPDEST before $PRINTER; the user should learn which of them to mend.
    for (const char* variable : {"LPDEST", "PRINTER"}) {
        if (qEnvironmentVariable(variable) == name) {
            return FormatString(Str::PrintNoSuchPrinterNamedBy, {name, QString::fromLatin1(variable)});
        }
    }
    return FormatString(Str::PrintNoSuchPrinter, {name});
}

// Draws the pages into a PDF laid out as `printer` is and hands it to CUPS ourselves, with no page range;
// the job id tells that CUPS accepted it.
CPrintResult SubmitToQueue(const QString& queue, QPrinter& printer, const QString& file, CTiffImage& image,
                           const T_OSrtList& pages, IPrintBackend& backend)
{
    QTemporaryDir folder;
    const QString pdfPath = folder.filePath(QStringLiteral("job.pdf"));
    int sheets = 0;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath);
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setDocName(file);
        pdf.setCreator(ProductText());
        sheets = folder.isValid() ? PrintPagesOnDevice(pdf, image, pages) : -1;
    }
    if (sheets < 0) {
        return CannotWrite(pdfPath);
    }
    if (sheets == 0) {
        // Listed pages that exist but cannot be decoded: an empty job would come out as a blank sheet.
        return {CPrintResult::Unreadable, FormatString(Str::PrintUnreadable, {file})};
    }
    QString error;
    const int job = backend.SubmitPdf(queue, pdfPath, file, CupsJobOptions(printer), &error);
    if (job <= 0) {
        return {CPrintResult::Refused, FormatString(Str::PrintFailed, {error}), 0, queue};
    }
    return {CPrintResult::Printed, {}, sheets, queue, job};
}

CPrintResult RunQuiet(const CPrintRequest& request, IPrintBackend& backend)
{
    const QString queue = backend.DefaultPrinterName();
    const auto withPrinter = [&](CPrintResult result) {
        result.printer = queue;
        return result;
    };
    CTiffImage image(request.file);
    const int n = image.IsOpen() ? image.GetFrameCount() : 0;
    if (n <= 0) {
        return withPrinter({CPrintResult::Unreadable, FormatString(Str::PrintUnreadable, {request.file})});
    }
    const std::unique_ptr<T_OSrtList> pages = BuildPrintListFromCommandLine(request.commandLine, n);
    if (pages->IsEmpty()) {
        return withPrinter(NoPageOf(n));
    }
    if (const QString problem = PrinterProblem(queue, backend.PrinterExists(queue)); !problem.isEmpty()) {
        return withPrinter({CPrintResult::NoPrinter, problem});
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!QPrinterInfo::printerInfo(queue).isNull()) {
        printer.setPrinterName(queue); // its paper and layout
    }
    printer.setDocName(request.file);
    printer.setCreator(ProductText());
    return withPrinter(SubmitToQueue(queue, printer, request.file, image, *pages, backend));
}

} // namespace

CPrintResult RunPrint(const CPrintRequest& request, IPrintBackend& backend, IDialogRunner& dialogs)
{
    if (request.file.isEmpty()) {
        return {};
    }
    if (request.quiet) {
        return RunQuiet(request, backend);
    }
    const CCustomCommandLineInfo* cmd = request.commandLine;
    const int current = std::max(request.currentPage, 1);

    // The file first: there is no point in choosing a printer for a file that cannot be printed, and the
    // dialog needs the page count to judge the choice.
    CTiffImage image(request.file);
    const int n = image.IsOpen() ? image.GetFrameCount() : 0;
    if (n <= 0) {
        return {CPrintResult::Unreadable, FormatString(Str::PrintUnreadable, {request.file})};
    }

    // The printer chosen under printer set-up, else the default printer; nothing of an earlier run is kept.
    QPrinter printer(QPrinter::HighResolution);
    if (request.setup == nullptr || !ApplyPrintSetup(*request.setup, printer)) {
        const QString defaultPrinter = backend.DefaultPrinterName();
        if (!defaultPrinter.isEmpty() && !QPrinterInfo::printerInfo(defaultPrinter).isNull()) {
            printer.setPrinterName(defaultPrinter);
        }
    }
    printer.setDocName(request.file);
    printer.setCreator(ProductText());

    unsigned flags = PrintFlags::ReturnDc | PrintFlags::NoSelection;
    std::vector<PageRangeEntry> preset;
    if (cmd != nullptr && (cmd->HasRange() || cmd->HasPageList())) {
        preset = CommandLinePageRanges(*cmd);
        // Nothing of the given pages can exist (a range running backwards, numbers below 1): the dialog
        // could not show it, and there is nothing to print.
        if (FormatPageRanges(preset).isEmpty()) {
            return NoPageOf(n);
        }
        flags |= PrintFlags::PageNums;
    }
    CPrintDialogExZentrel dialog(&printer, flags, request.parent);
    dialog.SetDocument(n, current, request.messages);
    for (const PageRangeEntry& r : preset) {
        dialog.AddPageRange(r.from, r.to);
    }
    if (dialogs.Exec(dialog) != QDialog::Accepted) {
        return {CPrintResult::Cancelled};
    }
    flags = dialog.ResultFlags();
    const std::unique_ptr<T_OSrtList> pages =
        BuildPrintListFromDialog(flags, current, dialog.ResultRanges(), n);
    if (pages->IsEmpty()) {
        return NoPageOf(n);
    }
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty()) {
        return SubmitToQueue(printer.printerName(), printer, request.file, image, *pages, backend);
    }
    if (printer.outputFileName().isEmpty()) {
        // No CUPS printer was there to choose and no file was named: Qt would paint into nothing.
        return {CPrintResult::NoPrinter, LoadString(Str::PrintNoPrinter)};
    }
    // "Print to file" in the dialog: the PDF is written where the user said.
    const int sheets = PrintPagesOnDevice(printer, image, *pages);
    if (sheets < 0) {
        return CannotWrite(printer.outputFileName());
    }
    if (sheets == 0) {
        return {CPrintResult::Unreadable, FormatString(Str::PrintUnreadable, {request.file})};
    }
    return {CPrintResult::Printed, {}, sheets};
}
