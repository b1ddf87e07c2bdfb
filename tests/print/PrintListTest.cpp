// Print geometry and page lists: plain numbers, no printer.
#include "print/PrintList.h"
#include "core/CommandLineInfo.h"
#include "print/PrintGeometry.h"
#include "print/PrintReport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Pages = std::vector<int>;

CCustomCommandLineInfo Parse(const QStringList& args)
{
    CCustomCommandLineInfo cmd;
    ParseCommandLine(cmd, args, QStringLiteral("/tmp"));
    return cmd;
}

Pages FromCommandLine(const QStringList& args, int n)
{
    const CCustomCommandLineInfo cmd = Parse(args);
    return PrintListPages(*BuildPrintListFromCommandLine(&cmd, n));
}

Pages FromDialog(unsigned flags, int current, std::vector<PageRangeEntry> ranges, int n)
{
    return PrintListPages(*BuildPrintListFromDialog(flags, current, ranges, n));
}

// A4 at 600 dpi with 100 pixels of margin on every side.
const PrintDeviceCaps kA4At600{600, 600, 4960, 7016, 100, 100};

} // namespace

TEST(PrintGeometry, PrintableAreaInHundredthsOfAnInch)
{
    EXPECT_EQ(PrintableArea(kA4At600), (PrintSize{793, 1136}));
    // Different resolutions across and down, truncating divisions.
    EXPECT_EQ(PrintableArea({300, 600, 2550, 6600, 50, 100}), (PrintSize{816, 1066}));
}

TEST(PrintGeometry, PagesFitKeepingTheirProportion)
{
    const PrintSize area = PrintableArea(kA4At600);
    // 1728 x 2200 at 200 dpi: D = 793 * 2200 / 1728 = 1009 < 1136.
    EXPECT_EQ(FitPageToArea(area, 1728, 2200), (PrintSize{793, 1009}));
    // A normal-mode fax, 1728 x 1100 at 204 x 98 dpi, squared to 1728 x 2289.
    EXPECT_EQ(FitPageToArea(area, 1728, 2289), (PrintSize{793, 1050}));
    // Landscape page: full width, the rest of the sheet stays empty below.
    EXPECT_EQ(FitPageToArea(area, 2200, 1700), (PrintSize{793, 612}));
    // Taller in proportion than the area: D = 1586 >= 1136, so the height decides.
    EXPECT_EQ(FitPageToArea(area, 1000, 2000), (PrintSize{568, 1136}));
    // Exactly the area's proportion: D == H takes the height branch and fills the area.
    EXPECT_EQ(FitPageToArea({800, 1000}, 400, 500), (PrintSize{800, 1000}));
    // D truncates to H: still the height branch, where the width truncates to 792.
    EXPECT_EQ(FitPageToArea(area, 1000, 1433), (PrintSize{792, 1136}));
}

TEST(PrintGeometry, NothingToDrawInsteadOfDividingByZero)
{
    const PrintSize area = PrintableArea(kA4At600);
    EXPECT_TRUE(FitPageToArea(area, 0, 2200).IsEmpty());
    EXPECT_TRUE(FitPageToArea(area, 1728, 0).IsEmpty());
    EXPECT_TRUE(FitPageToArea(area, -5, 100).IsEmpty());
    // A device that reports no resolution or margins that eat the sheet.
    EXPECT_TRUE(PrintableArea({0, 0, 4960, 7016, 100, 100}).IsEmpty());
    EXPECT_TRUE(PrintableArea({600, 600, 200, 7016, 100, 100}).IsEmpty());
    EXPECT_TRUE(FitPageToArea({}, 1728, 2200).IsEmpty());
    // A sliver that truncates to zero height is not a page either.
    EXPECT_TRUE(FitPageToArea(area, 100000, 10).IsEmpty());
}

TEST(PrintGeometry, HugePagesDoNotOverflow)
{
    // W * h needs more than 32 bits here.
    EXPECT_EQ(FitPageToArea({793, 1136}, 3, 2000000000), (PrintSize{0, 0}));
    EXPECT_EQ(FitPageToArea({793, 1136}, 2000000000, 1000000000), (PrintSize{793, 396}));
}

