#include "pageview/DataZoom.h"

#include <gtest/gtest.h>

namespace {

// The fax page of 1728 x 1100 pixels at 204 x 98 dpi, squared to 1728 x 2289, in an 800 x 600 window.
CDataZoom FaxInWindow()
{
    CDataZoom z;
    z.SetPageWidth(1728);
    z.SetPageHeight(2289);
    z.SetWindowWidth(800);
    z.SetWindowHeight(600);
    return z;
}

CDataZoom PageInWindow(int pageWidth, int pageHeight, int windowWidth, int windowHeight)
{
    CDataZoom z;
    z.SetPageWidth(pageWidth);
    z.SetPageHeight(pageHeight);
    z.SetWindowWidth(windowWidth);
    z.SetWindowHeight(windowHeight);
    return z;
}

TEST(DataZoom, WholePageThenZoomIn)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholePage();
    EXPECT_EQ(z.Horizontal().zoomed, 452);
    EXPECT_EQ(z.Vertical().zoomed, 600);
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 26.0);
    EXPECT_EQ(z.Horizontal().offset, 174);
    EXPECT_EQ(z.Vertical().offset, 0);
    EXPECT_EQ(z.Horizontal().scrollNeeded, 0);
    EXPECT_EQ(z.Vertical().scrollNeeded, 0);

    EXPECT_EQ(z.ZoomIn(), ZoomOk);
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 31.0);
    EXPECT_EQ(z.Horizontal().zoomed, 535);
    EXPECT_EQ(z.Vertical().zoomed, 709);
    EXPECT_EQ(z.Horizontal().offset, 132);
    EXPECT_EQ(z.Vertical().scrollNeeded, 1);
    EXPECT_EQ(z.Vertical().scrollRange, 109);
    EXPECT_EQ(z.Vertical().scrollPos, 0);
    EXPECT_EQ(z.Vertical().offset, 0);

    // A page as wide as the window but too tall at that width fits by its height.
    CDataZoom wide = PageInWindow(1200, 1000, 1200, 800);
    wide.ZoomWholePage();
    EXPECT_EQ(wide.Horizontal().zoomed, 960);
    EXPECT_EQ(wide.Vertical().zoomed, 800);
    EXPECT_DOUBLE_EQ(wide.GetZoomPercent(), 80.0);
    EXPECT_EQ(wide.Vertical().scrollNeeded, 0);
    // A window exactly as wide as the fitted page: the height still fills the window.
    CDataZoom exact = PageInWindow(1728, 2289, 452, 600);
    exact.ZoomWholePage();
    EXPECT_EQ(exact.Vertical().zoomed, 600);
}

TEST(DataZoom, WholeWidthAndScrolling)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholeWidth();
    EXPECT_EQ(z.Horizontal().zoomed, 800);
    EXPECT_EQ(z.Vertical().zoomed, 1059);
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 46.0);
    EXPECT_EQ(z.Vertical().scrollRange, 459);
    EXPECT_EQ(z.Horizontal().scrollNeeded, 0);

    z.ScrollAxis(AxisVertical, ScrollForward);
    EXPECT_EQ(z.Vertical().scrollPos, 20);
    EXPECT_EQ(z.Vertical().offset, -20);
    z.ScrollAxis(AxisVertical, ScrollBack);
    EXPECT_EQ(z.Vertical().scrollPos, 0);
    z.ScrollAxis(AxisVertical, ScrollBack); // no step below 0
    EXPECT_EQ(z.Vertical().scrollPos, 0);
    EXPECT_EQ(z.Vertical().offset, 0);

    // Thumb positions are rounded down to a multiple of 20; one at or beyond the end shows the end.
    z.ScrollAxis(AxisVertical, ScrollTo, 333);
    EXPECT_EQ(z.Vertical().scrollPos, 320);
    EXPECT_EQ(z.Vertical().offset, -320);
    z.ScrollAxis(AxisVertical, ScrollTo, 1234);
    EXPECT_EQ(z.Vertical().scrollPos, 459);
    EXPECT_EQ(z.Vertical().offset, -459);
    // Unknown kinds do nothing.
    z.ScrollAxis(AxisVertical, 9, 100);
    EXPECT_EQ(z.Vertical().scrollPos, 459);
    // A page that fits on an axis does not move on it.
    z.ScrollAxis(AxisHorizontal, ScrollForward);
    z.ScrollBy(AxisHorizontal, 50);
    EXPECT_EQ(z.Horizontal().offset, 0);
    // Whole width from a scrolled page shows the page's top edge again.
    z.ZoomWholeWidth();
    EXPECT_EQ(z.Vertical().offset, 0);
    EXPECT_EQ(z.Vertical().scrollPos, 0);
}

