#pragma once
// Where the page's pixels come from when the view paints at a device pixel ratio. The zoom model works
// in logical (window) pixels; the page is rendered in device pixels, one rendered pixel per screen
// pixel, so that a HiDPI screen shows it sharp. Plain geometry, no widgets.

#include <QRect>
#include <QRectF>
#include <QSize>

struct CPagePaintPlan
{
    QSize fullDevice; // the whole zoomed page in device pixels
    QRect visible;    // the part inside the window, in the page's device pixels (empty: nothing to draw)
};

// `imageRect` is the page in window pixels, `viewport` the window's size, `dpr` its device pixel ratio.
CPagePaintPlan PlanPagePaint(const QRect& imageRect, const QSize& viewport, double dpr);

// The region worth rendering for `plan`: the visible part widened by half its size each way, so that
// scrolling a little shows page at once, clipped to the page.
QRect RenderRegionFor(const CPagePaintPlan& plan);

// Where the part `part` (page device pixels) of the page at `imageRect` lies in window pixels.
QRectF WindowRectOfPart(const QRect& imageRect, double dpr, const QRect& part);
