#include "pageview/DataZoom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <limits>

namespace {

// Float to 32-bit integer, truncating toward zero; out-of-range values are clamped instead of being
// undefined.
int Trunc(double v)
{
    if (!(v == v)) {
        return 0;
    }
    if (v >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (v <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(v);
}

// a * b / c with a 64-bit product, truncating like the 32-bit original for all real sizes.
int MulDiv(int a, int b, int c)
{
    if (c == 0) {
        return 0;
    }
    const long long r = static_cast<long long>(a) * b / c;
    if (r > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (r < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(r);
}

int Abs(int v)
{
    return v == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : std::abs(v);
}

} // namespace

void CDataZoom::SetMarked(int width, int left, int height, int top)
{
    m_h.markSize = width;
    m_h.markPos = left;
    m_v.markSize = height;
    m_v.markPos = top;
}

void CDataZoom::LayoutAxis(ZoomAxis& a) const
{
    if (a.client >= a.zoomed) {
        a.offset = m_alignTopLeft != 0 ? 0 : (a.client - a.zoomed) / 2;
        a.scrollNeeded = 0;
        return;
    }
    // The page keeps its leading edge where it was in window pixels, as far as the range allows: an edge
    // beyond the new end would show blank window while page stays out of reach.
    KeepAxisReachable(a);
}

void CDataZoom::KeepAxisReachable(ZoomAxis& a)
{
    if (a.zoomed > a.client) {
        a.scrollNeeded = 1;
        a.scrollRange = a.zoomed - std::max(0, a.client);
        a.offset = std::clamp(a.offset, -a.scrollRange, 0);
        a.scrollPos = -a.offset;
        return;
    }
    a.scrollNeeded = 0;
    a.offset = std::clamp(a.offset, 0, std::max(0, a.client - a.zoomed));
}

void CDataZoom::KeepPageReachable()
{
    KeepAxisReachable(m_h);
    KeepAxisReachable(m_v);
}

void CDataZoom::ApplyZoom()
{
    for (ZoomAxis* a : {&m_h, &m_v}) {
        a->zoomed = Trunc(a->page * m_zoomPercent / 100.0);
        LayoutAxis(*a);
    }
}

void CDataZoom::ApplyZoomedSize()
{
    // Without a page height there is no percentage to derive; the layout still follows the sizes.
    if (m_v.page != 0) {
        m_zoomPercent = static_cast<double>(Trunc(m_v.zoomed * 100.0 / m_v.page));
    }
    LayoutAxis(m_h);
    LayoutAxis(m_v);
}

void CDataZoom::ZoomActualPixels()
{
    if (m_h.page <= 0 || m_v.page <= 0) {
        return;
    }
    m_h.zoomed = m_h.page;
    m_v.zoomed = m_v.page;
    m_v.offset = 0;
    m_h.offset = 0;
    ApplyZoomedSize();
}

void CDataZoom::ZoomWholePage()
{
    if (m_v.page <= 0 || m_h.page <= 0) {
        return;
    }
    const int w = MulDiv(m_h.page, m_v.client, m_v.page);
    if (w > m_h.client) {
        m_h.zoomed = m_h.client;
        m_v.zoomed = MulDiv(m_v.page, m_h.zoomed, m_h.page);
    } else {
        m_v.zoomed = m_v.client;
        m_h.zoomed = MulDiv(m_h.page, m_v.zoomed, m_v.page);
    }
    ApplyZoomedSize();
}

void CDataZoom::ZoomWholeWidth()
{
    if (m_h.page <= 0 || m_v.page <= 0) {
        return;
    }
    m_h.zoomed = m_h.client;
    m_v.zoomed = MulDiv(m_v.page, m_h.zoomed, m_h.page);
    m_v.offset = 0;
    m_h.offset = 0;
    ApplyZoomedSize();
}

bool CDataZoom::IsReady() const
{
    return m_h.page > 0 && m_h.client > 0 && m_v.page != 0 && m_v.client != 0;
}

ZoomStatus CDataZoom::ZoomIn()
{
    if (!IsReady()) {
        return ZoomNotReady;
    }
    if (m_maxZoom > m_zoomPercent) {
        m_zoomPercent += 5.0;
        ApplyZoom();
        return ZoomOk;
    }
    return ZoomAtLimit;
}

ZoomStatus CDataZoom::ZoomOut()
{
    if (!IsReady()) {
        return ZoomNotReady;
    }
    if (m_zoomPercent > m_minZoom) {
        m_zoomPercent -= 5.0;
        ApplyZoom();
        return ZoomOk;
    }
    return ZoomAtLimit;
}

void CDataZoom::ScrollAxis(ZoomAxisId axis, int kind, int position)
{
    ZoomAxis& a = AxisRef(axis);
    switch (kind) {
    case ScrollForward:
        ScrollBy(axis, kScrollStep);
        break;
    case ScrollBack:
        ScrollBy(axis, -kScrollStep);
        break;
    case ScrollPageForward:
        ScrollBy(axis, std::max(1, a.client));
        break;
    case ScrollPageBack:
        ScrollBy(axis, -std::max(1, a.client));
        break;
    case ScrollTo:
        if (a.scrollNeeded == 0) {
            break;
        }
        // The thumb at its end shows the page's last pixels; elsewhere positions keep the 20-pixel grid.
        a.scrollPos =
            position >= a.scrollRange ? a.scrollRange : std::max(0, position / kScrollStep * kScrollStep);
        a.offset = -a.scrollPos;
        break;
    default:
        break;
    }
}

void CDataZoom::ScrollBy(ZoomAxisId axis, int pixels)
{
    ZoomAxis& a = AxisRef(axis);
    if (a.scrollNeeded == 0) {
        return; // a page that fits does not move
    }
    const long long pos =
        std::clamp<long long>(static_cast<long long>(a.scrollPos) + pixels, 0, a.scrollRange);
    a.scrollPos = static_cast<int>(pos);
    a.offset = -a.scrollPos;
}

ZoomStatus CDataZoom::ZoomToMarked()
{
    if (m_h.markSize <= 0) {
        return ZoomAtLimit;
    }
    const double f = static_cast<double>(m_h.client) / m_h.markSize;
    const int nW = Trunc(m_h.zoomed * f);
    const int nH = Trunc(m_v.zoomed * f);
    if (nW >= Trunc(m_h.page * 0.01 * m_maxZoom) || nH >= Trunc(m_v.page * 0.01 * m_maxZoom)) {
        return ZoomAtLimit;
    }

    int x = 0;
    if (m_h.client < m_h.zoomed) {
        x = Trunc((static_cast<double>(Abs(m_h.offset)) + m_h.markPos) * f);
    } else {
        x = Trunc((static_cast<double>(m_h.markPos) - Abs(m_h.offset)) * f);
    }
    m_h.offset = -x;
    m_h.zoomed = nW;
    m_v.zoomed = nH;

    if (m_v.zoomed <= m_v.client) {
        m_v.offset = Trunc((m_v.client - m_v.zoomed) * 0.5);
    } else {
        m_v.offset = -Trunc((static_cast<double>(m_v.markPos) - m_v.offset) * f);
        if (static_cast<long long>(Abs(m_v.offset)) + m_v.client > m_v.zoomed) {
            m_v.offset = -(m_v.zoomed - m_v.client);
        }
    }

    m_zoomPercent = m_h.zoomed * 100.0 / m_h.page;
    // Whether an axis scrolls follows from the sizes, not from the sign of the offset: a mark that starts
    // in the margin beside the page gives a positive offset on a page larger than the window.
    KeepPageReachable();
    return ZoomOk;
}
