#include "pageview/PagePaintPlan.h"

#include <cmath>

namespace {

int Round(double v)
{
    return static_cast<int>(std::lround(v));
}

} // namespace

CPagePaintPlan PlanPagePaint(const QRect& imageRect, const QSize& viewport, double dpr)
{
    CPagePaintPlan plan;
    if (imageRect.isEmpty() || viewport.isEmpty() || !(dpr > 0)) {
        return plan;
    }
    plan.fullDevice = QSize(Round(imageRect.width() * dpr), Round(imageRect.height() * dpr));
    const QRectF page(imageRect.x() * dpr, imageRect.y() * dpr, plan.fullDevice.width(),
                      plan.fullDevice.height());
    const QRectF window(0, 0, Round(viewport.width() * dpr), Round(viewport.height() * dpr));
    const QRectF seen = page.intersected(window).translated(-page.topLeft());
    if (seen.isEmpty()) {
        return plan;
    }
    const QRect aligned(
        QPoint(static_cast<int>(std::floor(seen.left())), static_cast<int>(std::floor(seen.top()))),
        QPoint(static_cast<int>(std::ceil(seen.right())) - 1,
               static_cast<int>(std::ceil(seen.bottom())) - 1));
    plan.visible = aligned.intersected(QRect(QPoint(0, 0), plan.fullDevice));
    return plan;
}

QRect RenderRegionFor(const CPagePaintPlan& plan)
{
    if (plan.visible.isEmpty()) {
        return {};
    }
    const int mx = plan.visible.width() / 2;
    const int my = plan.visible.height() / 2;
    return plan.visible.adjusted(-mx, -my, mx, my).intersected(QRect(QPoint(0, 0), plan.fullDevice));
}

QRectF WindowRectOfPart(const QRect& imageRect, double dpr, const QRect& part)
{
    return QRectF(imageRect.x() + part.x() / dpr, imageRect.y() + part.y() / dpr, part.width() / dpr,
                  part.height() / dpr);
}