TEST(PrintList, DialogRangesAreSortedAndEachPageOnce)
{
    // 3-5 and 4-8 on a 6-page file.
    EXPECT_EQ(FromDialog(PrintFlags::PageNums, 1, {{3, 5}, {4, 8}}, 6), (Pages{3, 4, 5, 6}));
    // Order of the ranges does not matter.
    EXPECT_EQ(FromDialog(PrintFlags::PageNums, 1, {{7, 7}, {2, 3}, {3, 3}}, 10), (Pages{2, 3, 7}));
    // A range running backwards prints nothing.
    EXPECT_EQ(FromDialog(PrintFlags::PageNums, 1, {{5, 3}}, 10), Pages{});
}

TEST(PrintList, DialogAllPagesAndCurrentPage)
{
    EXPECT_EQ(FromDialog(PrintFlags::ReturnDc | PrintFlags::NoSelection, 2, {}, 4), (Pages{1, 2, 3, 4}));
    // The current page wins over ranges.
    EXPECT_EQ(FromDialog(PrintFlags::CurrentPage | PrintFlags::PageNums, 3, {{1, 5}}, 5), (Pages{3}));
    EXPECT_EQ(FromDialog(PrintFlags::CurrentPage, 5, {}, 5), (Pages{5})); // the last page
    // A file without pages has no current page to print, nor any other.
    EXPECT_EQ(FromDialog(PrintFlags::CurrentPage, 1, {}, 0), Pages{});
    EXPECT_EQ(FromDialog(0, 1, {}, 0), Pages{});
    // A current page beyond the file (the strip still shows the old count).
    EXPECT_EQ(FromDialog(PrintFlags::CurrentPage, 9, {}, 4), Pages{});
}

TEST(PrintList, CommandLinePages)
{
    // /r:2-4 /i:7,3 on 10 pages: the union, ascending, 3 once.
    EXPECT_EQ(FromCommandLine({"/p", "/r:2-4", "/i:7,3", "/q", "/tmp/a.tif"}, 10), (Pages{2, 3, 4, 7}));
    // /r:5-20 on 8 pages.
    EXPECT_EQ(FromCommandLine({"/p", "/r:5-20", "/q", "/tmp/a.tif"}, 8), (Pages{5, 6, 7, 8}));
    // Neither /r nor /i: all pages.
    EXPECT_EQ(FromCommandLine({"/p", "/q", "/tmp/a.tif"}, 3), (Pages{1, 2, 3}));
    // /i with duplicates and pages beyond the file.
    EXPECT_EQ(FromCommandLine({"/p", "/i:3,1,3,12", "/tmp/a.tif"}, 5), (Pages{1, 3}));
    // /i naming the last page.
    EXPECT_EQ(FromCommandLine({"/p", "/i:2,5", "/tmp/a.tif"}, 5), (Pages{2, 5}));
    // /r:5-3 runs backwards and prints nothing.
    EXPECT_EQ(FromCommandLine({"/p", "/r:5-3", "/tmp/a.tif"}, 8), Pages{});
    EXPECT_EQ(PrintListPages(*BuildPrintListFromCommandLine(nullptr, 8)), Pages{});
}

TEST(PrintList, PageNumbersBelowOneAreSkipped)
{
    // The parser lets negative numbers through as the end of /r and in all but the last place of /i.
    EXPECT_EQ(FromCommandLine({"/p", "/r:1--3", "/tmp/a.tif"}, 8), Pages{});
    EXPECT_EQ(FromCommandLine({"/p", "/i:-2,4", "/tmp/a.tif"}, 8), (Pages{4}));
    EXPECT_EQ(FromDialog(PrintFlags::PageNums, 1, {{-4, 0}, {0, 2}}, 8), (Pages{1, 2}));
}

TEST(PrintList, HugeRangesOnlyWalkThePagesThatExist)
{
    // A loop over every number up to two billion would hang the program.
    EXPECT_EQ(FromCommandLine({"/p", "/r:6-2000000000", "/tmp/a.tif"}, 8), (Pages{6, 7, 8}));
    EXPECT_EQ(FromDialog(PrintFlags::PageNums, 1, {{-2000000000, 2000000000}}, 2), (Pages{1, 2}));
}

