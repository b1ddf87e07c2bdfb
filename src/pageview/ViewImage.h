#pragma once
// The large view of the current page: shows the page it is told to show from the document's file, with
// square pixels, turned, fitted whole, zoomable and scrollable. Zoom and scroll are arithmetic in
// CDataZoom; the pixels come from a worker thread (CPageRenderWorker), in device pixels, so the GUI thread
// never decodes and a HiDPI screen shows the page sharp. Marking, copying and turning live here too.

#include "pageview/DataZoom.h"
#include "pageview/PageRenderWorker.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QTimer>

#include <optional>

class CFolivantDoc;
class CFolivantData;
struct CPlatform;
class QMenu;

class CViewImage : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // The scroll-bar codes, numbered as the scroll messages always were.
    enum ScrollCode
    {
        LineUp = 0,
        LineDown = 1,
        PageUp = 2,
        PageDown = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        Top = 6,
        Bottom = 7,
        EndScroll = 8,
    };
    static constexpr int kHelpTopic = 4;
    // A page that takes longer than this to arrive shows the busy cursor.
    static constexpr int kBusyCursorDelayMs = 200;

    explicit CViewImage(QWidget* parent = nullptr);
    ~CViewImage() override;

    void SetDocument(const CFolivantDoc* doc) { m_doc = doc; }
    void SetSharedData(CFolivantData* data) { m_data = data; }
    void SetPlatform(CPlatform* platform) { m_platform = platform; }

    // Shows page `frameIndex` (0-based) of the document's file with `rotation` quarter turns clockwise.
    // The page arrives from the worker; until then the previous page stays on screen.
    void ShowPage(int frameIndex, int rotation, int second);
    void OnInitialUpdate();
    // Starts loading the first page of a newly opened document ahead of the strip's selection of it:
    // the next ShowPage for that same page keeps this load instead of starting another.
    void PrefetchFirstPage();
    void UpdateImageRect();
    void UpdateScrollBars();

    void OnZoomIn();
    void OnZoomOut();
    void OnWholePage();
    void OnWholeWidth();
    void OnActualPixels();
    // A scroll-bar event of one axis: arrows and ends move 20 pixels, trough clicks a window's extent; the
    // page moves only when the thumb is released (ThumbPosition), never while it is dragged.
    void OnScroll(ZoomAxisId axis, int code, int position = 0);

    // Prepares the copy on a worker; the clipboard gets it, and the user the message, when it is ready.
    void CopyPageToClipboard();
    void RotateClockwise();
    void RotateCounterClockwise();

    bool IsPageDrawn() const { return m_pageDrawn; }
    // For the commands that need a page: a page of the open document has been drawn. Turning to another
    // page of the same document keeps them available while the new page loads, so buttons do not flicker
    // and the page box keeps the keyboard.
    bool IsPageShown() const { return m_hasPage && (m_pageDrawn || m_documentDrawn); }
    // A page has been asked for and is not there yet.
    bool IsLoading() const { return m_loadingGeneration != 0; }
    bool IsCopying() const;
    // The worker is loading a page or rendering a part of it for the current zoom.
    bool IsRendering() const { return IsLoading() || m_regionInFlight.has_value(); }
    CPageRenderWorker* RenderWorker() const { return m_worker; }
    const CDataZoom& Zoom() const { return m_zoom; }
    QRect ImageRect() const { return m_imageRect; }
    int Rotation() const { return m_rotation; }
    // The shown page's pixel size as stored in the file, turned; empty without a decodable page.
    QSize PageImageSize() const { return m_shown.imageSize; }
    // The 0-based index of the page on screen; -1 before any page arrived.
    int ShownFrame() const { return m_shown.generation != 0 ? m_shown.frame : -1; }
    const QString& DocumentPath() const { return m_path; }
    // The document's page count, for what the view tells a screen reader; -1 until the frame knows it.
    void SetPageCount(int count);
    int PageCount() const { return m_pageCount; }

Q_SIGNALS:
    void rotationChanged(int rotation, int second);
    void helpRequested(int topic);
    // The page was drawn for the first time since it was loaded, or a new page is being loaded.
    void pageDrawnChanged(bool drawn);
    // A copy to the clipboard has ended (after the clipboard got it, before the message).
    void copyFinished(bool ok);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    // What the view knows of the page on screen.
    struct ShownPage
    {
        quint64 generation = 0;
        int frame = 0;
        int rotation = 0;
        QSize imageSize;
    };
    // A rendering of the whole page at `full` device pixels, or of the part `part` of it.
    struct Rendering
    {
        QImage image;
        QSize full;
        QRect part;
        int rotation = 0;
        bool IsFor(const QSize& f, int r) const { return !image.isNull() && full == f && rotation == r; }
    };

    void OnPageLoaded(const CPageLoaded& page);
    void OnRegionRendered(const CRegionRendered& region);
    void OnCopyFinished(const CPageCopy& copy);
    void UpdateBusyCursor();
    void SetPageDrawn(bool drawn);
    void DrawPage(QPainter& painter);
    double DevicePixelRatio() const;

    void OnSliderAction(ZoomAxisId axis, int action);
    // Removes the scroll bars before a fit, so the fit uses the whole window.
    void HideScrollBars();
    void ApplyScrollBarPolicies();
    void RecordWindowSize();
    void Rotate(int steps);
    void ShowContextMenu(const QPoint& globalPos);
    void ZoomSteps(int steps);
    bool GestureEvent(QEvent* event);
    QRect RubberBand() const;

    const CFolivantDoc* m_doc = nullptr;
    CFolivantData* m_data = nullptr;
    CPlatform* m_platform = nullptr;

    QRect m_imageRect;
    int m_rotation = 0;
    int m_second = 0;
    QString m_path;
    bool m_hasPage = false; // a page of a file is shown or on its way
    bool m_pageDrawn = false;
    bool m_documentDrawn = false;
    int m_pageCount = -1;
    CDataZoom m_zoom;
    bool m_updatingBars = false;

    CPageRenderWorker* m_worker = nullptr;
    CPageCopier* m_copier = nullptr;
    quint64 m_generation = 0;
    quint64 m_loadingGeneration = 0; // the page asked for and not yet arrived, 0 when none
    bool m_prefetchPending = false;
    QSize m_loadingFit; // the window and device pixel ratio the page on its way is fitted for
    double m_loadingDpr = 0;
    int m_loadingFrame = 0;
    ShownPage m_shown;
    Rendering m_preview; // the whole page as it arrived, or turned since
    Rendering m_region;  // the last part rendered for the current zoom
    std::optional<CRegionRequest> m_regionInFlight;
    std::optional<CRegionRequest> m_failedRegion;
    QTimer m_busyTimer;
    bool m_waitedLong = false; // the worker has been waited for longer than the busy delay
    bool m_busyCursor = false;

    // Wheels and touchpads: what is left of small deltas until they make a pixel or a zoom step.
    QPoint m_wheelRest;
    int m_zoomWheelRest = 0;
    double m_pinchRest = 0.0;

    // Marking with the left mouse button.
    QPoint m_anchor;
    QPoint m_current;
    bool m_dragging = false;
};
