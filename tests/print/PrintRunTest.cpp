// The print run on Qt's PDF printer and with a recording spooler: geometry of what is drawn, which pages
// reach the spooler and how, the dialog's presets and choices.
#include "PrintTestSupport.h"

#include "core/CommandLineInfo.h"
#include "core/Strings.h"
#include "imaging/TiffImage.h"
#include "print/PrintDialogExZentrel.h"
#include "print/PrintList.h"
#include "print/PrintRun.h"
#include "support/TestSupport.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QWidget>

#include <gtest/gtest.h>

using namespace printtest;

namespace {

// A4 at 600 dpi (or `dpi`) with margins of 12 points (100 device pixels at 600 dpi) on every side.
void SetUpA4At600(QPrinter& printer, const QString& file, int dpi = 600)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Point);
}

CCustomCommandLineInfo Parse(const QStringList& args)
{
    CCustomCommandLineInfo cmd;
    ParseCommandLine(cmd, args, QStringLiteral("/tmp"));
    return cmd;
}

class PrintRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_doc = m_dir.File(QStringLiteral("Eingang 2024/fax10.tif"));
        QDir().mkpath(QFileInfo(m_doc).absolutePath());
        WriteCodedFax(m_doc, 10, 1728, 1146, 204, 98);
        m_backend = std::make_unique<RecordingBackend>(QStringLiteral("FakeQueue"), m_dir.Path());
    }

    CPrintResult Run(const CPrintRequest& request) { return RunPrint(request, *m_backend, m_dialogs); }

    testsupport::TempDir m_dir;
    QString m_doc;
    std::unique_ptr<RecordingBackend> m_backend;
    ScriptedDialogs m_dialogs;
};

} // namespace

TEST(PrintGeometryOnDevice, A4At600DpiWithMargins)
{
    testsupport::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    SetUpA4At600(printer, dir.File(QStringLiteral("x.pdf")));
    const PrintDeviceCaps caps = DeviceCaps(printer);
    EXPECT_EQ(caps.LX, 600);
    EXPECT_EQ(caps.LY, 600);
    EXPECT_EQ(caps.OX, 100);
    EXPECT_EQ(caps.OY, 100);
    // Qt measures A4 in whole points, so the sheet is a few pixels off 4960 x 7016.
    EXPECT_NEAR(caps.PW, 4960, 4);
    EXPECT_NEAR(caps.PH, 7016, 4);
    const PrintSize area = PrintableArea(caps);
    EXPECT_NEAR(area.width, 793, 1);
    EXPECT_NEAR(area.height, 1136, 1);
}

TEST(PrintGeometryOnDevice, PagesAreDrawnAtTheirFittedSizeInTheTopLeftCorner)
{
    struct Case
    {
        int w, h;
        double xDpi, yDpi;
        int drawnW, drawnH; // hundredths of an inch
    };
    const Case cases[] = {
        {1728, 2200, 200, 200, 793, 1009},
        {1728, 1100, 204, 98, 793, 1050}, // squared to 1728 x 2289
        {2200, 1700, 200, 200, 793, 612},
        {1000, 2000, 200, 200, 568, 1136},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        testsupport::TempDir dir;
        const QString doc = dir.File(QStringLiteral("page.tif"));
        WriteCodedFax(doc, 1, c.w, c.h, c.xDpi, c.yDpi);
        const QString pdf = dir.File(QStringLiteral("out.pdf"));
        {
            QPrinter printer(QPrinter::HighResolution);
            SetUpA4At600(printer, pdf);
            CTiffImage image(doc);
            auto pages = NewPrintList();
            pages->InsertSorted(new T_OIntNode(1));
            ASSERT_EQ(PrintPagesOnDevice(printer, image, *pages), 1);
        }
        // Rendered at 100 dpi one pixel is one hundredth of an inch.
        const std::vector<Sheet> sheets = ReadSheets(pdf, 100);
        ASSERT_EQ(sheets.size(), 1u);
        EXPECT_EQ(sheets[0].code, 1);
        EXPECT_NEAR(sheets[0].pageBox.width(), c.drawnW, 3);
        EXPECT_NEAR(sheets[0].pageBox.height(), c.drawnH, 3);
        // The printable area starts 100 / 600 inch in.
        EXPECT_NEAR(sheets[0].pageBox.left(), 17, 2);
        EXPECT_NEAR(sheets[0].pageBox.top(), 17, 2);
    }
}