TEST(DataZoom, ActualPixels)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholePage();
    z.ZoomActualPixels();
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 100.0);
    EXPECT_EQ(z.Horizontal().scrollNeeded, 1);
    EXPECT_EQ(z.Vertical().scrollNeeded, 1);
    EXPECT_EQ(z.Horizontal().scrollRange, 928);
    EXPECT_EQ(z.Vertical().scrollRange, 1689);
    EXPECT_EQ(z.Horizontal().offset, 0);
    EXPECT_EQ(z.Vertical().offset, 0);
    // From a scrolled page, actual pixels again starts at the page's top-left corner.
    z.ScrollAxis(AxisVertical, ScrollTo, 600);
    z.ScrollAxis(AxisHorizontal, ScrollTo, 300);
    z.ZoomActualPixels();
    EXPECT_EQ(z.Horizontal().offset, 0);
    EXPECT_EQ(z.Vertical().offset, 0);
}

TEST(DataZoom, ZoomToMarkedFromWholePage)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholePage();
    z.SetMarked(200, 400, 150, 100);
    EXPECT_EQ(z.ZoomToMarked(), ZoomOk);
    EXPECT_NEAR(z.GetZoomPercent(), 104.6296296, 1e-6);
    EXPECT_EQ(z.Horizontal().zoomed, 1808);
    EXPECT_EQ(z.Vertical().zoomed, 2400);
    EXPECT_EQ(z.Horizontal().offset, -904);
    EXPECT_EQ(z.Vertical().offset, -400);
    EXPECT_EQ(z.Horizontal().scrollPos, 904);
    EXPECT_EQ(z.Horizontal().scrollRange, 1008);
    EXPECT_EQ(z.Vertical().scrollNeeded, 1);

    // Later steps go on from the fractional value.
    EXPECT_EQ(z.ZoomIn(), ZoomOk);
    EXPECT_NEAR(z.GetZoomPercent(), 109.6296296, 1e-6);
}

TEST(DataZoom, SmallPageLimitsOfMarking)
{
    CDataZoom z;
    z.SetPageWidth(100);
    z.SetPageHeight(100);
    z.SetWindowWidth(800);
    z.SetWindowHeight(600);
    z.ZoomWholePage();
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 600.0);
    EXPECT_EQ(z.Horizontal().zoomed, 600);
    EXPECT_EQ(z.Vertical().zoomed, 600);
    EXPECT_EQ(z.Horizontal().offset, 100);

    CDataZoom narrow = z;
    narrow.SetMarked(600, 100, 10, 0);
    EXPECT_EQ(narrow.ZoomToMarked(), ZoomAtLimit);
    EXPECT_EQ(narrow.Horizontal().zoomed, 600); // unchanged

    z.SetMarked(601, 100, 600, 0);
    EXPECT_EQ(z.ZoomToMarked(), ZoomOk);
    EXPECT_EQ(z.Horizontal().zoomed, 798);
    EXPECT_EQ(z.Vertical().zoomed, 798);
    EXPECT_NEAR(z.GetZoomPercent(), 798.0, 1e-9);
    EXPECT_EQ(z.Horizontal().offset, 0);
    EXPECT_EQ(z.Vertical().offset, 0);
    EXPECT_EQ(z.Horizontal().scrollNeeded, 0);
    // 798 pixels in a 600-pixel-high window: the rest of the page is reachable with a scroll bar.
    EXPECT_EQ(z.Vertical().scrollNeeded, 1);
    EXPECT_EQ(z.Vertical().scrollRange, 198);
}

TEST(DataZoom, LimitsAndNotReady)
{
    CDataZoom z = FaxInWindow();
    z.SetZoomPercent(800.0);
    EXPECT_EQ(z.ZoomIn(), ZoomAtLimit);
    z.SetZoomPercent(797.0);
    EXPECT_EQ(z.ZoomIn(), ZoomOk); // the test comes before the step
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 802.0);
    z.SetZoomPercent(5.0);
    EXPECT_EQ(z.ZoomOut(), ZoomAtLimit);
    z.SetZoomPercent(7.0);
    EXPECT_EQ(z.ZoomOut(), ZoomOk);
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 2.0);

    CDataZoom empty;
    empty.SetPageWidth(1728);
    empty.SetPageHeight(2289);
    EXPECT_EQ(empty.ZoomIn(), ZoomNotReady);
    EXPECT_EQ(empty.ZoomOut(), ZoomNotReady);
    EXPECT_FALSE(empty.IsReady());
    empty.SetWindowHeight(600); // a window squeezed to no width
    EXPECT_EQ(empty.ZoomIn(), ZoomNotReady);
    EXPECT_EQ(empty.ZoomToMarked(), ZoomAtLimit); // nothing marked
}

