#pragma once
// The large view of the current page: loads the page it is told to show straight from the document's
// file, squares its pixels, turns it, fits it whole and scales it on every paint. Zoom and scroll are
// arithmetic in CDataZoom; marking, copying and rotating live here too.

#include "imaging/TiffImage.h"
#include "pageview/DataZoom.h"

#include <QAbstractScrollArea>
#include <QPoint>

#include <memory>

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

    explicit CViewImage(QWidget* parent = nullptr);
    ~CViewImage() override;

    void SetDocument(const CFolivantDoc* doc) { m_doc = doc; }
    void SetSharedData(CFolivantData* data) { m_data = data; }
    void SetPlatform(CPlatform* platform) { m_platform = platform; }

    // Shows page `frameIndex` (0-based) of the document's file with `rotation` quarter turns clockwise.
    void ShowPage(int frameIndex, int rotation, int second);
    void OnInitialUpdate();
    void UpdateImageRect();
    void UpdateScrollBars();

    void OnZoomIn();
    void OnZoomOut();
    void OnWholePage();
    void OnWholeWidth();
    void OnActualPixels();
    // A scroll-bar event of one axis: steps and jumps move 20 pixels; the page moves only when the
    // thumb is released (ThumbPosition), never while it is dragged.
    void OnScroll(ZoomAxisId axis, int code, int position = 0);

    void CopyPageToClipboard();
    void RotateClockwise();
    void RotateCounterClockwise();

    bool IsPageDrawn() const { return m_pageDrawn; }
    // For the commands that need a page: a page of the open document has been drawn. Turning to another
    // page of the same document keeps them available while the new page loads, so buttons do not flicker
    // and the page box keeps the keyboard.
    bool IsPageShown() const { return m_pageImage != nullptr && (m_pageDrawn || m_documentDrawn); }
    const CDataZoom& Zoom() const { return m_zoom; }
    QRect ImageRect() const { return m_imageRect; }
    int Rotation() const { return m_rotation; }
    CTiffImage* PageImage() const { return m_pageImage.get(); }
    const QString& DocumentPath() const { return m_path; }

Q_SIGNALS:
    void rotationChanged(int rotation, int second);
    void helpRequested(int topic);
    // The page was drawn for the first time since it was loaded, or a new page is being loaded.
    void pageDrawnChanged(bool drawn);

protected:
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
    void OnSliderAction(ZoomAxisId axis, int action);
    void SetPageDrawn(bool drawn);
    // Removes the scroll bars before a fit, so the fit uses the whole window.
    void HideScrollBars();
    void ApplyScrollBarPolicies();
    void Rotate(RotateFlipType type, int steps);
    void ShowContextMenu(const QPoint& globalPos);
    QRect RubberBand() const;

    const CFolivantDoc* m_doc = nullptr;
    CFolivantData* m_data = nullptr;
    CPlatform* m_platform = nullptr;

    QRect m_imageRect;
    int m_rotation = 0;
    int m_second = 0;
    std::unique_ptr<CTiffImage> m_pageImage;
    QString m_path;
    bool m_pageDrawn = false;
    bool m_documentDrawn = false;
    CDataZoom m_zoom;
    bool m_updatingBars = false;

    // Marking with the left mouse button.
    QPoint m_anchor;
    QPoint m_current;
    bool m_dragging = false;
};
