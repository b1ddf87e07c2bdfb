#pragma once
// The strip of page thumbnails. Its selected item is the current page: every page change, whether by a
// click here or by a page command, is a change of this selection, which the strip reports. Each item
// keeps its page's rotation. The strip fills itself for every opened document - first thumbnail at
// once, placeholders for the rest - and hands the rest to the loader thread.
//
// The strip lays its items out itself: thumbnail i at 22 + i x (thumbnail extent + 22) along the strip,
// 22 from the edge across it, each painted at exactly its rendered size, with its label in the spacing
// that follows it across the strip's direction (below the thumbnail). An item is the thumbnail, its frame
// and its label, so a selection change repaints and scrolls to all of it.

#include "thumbs/ThreadThumbLoadWork.h"
#include "thumbs/ThumbModel.h"

#include <QAbstractItemView>

#include <functional>
#include <memory>
#include <utility>

class CFolivantDoc;
class CFolivantData;
class COptionThumb;
class CDiaStatus;
class CTiffImage;
class QEventLoop;

class CListViewThumb : public QAbstractItemView
{
    Q_OBJECT
public:
    static constexpr int kSpacing = 22;
    static constexpr int kHelpTopic = 3;

    explicit CListViewThumb(QWidget* parent = nullptr);
    ~CListViewThumb() override;

    void SetDocument(const CFolivantDoc* doc) { m_doc = doc; }
    void SetSharedData(CFolivantData* data);
    // 0: a vertical strip (items top to bottom), else horizontal. Fixed for the window's lifetime, like
    // the splitter it sits in.
    void SetArrangement(int align);
    int Arrangement() const { return m_align; }
    // The window the progress window is centred on.
    void SetProgressParent(QWidget* w) { m_progressParent = w; }

    // Fills the strip for a newly opened document. With afterPage the strip first waits (a short while at
    // most) until PageShown says that the page view shows the first page, so that counting the pages and
    // rendering the thumbnails do not compete with that page.
    void OnInitialUpdate(bool afterPage = false);
    void PageShown();
    void ReloadStrip();
    // Reloads the thumbnails of the same document (new size or quality): the current page stays current
    // and every page keeps its rotation.
    void ReloadStripKeepingPlace();
    // 1 when the first page's item was made.
    int FillStrip();
    void StartLoader();
    void StopLoader();

    void SelectFirstPage();
    void SelectLastPage();
    void SelectNextPage();
    void SelectPreviousPage();
    // 1-based; numbers beyond the last page select the last page.
    void SelectPage(int n);
    // 1-based number of the selected page; 0 when none is selected.
    int GetCurrentPage() const;
    void SetPageState(int rotation, int second);

    int GetPageCount() const { return m_pageCount; }
    CThumbModel* Model() const { return m_model; }
    CThreadThumbLoadWork& Loader() { return *m_loader; }
    const ThumbGeometry& Geometry() const { return m_geometry; }
    // Top (vertical strip) or left (horizontal strip) of item i's thumbnail in content coordinates.
    int ItemPosition(int i) const;
    // Where thumbnail `row` and its label band are painted, in viewport coordinates.
    QRect ThumbnailRect(int row) const;
    QRect LabelRect(int row) const;
    // Where a rendered thumbnail is painted: centred in the box of ThumbnailRect.
    QRectF PaintedThumbnailRect(int row, const QImage& thumb) const;
    // The pane's width (vertical strip) or height (horizontal strip) in which thumbnails of `width` fit
    // with the spacing on both sides, the label, the scroll bar and the frame: nothing is cut.
    int PaneExtent(int width) const;
    // Tests watch the progress window just before it closes.
    void SetProgressObserver(std::function<void(const CDiaStatus&)> observer)
    {
        m_progressObserver = std::move(observer);
    }

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void keyboardSearch(const QString&) override {} // every label starts alike: no search by typing

Q_SIGNALS:
    void pageSelected(int index, int pageState);
    void copyRequested();
    void pageCountKnown(int count);
    void helpRequested(int topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;

private:
    void ReportSelection();
    void SelectItem(int row, ScrollHint hint);
    void ApplyGeometry();
    // Along the strip: the extent of one item with the spacing that follows it.
    int Stride() const;
    // Thumbnail `row` in content coordinates.
    QRect ContentThumbnailRect(int row) const;
    // The first and last row whose item may reach into `rect` (viewport coordinates).
    std::pair<int, int> RowsIn(const QRect& rect) const;
    QPoint Offset() const { return {horizontalOffset(), verticalOffset()}; }

    const CFolivantDoc* m_doc = nullptr;
    CFolivantData* m_data = nullptr;
    COptionThumb* m_options = nullptr;
    QWidget* m_progressParent = nullptr;
    QString m_path;
    int m_pageCount = 0;
    bool m_filling = false;      // the GUI goes on painting while the strip is filled
    bool m_refillWanted = false; // a reload was asked for meanwhile
    bool m_pageAwaited = false;  // the fill waits for PageShown
    QEventLoop* m_pageWait = nullptr;
    ThumbGeometry m_geometry;
    CThumbModel* m_model = nullptr;
    std::unique_ptr<CThreadThumbLoadWork> m_loader;
    int m_lastReported = -1;
    // Set only while the strip is reloaded for the same document.
    std::vector<int> m_keptStates;
    int m_keptRow = 0;
    int m_align = 0;
    std::function<void(const CDiaStatus&)> m_progressObserver;
};