TEST(DataZoom, ZeroPageSizeNeverDividesByZero)
{
    CDataZoom z;
    z.SetWindowWidth(800);
    z.SetWindowHeight(600);
    z.ZoomWholePage();
    z.ZoomWholeWidth();
    z.ZoomActualPixels();
    z.ApplyZoomedSize();
    EXPECT_EQ(z.ZoomIn(), ZoomNotReady);
    z.SetMarked(100, 10, 100, 10);
    EXPECT_EQ(z.ZoomToMarked(), ZoomAtLimit);
    EXPECT_EQ(z.Horizontal().zoomed, 0);
    EXPECT_DOUBLE_EQ(z.GetZoomPercent(), 100.0);

    // Only a width of 0: still no division by zero.
    z.SetPageHeight(500);
    z.ZoomWholePage();
    z.ZoomWholeWidth();
    EXPECT_EQ(z.Horizontal().zoomed, 0);
}

TEST(DataZoom, HugeSizesDoNotOverflow)
{
    CDataZoom z;
    z.SetPageWidth(200000);
    z.SetPageHeight(300000);
    z.SetWindowWidth(20000);
    z.SetWindowHeight(15000);
    z.ZoomWholePage(); // 200000 * 15000 does not fit 32 bits
    EXPECT_EQ(z.Vertical().zoomed, 15000);
    EXPECT_EQ(z.Horizontal().zoomed, 10000);
}

TEST(DataZoom, AlignTopLeft)
{
    CDataZoom z = FaxInWindow();
    z.SetAlignTopLeft(1);
    z.ZoomWholePage();
    EXPECT_EQ(z.Horizontal().offset, 0);
    EXPECT_EQ(z.Vertical().offset, 0);

    // Zooming to a mark still centres a page lower than the window vertically.
    CDataZoom wide;
    wide.SetAlignTopLeft(1);
    wide.SetPageWidth(2000);
    wide.SetPageHeight(200);
    wide.SetWindowWidth(800);
    wide.SetWindowHeight(600);
    wide.ZoomWholePage(); // 800 x 80
    EXPECT_EQ(wide.Vertical().offset, 0);
    wide.SetMarked(400, 0, 40, 0); // factor 2: 1600 x 160
    EXPECT_EQ(wide.ZoomToMarked(), ZoomOk);
    EXPECT_EQ(wide.Vertical().zoomed, 160);
    EXPECT_EQ(wide.Vertical().offset, 220);
}

TEST(DataZoom, ResizeDoesNotRefitAndZoomKeepsLeadingEdge)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholeWidth();
    z.ScrollAxis(AxisVertical, ScrollForward);
    z.SetWindowWidth(1000);
    z.SetWindowHeight(700);
    EXPECT_EQ(z.Horizontal().zoomed, 800);
    EXPECT_EQ(z.Vertical().offset, -20);
    // Zooming keeps the page's leading edge where it was in window pixels.
    EXPECT_EQ(z.ZoomIn(), ZoomOk);
    EXPECT_EQ(z.Vertical().offset, -20);
    EXPECT_EQ(z.Vertical().scrollPos, 20);
}

TEST(DataZoom, MarkedZoomKeepsBottomEdgeInsideTheWindow)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholeWidth(); // 800 x 1059
    z.ScrollAxis(AxisVertical, ScrollTo, 440);
    z.SetMarked(400, 0, 40, 550); // factor 2, mark near the bottom of the scrolled page
    EXPECT_EQ(z.ZoomToMarked(), ZoomOk);
    EXPECT_EQ(z.Vertical().zoomed, 2118);
    EXPECT_EQ(z.Vertical().offset, -(2118 - 600));
}

// ---- Regressions: no zoom or scroll leaves part of the page out of reach or shows blank beyond it ----

// Every axis either fits wholly inside the window without a bar, or scrolls over exactly the whole page.
void ExpectWholePageReachable(const CDataZoom& z)
{
    for (const ZoomAxis* a : {&z.Horizontal(), &z.Vertical()}) {
        if (a->zoomed > a->client) {
            EXPECT_EQ(a->scrollNeeded, 1);
            EXPECT_EQ(a->scrollRange, a->zoomed - a->client);
            EXPECT_LE(a->offset, 0);
            EXPECT_GE(a->offset + a->zoomed, a->client) << "blank beyond the page's end";
            EXPECT_EQ(a->scrollPos, -a->offset);
        } else {
            EXPECT_EQ(a->scrollNeeded, 0);
            EXPECT_GE(a->offset, 0);
            EXPECT_LE(a->offset + a->zoomed, a->client);
        }
    }
}