TEST(PrintGeometryOnDevice, EachSheetCarriesTheWholeBilevelPageOnceAsOneBitData)
{
    testsupport::TempDir dir;
    const QString doc = dir.File(QStringLiteral("page.tif"));
    WriteCodedFax(doc, 2, 1728, 1146, 204, 98);
    const QString pdf = dir.File(QStringLiteral("out.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        SetUpA4At600(printer, pdf);
        CTiffImage image(doc);
        auto pages = BuildPrintListFromDialog(0, 1, {}, 2);
        ASSERT_EQ(PrintPagesOnDevice(printer, image, *pages), 2);
    }
    QByteArray out;
    ASSERT_EQ(printtest::Run(QStringLiteral("pdfimages"), {"-list", pdf}, &out), 0);
    const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines) {
        // page num type width height color comp bpc enc ...: the page at its own pixel size, 1 bit per pixel
        // (not grey or colour, which makes jobs many times larger and slower), never JPEG.
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 9);
        EXPECT_EQ(f.at(3), QStringLiteral("1728"));
        EXPECT_EQ(f.at(4), QStringLiteral("1146"));
        EXPECT_EQ(f.at(7), QStringLiteral("1"));
        EXPECT_NE(f.at(8), QStringLiteral("jpeg"));
    }
}

// A page with more pixels than the printer has over the printed size goes out at the printer's resolution,
// read band by band (bilevel pages still 1-bit), so printing any page takes bounded memory.
TEST(PrintGeometryOnDevice, LargePagesGoOutAtThePrintersResolution)
{
    using C = FaxDocSpec::Colour;
    struct Case
    {
        const char* name;
        C colour;
        FaxDocSpec::Compression compression;
        const char* pdfColour;
        const char* bits;
    };
    const Case cases[] = {
        {"bilevel", C::Bilevel, FaxDocSpec::Compression::G4, "gray", "1"},
        {"grey", C::Grey, FaxDocSpec::Compression::Deflate, "rgb", "8"}, // Qt's PDF output has no grey images
        {"colour", C::Rgb, FaxDocSpec::Compression::Deflate, "rgb", "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        const QString doc = dir.File(QStringLiteral("page.tif"));
        FaxDocSpec desc;
        desc.pages = 1;
        desc.width = 3600;
        desc.height = 4800;
        desc.xDpi = desc.yDpi = 400;
        desc.colour = c.colour;
        desc.compression = c.compression;
        desc.rowsPerStrip = desc.height; // one strip, as scanners write it
        WriteCodedDocument(doc, desc);
        const QString pdf = dir.File(QStringLiteral("out.pdf"));
        {
            QPrinter printer(QPrinter::HighResolution);
            SetUpA4At600(printer, pdf, 150);
            CTiffImage image(doc);
            auto pages = NewPrintList();
            pages->InsertSorted(new T_OIntNode(1));
            ASSERT_EQ(PrintPagesOnDevice(printer, image, *pages), 1);
        }
        // Drawn 793 x 1057 hundredths of an inch: 1190 x 1586 printer pixels at 150 dpi.
        QByteArray out;
        ASSERT_EQ(printtest::Run(QStringLiteral("pdfimages"), {"-list", pdf}, &out), 0);
        const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts).mid(2);
        ASSERT_EQ(lines.size(), 1);
        const QStringList f = lines.at(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 9);
        EXPECT_NEAR(f.at(3).toInt(), 1190, 2);
        EXPECT_NEAR(f.at(4).toInt(), 1586, 2);
        EXPECT_EQ(f.at(5), QLatin1String(c.pdfColour));
        EXPECT_EQ(f.at(7), QLatin1String(c.bits));
        const std::vector<Sheet> sheets = ReadSheets(pdf, 100);
        ASSERT_EQ(sheets.size(), 1u);
        EXPECT_EQ(sheets[0].code, 1);
        EXPECT_NEAR(sheets[0].pageBox.width(), 793, 3);
        EXPECT_NEAR(sheets[0].pageBox.height(), 1057, 3);
    }
}

