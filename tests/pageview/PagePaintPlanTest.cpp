#include "pageview/PagePaintPlan.h"

#include <gtest/gtest.h>

namespace {

TEST(PagePaintPlan, ThePageInDevicePixelsAtEveryRatio)
{
    // The fax page whole in an 800 x 600 window: 452 x 600 at left 174.
    const QRect page(174, 0, 452, 600);
    const struct
    {
        double dpr;
        QSize full;
    } cases[] = {{1.0, {452, 600}}, {1.25, {565, 750}}, {1.5, {678, 900}}, {2.0, {904, 1200}}};
    for (const auto& c : cases) {
        const CPagePaintPlan plan = PlanPagePaint(page, QSize(800, 600), c.dpr);
        EXPECT_EQ(plan.fullDevice, c.full) << c.dpr;
        EXPECT_EQ(plan.visible, QRect(QPoint(0, 0), c.full)) << c.dpr; // all of it is seen
        EXPECT_EQ(WindowRectOfPart(page, c.dpr, plan.visible), QRectF(page)) << c.dpr;
    }
}

TEST(PagePaintPlan, OnlyTheVisiblePartAndAMarginAroundItAreRendered)
{
    // A page of 3456 x 4578 scrolled by (1000, 2000) in an 800 x 600 window at ratio 2.
    const QRect page(-1000, -2000, 3456, 4578);
    const CPagePaintPlan plan = PlanPagePaint(page, QSize(800, 600), 2.0);
    EXPECT_EQ(plan.fullDevice, QSize(6912, 9156));
    EXPECT_EQ(plan.visible, QRect(2000, 4000, 1600, 1200));
    EXPECT_EQ(RenderRegionFor(plan), QRect(1200, 3400, 3200, 2400));

    // Near the page's end the margin stops at the page.
    const CPagePaintPlan end = PlanPagePaint(QRect(-2656, -3978, 3456, 4578), QSize(800, 600), 1.0);
    EXPECT_EQ(end.visible, QRect(2656, 3978, 800, 600));
    EXPECT_EQ(RenderRegionFor(end), QRect(2256, 3678, 1200, 900));

    // Nothing to draw for a page outside the window or of no size.
    EXPECT_TRUE(PlanPagePaint(QRect(900, 0, 100, 100), QSize(800, 600), 1.0).visible.isEmpty());
    EXPECT_TRUE(PlanPagePaint(QRect(0, 0, 0, 0), QSize(800, 600), 1.0).visible.isEmpty());
}

} // namespace
