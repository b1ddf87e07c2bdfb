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

    // Thumb positions are rounded down to a multiple of 20 and not clamped to the range.
    z.ScrollAxis(AxisVertical, ScrollTo, 1234);
    EXPECT_EQ(z.Vertical().scrollPos, 1220);
    EXPECT_EQ(z.Vertical().offset, -1220);

    // No partial step to the end.
    z.ScrollAxis(AxisVertical, ScrollTo, 440);
    z.ScrollAxis(AxisVertical, ScrollForward);
    EXPECT_EQ(z.Vertical().scrollPos, 440);
    // Unknown kinds do nothing.
    z.ScrollAxis(AxisVertical, 9, 100);
    EXPECT_EQ(z.Vertical().scrollPos, 440);
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
    EXPECT_EQ(z.Vertical().scrollNeeded, 0);
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

} // namespace