TEST_F(PrintRunTest, QuietRunSubmitsTheCommandLinePagesInOrder)
{
    const CCustomCommandLineInfo cmd = Parse({"/p", "/r:2-4", "/i:7,3", "/q", m_doc});
    CPrintRequest request{m_doc, 1, &cmd, true, nullptr};
    const CPrintResult result = Run(request);
    ASSERT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    EXPECT_EQ(m_dialogs.calls, 0) << "a quiet run shows no dialog";
    ASSERT_EQ(m_backend->jobs.size(), 1u);
    const RecordingBackend::Job& job = m_backend->jobs[0];
    EXPECT_EQ(job.queue, QStringLiteral("FakeQueue"));
    EXPECT_EQ(job.title, m_doc);
    EXPECT_FALSE(HasOption(job.options, "page-ranges"));
    EXPECT_TRUE(HasOption(job.options, "media"));
    EXPECT_EQ(Codes(ReadSheets(job.pdfCopy, 20)), (std::vector<int>{2, 3, 4, 7}));
    // The PDF carries the full path as its title, too.
    EXPECT_EQ(PdfInfo(job.pdfCopy, QStringLiteral("Title")), m_doc);
}

TEST_F(PrintRunTest, QuietRunFailures)
{
    // File and pages are judged before the printer (an empty job is a blank sheet); "Nope" is unknown.
    const auto check = [&](const QStringList& args, const QString& printer, const QString& refuse,
                           CPrintResult::Outcome outcome, const QString& message) {
        SCOPED_TRACE(args.join(u' ').toStdString() + ", printer " + printer.toStdString());
        const CCustomCommandLineInfo cmd = Parse(args);
        RecordingBackend backend(printer, m_dir.Path());
        backend.missing << QStringLiteral("Nope");
        backend.refuse = refuse;
        const CPrintResult result =
            RunPrint({cmd.GetBatchFile(), 1, &cmd, true, nullptr}, backend, m_dialogs);
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(result.printer, printer) << "every line names the printer it meant";
        EXPECT_EQ(backend.jobs.size(), refuse.isEmpty() ? 0u : 1u) << "only the refusing queue got a job";
    };
    const QString bogus = m_dir.File(QStringLiteral("bogus.tif"));
    testsupport::WriteFile(bogus, QByteArray("II*\0garbage", 11));
    const QString one = m_dir.File(QStringLiteral("one.tif"));
    WriteCodedFax(one, 1, 1728, 1146, 204, 98);
    qunsetenv("PRINTER"); // this process's own, when the machine sets them
    qunsetenv("LPDEST");
    check({"/p", "/q", m_doc}, "", "", CPrintResult::NoPrinter, LoadString(Str::PrintNoPrinter));
    check({"/p", "/q", m_doc}, "Nope", "", CPrintResult::NoPrinter,
          "Den Drucker 'Nope' gibt es nicht; es wurde nichts gedruckt.");
    check({"/p", "/q", m_doc}, "Q", "not accepting jobs", CPrintResult::Refused,
          "Der Druckauftrag ist fehlgeschlagen: not accepting jobs");
    check({"/p", "/q", bogus}, "Nope", "", CPrintResult::Unreadable,
          FormatString(Str::PrintUnreadable, {bogus}));
    check({"/p", "/q", "/r:20-30", m_doc}, "", "", CPrintResult::NoPage,
          "Die Seitenauswahl enthält keine Seite dieses Dokuments (10 Seiten).");
    check({"/p", "/q", "/i:2", one}, "Q", "", CPrintResult::NoPage,
          "Die Seitenauswahl enthält keine Seite dieses Dokuments (1 Seite).");
    EXPECT_EQ(m_dialogs.calls, 0);
}