TEST(PrintList, CommandLinePresetForTheDialog)
{
    const CCustomCommandLineInfo cmd = Parse({"/p", "/r:2-4", "/i:7,3", "/tmp/a.tif"});
    const std::vector<PageRangeEntry> ranges = CommandLinePageRanges(cmd);
    EXPECT_EQ(ranges, (std::vector<PageRangeEntry>{{2, 4}, {7, 7}, {3, 3}}));
    EXPECT_EQ(FormatPageRanges(ranges), QStringLiteral("2-4,7,3"));
    EXPECT_TRUE(CommandLinePageRanges(Parse({"/p", "/tmp/a.tif"})).empty());
    // What cannot be written in the page field, and would print nothing, is left out or cut.
    EXPECT_EQ(FormatPageRanges(CommandLinePageRanges(Parse({"/p", "/r:1--3", "/i:-1,5", "/tmp/a.tif"}))),
              QStringLiteral("5"));
    EXPECT_EQ(FormatPageRanges(std::vector<PageRangeEntry>{{-3, 2}, {4, 4}}), QStringLiteral("1-2,4"));
    EXPECT_EQ(FormatPageRanges(CommandLinePageRanges(Parse({"/p", "/r:5-3", "/tmp/a.tif"}))), QString());
}

TEST(PrintList, DialogChoicesThatWouldPrintNothingAreCaughtBeforeTheDialogCloses)
{
    struct Case
    {
        unsigned flags;
        std::vector<PageRangeEntry> ranges;
        int n;
        PageChoiceCheck expected;
    };
    const unsigned pages = PrintFlags::PageNums;
    const Case cases[] = {
        {pages, {{2, 1001}}, 6, PageChoiceCheck::OutOfBounds}, // beyond what the spin boxes allow
        {pages, {{1, 1000}}, 6, PageChoiceCheck::Ok},
        {pages, {{1, 2}, {0, 3}}, 6, PageChoiceCheck::OutOfBounds},
        {pages, {{7, 7}}, 6, PageChoiceCheck::NoPage}, // wholly beyond the document
        {pages, {{7, 9}, {6, 6}}, 6, PageChoiceCheck::Ok},
        {pages, {{5, 3}}, 8, PageChoiceCheck::NoPage},
        {pages, {}, 6, PageChoiceCheck::NoPage},
        {PrintFlags::CurrentPage, {{2, 1001}}, 6, PageChoiceCheck::Ok}, // the ranges are not printed
        {0, {}, 6, PageChoiceCheck::Ok},
        {0, {}, 0, PageChoiceCheck::NoPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << ", n " << c.n);
        EXPECT_EQ(CheckPageChoice(c.flags, 1, c.ranges, c.n), c.expected);
    }
}

TEST(PrintReport, ExitStatusesAndLinesForScripts)
{
    EXPECT_EQ(StatusOf(CPrintResult::Printed), ExitStatus::Ok);
    EXPECT_EQ(StatusOf(CPrintResult::Unreadable), ExitStatus::File);
    EXPECT_EQ(StatusOf(CPrintResult::NoPage), ExitStatus::NoPage);
    EXPECT_EQ(StatusOf(CPrintResult::NoPrinter), ExitStatus::NoPrinter);
    EXPECT_EQ(StatusOf(CPrintResult::Refused), ExitStatus::Refused);
    EXPECT_EQ(StatusOf(CPrintResult::Failed), ExitStatus::Failure);
    EXPECT_EQ(StatusOf(CPrintResult::NothingToPrint), ExitStatus::Failure) << "never success without a job";

    // Each line names the file and the printer once, and only once.
    EXPECT_EQ(
        FailureLine("Die Seitenauswahl enthält keine Seite dieses Dokuments (8 Seiten).", "/f/a b.tif", "Q"),
        "folivant: Die Seitenauswahl enthält keine Seite dieses Dokuments (8 Seiten). (Datei '/f/a b.tif', "
        "Drucker 'Q')");
    EXPECT_EQ(FailureLine("Die Datei '/f/a.tif' existiert nicht.", "/f/a.tif", "Q"),
              "folivant: Die Datei '/f/a.tif' existiert nicht. (Drucker 'Q')");
    EXPECT_EQ(
        FailureLine("Es ist kein Standarddrucker eingerichtet;\nes wurde nichts gedruckt.", "/a.tif", ""),
        "folivant: Es ist kein Standarddrucker eingerichtet; es wurde nichts gedruckt. (Datei '/a.tif')");
    EXPECT_EQ(
        FailureLine("Der Druckauftrag ist fehlgeschlagen: Destination \"Q\" is not accepting jobs.", "", "Q"),
        "folivant: Der Druckauftrag ist fehlgeschlagen: Destination \"Q\" is not accepting jobs.");
    EXPECT_EQ(JobLine("Buero/duplex", 17, 4), "folivant: job Buero-17, 4 pages");
}
