#pragma once
// Where and how large the current page is drawn: zoom percentage, page and window sizes, the page's
// offset in the window, both scroll bars and the last marked rectangle. Pure arithmetic, no widgets.

#include <cstdint>

enum ZoomStatus : std::int16_t
{
    ZoomOk = 0,
    ZoomNotReady = 18, // page or window size missing
    ZoomAtLimit = 19,  // limit reached, or marked rectangle unusable
};

enum ScrollKind : int
{
    ScrollForward = 1,
    ScrollBack = 2,
    ScrollTo = 3,
    ScrollPageForward = 4, // a click in the scroll bar's trough: one visible extent on
    ScrollPageBack = 5,
};

enum ZoomAxisId : int
{
    AxisHorizontal = 0,
    AxisVertical = 1,
};

struct ZoomAxis
{
    int page = 0;         // page extent in page pixels
    int zoomed = 0;       // extent of the zoomed page on screen
    int client = 0;       // window extent
    int offset = 0;       // leading edge of the page in the window (> 0 gap, < 0 scrolled)
    int scrollNeeded = 0; // the zoomed page is larger than the window
    int scrollPos = 0;
    int scrollRange = 0;
    int markSize = 0; // last marked rectangle: width or height
    int markPos = 0;  // last marked rectangle: left or top
};

class CDataZoom
{
public:
    static constexpr int kScrollStep = 20;

    virtual ~CDataZoom() = default;

    void SetPageWidth(int w) { m_h.page = w; }
    void SetPageHeight(int h) { m_v.page = h; }
    void SetWindowWidth(int w) { m_h.client = w; }
    void SetWindowHeight(int h) { m_v.client = h; }
    void SetAlignTopLeft(int v) { m_alignTopLeft = v; }
    void SetMarked(int width, int left, int height, int top);

    int GetPageWidth() const { return m_h.page; }
    int GetPageHeight() const { return m_v.page; }
    int GetAlignTopLeft() const { return m_alignTopLeft; }
    double GetZoomPercent() const { return m_zoomPercent; }
    void SetZoomPercent(double z) { m_zoomPercent = z; }
    const ZoomAxis& Axis(ZoomAxisId a) const { return a == AxisHorizontal ? m_h : m_v; }
    const ZoomAxis& Horizontal() const { return m_h; }
    const ZoomAxis& Vertical() const { return m_v; }

    void ApplyZoom();
    void ApplyZoomedSize();
    ZoomStatus ZoomIn();
    ZoomStatus ZoomOut();
    void ZoomWholePage();
    void ZoomWholeWidth();
    void ZoomActualPixels();
    ZoomStatus ZoomToMarked();
    // Steps never leave the page: the last step forward or back is a partial one.
    void ScrollAxis(ZoomAxisId axis, int kind, int position = 0);
    // Moves the page by `pixels` on a scrolling axis (positive: towards the page's end), clamped to the
    // range; for wheels and touchpads.
    void ScrollBy(ZoomAxisId axis, int pixels);
    // After any change of the page's or the window's size: an axis on which the zoomed page is larger than
    // the window scrolls over the whole page, with its offset inside the range; a page that fits stays
    // wholly inside the window. The page is not refitted and moves only as far as that needs.
    void KeepPageReachable();
    bool IsReady() const;

private:
    ZoomAxis& AxisRef(ZoomAxisId a) { return a == AxisHorizontal ? m_h : m_v; }
    void LayoutAxis(ZoomAxis& a) const;
    static void KeepAxisReachable(ZoomAxis& a);

    double m_zoomPercent = 100.0;
    double m_minZoom = 5.0;
    double m_maxZoom = 800.0;
    ZoomAxis m_h;
    ZoomAxis m_v;
    int m_alignTopLeft = 0;
};