TEST_F(PrintRunTest, CancelledDialogPrintsNothing)
{
    m_dialogs.script = [](QDialog& d) {
        d.show();
        d.reject();
        return d.result();
    };
    const CPrintResult result = Run({m_doc, 1, nullptr, false, nullptr});
    EXPECT_EQ(result.outcome, CPrintResult::Cancelled);
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_EQ(m_dialogs.calls, 1);
    EXPECT_TRUE(m_backend->jobs.empty());
}

TEST_F(PrintRunTest, PageRangesTypedIntoTheDialogPrintToFile)
{
    const QString out = m_dir.File(QStringLiteral("chosen.pdf"));
    m_dialogs.script = [&](QDialog& d) {
        return ChooseAndPrint(static_cast<QPrintDialog&>(d), out, QStringLiteral("5,2-3"));
    };
    const CPrintResult result = Run({m_doc, 1, nullptr, false, nullptr});
    ASSERT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    EXPECT_TRUE(m_backend->jobs.empty()) << "a file is written, nothing goes to a queue";
    EXPECT_EQ(Codes(ReadSheets(out, 20)), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(PdfInfo(out, QStringLiteral("Title")), m_doc);
}

TEST_F(PrintRunTest, CurrentPageFromTheDialog)
{
    const QString out = m_dir.File(QStringLiteral("current.pdf"));
    m_dialogs.script = [&](QDialog& d) {
        d.show();
        auto* current = d.findChild<QRadioButton*>(QStringLiteral("printCurrentPage"));
        EXPECT_TRUE(current != nullptr && current->isVisible()) << "the dialog offers the current page";
        if (current == nullptr) {
            return int(QDialog::Rejected);
        }
        current->setChecked(true);
        return ChooseAndPrint(static_cast<QPrintDialog&>(d), out, QString());
    };
    const CPrintResult result = Run({m_doc, 6, nullptr, false, nullptr});
    ASSERT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    EXPECT_EQ(Codes(ReadSheets(out, 20)), (std::vector<int>{6}));
}

TEST_F(PrintRunTest, DialogOpensCentredOnTheScreenWithTheCommandLinePages)
{
    QWidget owner;
    owner.setGeometry(20, 30, 240, 160);
    owner.show();
    const CCustomCommandLineInfo cmd = Parse({"/p", "/r:2-4", "/i:7,3", m_doc});
    QString shownText;
    bool rangesChosen = false;
    QPoint centre;
    m_dialogs.script = [&](QDialog& d) {
        d.show();
        auto& dialog = static_cast<CPrintDialogExZentrel&>(d);
        shownText = dialog.PageRangeField()->text();
        rangesChosen = dialog.PageRangeChoice()->isChecked();
        centre = dialog.frameGeometry().center();
        d.reject();
        return d.result();
    };
    Run({m_doc, 1, &cmd, false, &owner});
    EXPECT_EQ(shownText, QStringLiteral("2-4,7,3"));
    EXPECT_TRUE(rangesChosen);
    const QPoint screenCentre = owner.screen()->availableGeometry().center();
    EXPECT_NEAR(centre.x(), screenCentre.x(), 1);
    EXPECT_NEAR(centre.y(), screenCentre.y(), 1);
    EXPECT_NE(centre, owner.frameGeometry().center());

    // Without pages on the command line the dialog opens on all pages. Should the user pick a PDF file,
    // the name offered is the document's own (Qt would put the full path behind the folder).
    bool allChosen = false;
    QString offeredFile;
    m_dialogs.script = [&](QDialog& d) {
        d.show();
        auto* all = d.findChild<QRadioButton*>(QStringLiteral("printAll"));
        allChosen = all != nullptr && all->isChecked();
        offeredFile = d.findChild<QLineEdit*>(QStringLiteral("filename"))->text();
        d.reject();
        return d.result();
    };
    Run({m_doc, 1, nullptr, false, &owner});
    EXPECT_TRUE(allChosen);
    EXPECT_EQ(QFileInfo(offeredFile).fileName(), QStringLiteral("fax10.pdf"));
    EXPECT_TRUE(QFileInfo(QFileInfo(offeredFile).absolutePath()).isDir()) << offeredFile.toStdString();
}

TEST_F(PrintRunTest, CommandLinePagesThatCannotExistShowNoDialog)
{
    const CCustomCommandLineInfo cmd = Parse({"/p", "/r:5-3", m_doc});
    const CPrintResult result = Run({m_doc, 1, &cmd, false, nullptr});
    EXPECT_EQ(result.outcome, CPrintResult::NoPage);
    EXPECT_EQ(result.message, "Die Seitenauswahl enthält keine Seite dieses Dokuments (10 Seiten).");
    EXPECT_EQ(m_dialogs.calls, 0);
    EXPECT_TRUE(m_backend->jobs.empty());
}

TEST_F(PrintRunTest, PresetPagesPrintAsShownWhenAccepted)
{
    // /p without /q: the preset is what the dialog hands back when the user only presses "Print".
    const CCustomCommandLineInfo cmd = Parse({"/p", "/r:2-4", "/i:7,3", m_doc});
    const QString out = m_dir.File(QStringLiteral("preset.pdf"));
    m_dialogs.script = [&](QDialog& d) {
        return ChooseAndPrint(static_cast<QPrintDialog&>(d), out, QString());
    };
    const CPrintResult result = Run({m_doc, 1, &cmd, false, nullptr});
    ASSERT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    EXPECT_EQ(Codes(ReadSheets(out, 20)), (std::vector<int>{2, 3, 4, 7}));
}

TEST_F(PrintRunTest, AChoiceThatPrintsNothingKeepsTheDialogOpenWithAMessage)
{
    // Typed into the page field or set in the spin boxes: beyond their bounds or the document's 10 pages.
    struct Try
    {
        const char* pages;
        int from, to;
        const char* message;
    };
    const Try tries[] = {
        {"2-1001", 0, 0, "Geben Sie eine ganze Zahl zwischen 1 und 1000 ein."},
        {"11", 0, 0, "Die Seitenauswahl enthält keine Seite dieses Dokuments (10 Seiten)."},
        {"", 11, 12, "Die Seitenauswahl enthält keine Seite dieses Dokuments (10 Seiten)."},
    };
    RecordingMessageBox box;
    const QString out = m_dir.File(QStringLiteral("kept.pdf"));
    std::vector<bool> stayedOpen;
    m_dialogs.script = [&](QDialog& d) {
        auto& dialog = static_cast<CPrintDialogExZentrel&>(d);
        d.show();
        for (const Try& t : tries) {
            if (*t.pages != 0) {
                dialog.PageRangeChoice()->setChecked(true);
                dialog.PageRangeField()->setText(QString::fromLatin1(t.pages));
            } else {
                d.findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
                d.findChild<QSpinBox*>(QStringLiteral("to"))->setValue(t.to);
                d.findChild<QSpinBox*>(QStringLiteral("from"))->setValue(t.from);
            }
            d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            stayedOpen.push_back(d.isVisible());
        }
        return ChooseAndPrint(dialog, out, QStringLiteral("10-1000"));
    };
    const CPrintResult result = Run({m_doc, 1, nullptr, false, nullptr, nullptr, &box});
    ASSERT_EQ(result.outcome, CPrintResult::Printed) << result.message.toStdString();
    EXPECT_EQ(stayedOpen, std::vector<bool>(std::size(tries), true));
    ASSERT_EQ(box.shown.size(), std::size(tries));
    for (size_t i = 0; i < std::size(tries); ++i) {
        EXPECT_EQ(box.shown[i].text, QString::fromUtf8(tries[i].message));
        EXPECT_EQ(box.shown[i].caption, QStringLiteral("Fehler"));
    }
    EXPECT_EQ(Codes(ReadSheets(out, 20)), (std::vector<int>{10}));
}