TEST(DataZoom, MarkedZoomFromMarginPortrait)
{
    // The fax page whole in a 1087 x 811 window (612 x 811 at offset 237); the mark starts 200 pixels
    // left of the page, in the empty margin.
    CDataZoom z;
    z.SetPageWidth(1728);
    z.SetPageHeight(2289);
    z.SetWindowWidth(1087);
    z.SetWindowHeight(811);
    z.ZoomWholePage();
    ASSERT_EQ(z.Horizontal().offset, 237);
    z.SetMarked(200, 37, 150, 100);
    ASSERT_EQ(z.ZoomToMarked(), ZoomOk);
    EXPECT_GT(z.Horizontal().zoomed, 1087);
    EXPECT_EQ(z.Horizontal().offset, 0); // the page's left edge at the window's edge, with a bar
    ExpectWholePageReachable(z);
}

TEST(DataZoom, MarkedZoomFromMarginLandscape)
{
    // A wide page fitted by its width leaves margins above and below; the mark starts above the page.
    CDataZoom z;
    z.SetPageWidth(3000);
    z.SetPageHeight(1000);
    z.SetWindowWidth(800);
    z.SetWindowHeight(600);
    z.ZoomWholePage(); // 800 x 266 at top 167
    ASSERT_EQ(z.Vertical().offset, 167);
    z.SetMarked(200, 100, 100, 67);
    ASSERT_EQ(z.ZoomToMarked(), ZoomOk);
    EXPECT_EQ(z.Vertical().zoomed, 1064);
    EXPECT_EQ(z.Vertical().offset, 0);
    EXPECT_EQ(z.Horizontal().offset, -400);
    ExpectWholePageReachable(z);
}

TEST(DataZoom, ZoomOutAtEndKeepsThePageAgainstTheWindowsEnd)
{
    CDataZoom z = FaxInWindow();
    z.ZoomActualPixels();
    z.ScrollAxis(AxisVertical, ScrollTo, 1689);
    z.ScrollAxis(AxisHorizontal, ScrollTo, 928);
    ASSERT_EQ(z.Vertical().offset, -1689);
    EXPECT_EQ(z.ZoomOut(), ZoomOk);
    EXPECT_EQ(z.ZoomOut(), ZoomOk); // 90 %: 1555 x 2060
    EXPECT_EQ(z.Vertical().offset, -(2060 - 600));
    EXPECT_EQ(z.Horizontal().offset, -(1555 - 800));
    ExpectWholePageReachable(z);
    while (z.GetZoomPercent() > 30.0) {
        z.ZoomOut();
        ExpectWholePageReachable(z);
    }
    EXPECT_EQ(z.Horizontal().offset, (800 - z.Horizontal().zoomed) / 2); // fits again: centred
}

TEST(DataZoom, LastPixelsReachableByStepsPagesAndTheThumb)
{
    CDataZoom z = FaxInWindow();
    z.ZoomWholeWidth(); // vertical range 459, not a multiple of 20
    for (int i = 0; i < 30; ++i) {
        z.ScrollAxis(AxisVertical, ScrollForward);
    }
    EXPECT_EQ(z.Vertical().scrollPos, 459);
    z.ScrollAxis(AxisVertical, ScrollBack);
    EXPECT_EQ(z.Vertical().scrollPos, 439); // arrows keep their 20-pixel step

    // A trough click moves by the visible extent, the last one partially.
    z.ScrollAxis(AxisVertical, ScrollTo, 0);
    z.ScrollAxis(AxisVertical, ScrollPageForward);
    EXPECT_EQ(z.Vertical().scrollPos, 459);
    z.ScrollAxis(AxisVertical, ScrollPageBack);
    EXPECT_EQ(z.Vertical().scrollPos, 0);

    z.ScrollAxis(AxisVertical, ScrollTo, 459);
    EXPECT_EQ(z.Vertical().offset, -459);
    ExpectWholePageReachable(z);
}

TEST(DataZoom, ResizeKeepsThePageReachable)
{
    CDataZoom z = FaxInWindow();
    z.ZoomActualPixels();
    z.ScrollAxis(AxisVertical, ScrollTo, 1689);
    // A larger window: the page moves only as far as needed to leave no blank band below it.
    z.SetWindowHeight(900);
    z.KeepPageReachable();
    EXPECT_EQ(z.Vertical().offset, -(2289 - 900));
    // A window larger than the page: no bar, the page inside the window.
    z.SetWindowWidth(2000);
    z.KeepPageReachable();
    EXPECT_EQ(z.Horizontal().scrollNeeded, 0);
    ExpectWholePageReachable(z);
    // A smaller window than a page that fitted: a bar appears.
    CDataZoom fit = FaxInWindow();
    fit.ZoomWholePage();
    fit.SetWindowHeight(500);
    fit.KeepPageReachable();
    EXPECT_EQ(fit.Vertical().scrollRange, 100);
    ExpectWholePageReachable(fit);
}

} // namespace
