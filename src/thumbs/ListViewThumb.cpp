#include "thumbs/ListViewThumb.h"

#include "core/Options.h"
#include "document/FolivantData.h"
#include "document/FolivantDoc.h"
#include "platform/AccessibleEvents.h"
#include "platform/FocusFrame.h"
#include "thumbs/DiaStatus.h"
#include "thumbs/ThumbAccessible.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <climits>
#include <exception>
#include <thread>
#include <utility>

namespace {

// Pages larger than this take long enough to render that the progress window is worth showing.
constexpr qint64 kSlowPagePixels = 16'000'000;
// The selection frame around a thumbnail, outside it: the thumbnail itself is never painted over.
constexpr int kSelectionFrame = 3;
// Between the thumbnail's lower edge and its label band (room for the selection frame).
constexpr int kLabelGap = kSelectionFrame + 1;

// Runs `work` on a thread of its own and returns when it is done. Meanwhile the GUI thread goes on
// painting and running its timers, so the page view shows a page that arrives and the progress window stays
// alive; user input and other instances' requests wait, as they do while the progress window shows.
void RunWhileGuiPaints(const std::function<void()>& work)
{
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread thread([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    thread.join(); // the loop also ends when the application quits
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace

CListViewThumb::CListViewThumb(QWidget* parent) : QAbstractItemView(parent)
{
    setObjectName(QStringLiteral("CListViewThumb"));
    InstallThumbAccessible();
    SetUpPaneFrame(this);
    m_model = new CThumbModel(this);
    m_loader = std::make_unique<CThreadThumbLoadWork>(m_model);
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    SetArrangement(0);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ReportSelection(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { ReportSelection(); });
}

CListViewThumb::~CListViewThumb()
{
    StopLoader();
}

void CListViewThumb::SetSharedData(CFolivantData* data)
{
    m_data = data;
    if (data != nullptr) {
        m_options = &data->thumb;
    }
}

void CListViewThumb::SetArrangement(int align)
{
    m_align = align;
    // The strip scrolls along its direction and, in a pane made narrower than an item, also across it:
    // items are cut at the edge, never squeezed, and every part of them can be reached.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scheduleDelayedItemsLayout();
}

void CListViewThumb::ApplyGeometry()
{
    if (m_options != nullptr) {
        m_geometry = ThumbGeometryFromOptions(m_options->Width, m_options->Quality);
    }
    m_geometry.pixelRatio = devicePixelRatioF();
    scheduleDelayedItemsLayout();
}

int CListViewThumb::Stride() const
{
    return (m_align == 0 ? m_geometry.height : m_geometry.width) + kSpacing;
}

int CListViewThumb::ItemPosition(int i) const
{
    // In 64 bits: a crafted file of millions of pages must not overflow; positions stop at the largest
    // coordinate a widget has.
    return static_cast<int>(std::min<qint64>(INT_MAX, kSpacing + static_cast<qint64>(i) * Stride()));
}

QRect CListViewThumb::ContentThumbnailRect(int row) const
{
    const QSize size(m_geometry.width, m_geometry.height);
    return m_align == 0 ? QRect(QPoint(kSpacing, ItemPosition(row)), size)
                        : QRect(QPoint(ItemPosition(row), kSpacing), size);
}

QRect CListViewThumb::ThumbnailRect(int row) const
{
    return ContentThumbnailRect(row).translated(-Offset());
}

QRect CListViewThumb::LabelRect(int row) const
{
    // Centred below the thumbnail, in the spacing that follows it; at most as wide as the thumbnail and
    // the spacing beside it, so neighbouring labels never meet.
    const QRect t = ThumbnailRect(row);
    const QFontMetrics fm(font());
    const QString label = m_model->data(m_model->index(row), Qt::DisplayRole).toString();
    const int w = std::min(fm.horizontalAdvance(label) + 8, t.width() + kSpacing);
    const int h = std::min(fm.height() + 1, kSpacing - kLabelGap);
    return {t.center().x() + 1 - w / 2, t.bottom() + 1 + kLabelGap, w, h};
}

QRectF CListViewThumb::PaintedThumbnailRect(int row, const QImage& thumb) const
{
    // Centred in whole device pixels, so that it stays sharp on a scaled screen.
    const QRect box = ThumbnailRect(row);
    const qreal ratio = thumb.devicePixelRatio();
    const QPointF offset((m_geometry.PixelWidth() - thumb.width()) / 2 / ratio,
                         (m_geometry.PixelHeight() - thumb.height()) / 2 / ratio);
    return {QPointF(box.topLeft()) + offset, thumb.deviceIndependentSize()};
}

QRect CListViewThumb::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= m_model->rowCount()) {
        return {};
    }
    const QRect t = ThumbnailRect(index.row());
    return t.adjusted(-kSelectionFrame, -kSelectionFrame, kSelectionFrame, kSelectionFrame) |
           LabelRect(index.row());
}

int CListViewThumb::PaneExtent(int width) const
{
    const ThumbGeometry g = ThumbGeometryFromOptions(width, 0);
    if (m_align == 0) {
        return 2 * frameWidth() + kSpacing + g.width + kSpacing + verticalScrollBar()->sizeHint().width();
    }
    // The label lies in the spacing below the thumbnail.
    return 2 * frameWidth() + kSpacing + g.height + kSpacing + horizontalScrollBar()->sizeHint().height();
}

int CListViewThumb::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int CListViewThumb::verticalOffset() const
{
    return verticalScrollBar()->value();
}

void CListViewThumb::updateGeometries()
{
    const int n = m_model->rowCount();
    const int along = n > 0 ? ItemPosition(n) : 0;
    const int across = kSpacing + (m_align == 0 ? m_geometry.width : m_geometry.height) + kSpacing;
    QScrollBar* alongBar = m_align == 0 ? verticalScrollBar() : horizontalScrollBar();
    QScrollBar* acrossBar = m_align == 0 ? horizontalScrollBar() : verticalScrollBar();
    const int viewAlong = m_align == 0 ? viewport()->height() : viewport()->width();
    const int viewAcross = m_align == 0 ? viewport()->width() : viewport()->height();
    alongBar->setSingleStep(std::max(1, Stride() / 4));
    alongBar->setPageStep(std::max(1, viewAlong));
    alongBar->setRange(0, std::max(0, along - viewAlong));
    acrossBar->setSingleStep(std::max(1, kSpacing));
    acrossBar->setPageStep(std::max(1, viewAcross));
    acrossBar->setRange(0, std::max(0, across - viewAcross));
    QAbstractItemView::updateGeometries();
}

QModelIndex CListViewThumb::indexAt(const QPoint& point) const
{
    const int n = m_model->rowCount();
    if (n == 0) {
        return {};
    }
    const int along =
        (m_align == 0 ? point.y() + verticalOffset() : point.x() + horizontalOffset()) - kSpacing;
    const int guess = along < 0 ? 0 : along / Stride();
    for (int row = std::max(0, guess - 1); row <= std::min(n - 1, guess + 1); ++row) {
        const QModelIndex i = m_model->index(row);
        if (visualRect(i).contains(point)) {
            return i;
        }
    }
    return {};
}

void CListViewThumb::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid()) {
        return;
    }
    executeDelayedItemsLayout(); // the scroll range must know the items
    // The whole item: thumbnail, frame and label; aligned at its start, the spacing before it shows too.
    const QRect area = visualRect(index);
    QScrollBar* bar = m_align == 0 ? verticalScrollBar() : horizontalScrollBar();
    const int value = bar->value();
    const int start = (m_align == 0 ? area.top() : area.left()) + value;
    const int end = (m_align == 0 ? area.bottom() : area.right()) + 1 + value;
    const int leading = ItemPosition(index.row()) - kSpacing;
    const int view = m_align == 0 ? viewport()->height() : viewport()->width();
    switch (hint) {
    case EnsureVisible:
        if (start < value || end - leading > view) {
            bar->setValue(std::min(leading, start));
        } else if (end > value + view) {
            bar->setValue(end - view);
        }
        break;
    case PositionAtTop:
        bar->setValue(std::min(leading, start));
        break;
    case PositionAtBottom:
        bar->setValue(end - view);
        break;
    case PositionAtCenter:
        bar->setValue((start + end - view) / 2);
        break;
    }
}

QModelIndex CListViewThumb::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int n = m_model->rowCount();
    if (n == 0) {
        return {};
    }
    const int row = currentIndex().isValid() ? currentIndex().row() : 0;
    const int view = m_align == 0 ? viewport()->height() : viewport()->width();
    const int page = std::max(1, view / Stride());
    int to = row;
    switch (action) {
    case MoveUp:
    case MoveLeft:
    case MovePrevious:
        to = row - 1;
        break;
    case MoveDown:
    case MoveRight:
    case MoveNext:
        to = row + 1;
        break;
    case MoveHome:
        to = 0;
        break;
    case MoveEnd:
        to = n - 1;
        break;
    case MovePageUp:
        to = row - page;
        break;
    case MovePageDown:
        to = row + page;
        break;
    }
    return m_model->index(std::clamp(to, 0, n - 1));
}

void CListViewThumb::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    // One item at most: the one under the end of the drag, else the first the rectangle touches.
    const QRect r = rect.normalized();
    QModelIndex hit = indexAt(r.bottomRight());
    for (int row = 0; !hit.isValid() && row < m_model->rowCount(); ++row) {
        if (visualRect(m_model->index(row)).intersects(r)) {
            hit = m_model->index(row);
        }
    }
    if (hit.isValid()) {
        selectionModel()->select(hit, command);
    }
}

QRegion CListViewThumb::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    for (const QModelIndex& i : selection.indexes()) {
        region += visualRect(i);
    }
    return region;
}

void CListViewThumb::OnInitialUpdate(bool afterPage)
{
    m_pageAwaited = afterPage;
    ReloadStrip();
    m_pageAwaited = false;
}

void CListViewThumb::PageShown()
{
    m_pageAwaited = false;
    if (m_pageWait != nullptr) {
        m_pageWait->quit();
    }
}

void CListViewThumb::ReloadStrip()
{
    StopLoader();
    if (FillStrip() == 1) {
        StartLoader();
    }
}

void CListViewThumb::ReloadStripKeepingPlace()
{
    m_keptStates.clear();
    for (int i = 0; i < m_model->rowCount(); ++i) {
        m_keptStates.push_back(m_model->GetPageState(i));
    }
    m_keptRow = std::max(0, GetCurrentPage() - 1);
    ReloadStrip();
    m_keptStates.clear();
    m_keptRow = 0;
}

int CListViewThumb::FillStrip()
{
    if (m_filling) {
        m_refillWanted = true; // done once the fill under way has ended
        return 0;
    }
    ApplyGeometry();
    if (m_doc == nullptr || m_options == nullptr) {
        return 0;
    }
    m_path = m_doc->GetPathName();
    if (m_path.isEmpty()) {
        return 0;
    }
    QScopedValueRollback<bool> filling(m_filling, true);
    CDiaStatus status(m_progressParent != nullptr ? m_progressParent : window());
    m_model->Clear();
    m_lastReported = -1;

    // A newly opened document's first page is shown first: the strip stays empty until the page view has
    // it (or a short while at the latest). Then the pages are counted, which reads every page directory of
    // a long document, and the first thumbnail is rendered, both off the GUI thread.
    m_pageCount = 0;
    if (m_pageAwaited) {
        QEventLoop wait;
        m_pageWait = &wait;
        QTimer::singleShot(250, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        m_pageWait = nullptr;
    }
    std::unique_ptr<CTiffImage> image;
    int count = 0;
    bool slow = false;
    RunWhileGuiPaints([path = m_path, &image, &count, &slow] {
        image = std::make_unique<CTiffImage>(path);
        count = image->GetFrameCount();
        if (count > 0) {
            image->SelectActiveFrame(0);
            slow = static_cast<qint64>(image->GetWidth()) * image->GetHeight() > kSlowPagePixels;
        }
    });
    m_pageCount = count;
    status.SetProgressRange(count);

    QImage firstThumbnail;
    if (count > 0) {
        if (slow) {
            status.show();
        }
        status.SetProgressPos(1);
        RunWhileGuiPaints([g = m_geometry, &image, &firstThumbnail] {
            firstThumbnail = RenderTiffThumbnail(*image, 0, g.PixelWidth(), g.PixelHeight(), g.mode);
        });
        firstThumbnail.setDevicePixelRatio(m_geometry.pixelRatio);
    } else {
        status.SetProgressPos(1);
    }

    setUpdatesEnabled(false);
    int result = 0;
    if (count > 0) {
        // Placeholders for every other page; the loader fills them in.
        m_model->Reset(count, count);
        m_model->SetThumbnail(0, firstThumbnail);
        result = 1;
    }
    // Posted (after the first thumbnail, whose rendering may let events through): the frame learns the
    // page count after the fill has returned.
    QMetaObject::invokeMethod(
        this, [this, count] { Q_EMIT pageCountKnown(count); }, Qt::QueuedConnection);
    if (m_progressObserver) {
        m_progressObserver(status);
    }
    status.hide();

    int first = 0;
    if (!m_keptStates.empty() && static_cast<int>(m_keptStates.size()) == m_model->rowCount()) {
        for (int i = 0; i < m_model->rowCount(); ++i) {
            m_model->SetPageState(i, m_keptStates[static_cast<size_t>(i)]);
        }
        first = std::min(m_keptRow, m_model->rowCount() - 1);
    }
    if (m_model->rowCount() > 0) {
        SelectItem(first, EnsureVisible);
    }
    setUpdatesEnabled(true);
    viewport()->update();
    if (std::exchange(m_refillWanted, false)) {
        QMetaObject::invokeMethod(
            this, [this] { ReloadStrip(); }, Qt::QueuedConnection);
    }
    return result;
}

void CListViewThumb::StartLoader()
{
    m_loader->StartLoader(m_path, m_pageCount, m_geometry);
}

void CListViewThumb::StopLoader()
{
    m_loader->StopLoader();
}

void CListViewThumb::SelectItem(int row, ScrollHint hint)
{
    const QModelIndex i = m_model->index(row);
    if (!i.isValid()) {
        return;
    }
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i, hint);
}

void CListViewThumb::SelectFirstPage()
{
    if (m_model->rowCount() > 0) {
        SelectItem(0, EnsureVisible);
    }
}

void CListViewThumb::SelectLastPage()
{
    if (m_model->rowCount() - 1 >= 0) {
        SelectItem(m_model->rowCount() - 1, EnsureVisible);
    }
}

void CListViewThumb::SelectNextPage()
{
    const int s = GetCurrentPage() - 1;
    if (s >= 0 && s + 1 < m_model->rowCount()) {
        SelectItem(s + 1, EnsureVisible);
    }
}

void CListViewThumb::SelectPreviousPage()
{
    const int s = GetCurrentPage() - 1;
    if (s >= 0 && s - 1 >= 0) {
        SelectItem(s - 1, EnsureVisible);
    }
}

void CListViewThumb::SelectPage(int n)
{
    n = std::min(n, m_model->rowCount());
    if (n >= 1) {
        SelectItem(n - 1, EnsureVisible);
    }
}

int CListViewThumb::GetCurrentPage() const
{
    const QModelIndex cur = currentIndex();
    return cur.isValid() && selectionModel()->isSelected(cur) ? cur.row() + 1 : 0;
}

void CListViewThumb::SetPageState(int rotation, int second)
{
    const int s = GetCurrentPage() - 1;
    if (s >= 0) {
        m_model->SetPageState(s, ((second * 16) & 0xFF) | (rotation & 0xF));
    }
}

void CListViewThumb::ReportSelection()
{
    const int s = GetCurrentPage() - 1;
    if (s < 0 || s == m_lastReported) {
        return;
    }
    const int previous = std::exchange(m_lastReported, s);
    // Loading goes on from the page before the selected one, so its neighbourhood comes next.
    m_loader->SetLoaderCursor(s > 0 ? s - 1 : 0);
    NotifyThumbPageChanged(this, previous, s);
    // Always the state byte of the selected item, whichever item the change was about.
    Q_EMIT pageSelected(s, m_model->GetPageState(s));
}

QItemSelectionModel::SelectionFlags CListViewThumb::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const
{
    // The current page stays selected: no deselection by Ctrl+click or a click beside the items.
    if (!index.isValid()) {
        return QItemSelectionModel::NoUpdate;
    }
    const auto flags = QAbstractItemView::selectionCommand(index, event);
    if (flags == QItemSelectionModel::NoUpdate) {
        return flags;
    }
    return QItemSelectionModel::ClearAndSelect;
}

void CListViewThumb::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Q_EMIT helpRequested(kHelpTopic);
    }
    if (event->matches(QKeySequence::Copy)) {
        Q_EMIT copyRequested();
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

bool CListViewThumb::event(QEvent* event)
{
    // The window's keys come first: arrows, Home, End, the page keys and R/L page and turn, they do
    // not move the list's own cursor or start a keyboard search.
    if (event->type() == QEvent::ShortcutOverride) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::Paint) { // the strip's frame, not its viewport
        const bool done = QAbstractItemView::event(event);
        PaintPaneFrame(this);
        return done;
    }
    if (event->type() == QEvent::FocusIn && ScreenReaderListens()) {
        // After Qt has told a screen reader of the strip itself: then of the current page in it.
        QMetaObject::invokeMethod(
            this, [this] { NotifyThumbFocus(this); }, Qt::QueuedConnection);
    }
    return QAbstractItemView::event(event);
}

void CListViewThumb::wheelEvent(QWheelEvent* event)
{
    // The wheel moves a horizontal strip along, as it does a vertical one.
    if (m_align != 0 && std::abs(event->angleDelta().y()) > std::abs(event->angleDelta().x())) {
        const std::unique_ptr<QEvent> along(event->clone());
        QCoreApplication::sendEvent(horizontalScrollBar(), along.get());
        event->setAccepted(along->isAccepted());
        return;
    }
    QAbstractItemView::wheelEvent(event);
}

std::pair<int, int> CListViewThumb::RowsIn(const QRect& rect) const
{
    const int n = m_model->rowCount();
    const int size = m_align == 0 ? m_geometry.height : m_geometry.width;
    const int from = m_align == 0 ? rect.top() + verticalOffset() : rect.left() + horizontalOffset();
    const int to = m_align == 0 ? rect.bottom() + verticalOffset() : rect.right() + horizontalOffset();
    return {std::clamp((from - 2 * kSpacing - size) / Stride(), 0, std::max(0, n - 1)),
            std::clamp((to + kSpacing) / Stride(), 0, std::max(0, n - 1))};
}

void CListViewThumb::paintEvent(QPaintEvent* event)
{
    const int n = m_model->rowCount();
    if (n == 0) {
        return;
    }
    // Thumbnails are kept around what the strip shows; dropped ones there are rendered again, those in
    // view first, then a screenful after and before them.
    const auto [shownFirst, shownLast] = RowsIn(viewport()->rect());
    m_model->SetShownRows(shownFirst, shownLast);
    const int span = shownLast - shownFirst + 1;
    std::vector<int> again = m_model->DroppedAmong(shownFirst, shownLast + span);
    const std::vector<int> before = m_model->DroppedAmong(shownFirst - span, shownFirst - 1);
    again.insert(again.end(), before.rbegin(), before.rend());
    if (!again.empty()) {
        m_loader->RenderAgain(again);
    }

    QPainter p(viewport());
    const QRect exposed = event->rect();
    const auto [first, last] = RowsIn(exposed);
    // The selection always shows in the active colours, focused or not.
    const QPalette& pal = palette();
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    const QFontMetrics fm(font());
    p.setFont(font());
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = m_model->index(row);
        if (!visualRect(index).intersects(exposed)) {
            continue;
        }
        const bool selected = selectionModel()->isSelected(index);
        const QImage thumb = m_model->Thumbnail(row);
        // A page in another shape than the box (landscape) lies centred in it, framed itself; blank boxes
        // wait for the loader.
        const QRectF t = thumb.isNull() ? QRectF(ThumbnailRect(row)) : PaintedThumbnailRect(row, thumb);
        const int frame = selected ? kSelectionFrame : 1;
        p.fillRect(t.adjusted(-frame, -frame, frame, frame), selected ? highlight : pal.color(QPalette::Mid));
        p.fillRect(t, Qt::white);
        if (!thumb.isNull()) {
            // Rendered at this size in device pixels: painted one to one, never stretched.
            p.drawImage(t, thumb, QRectF(thumb.rect()));
        }
        const QRect band = LabelRect(row);
        if (selected) {
            p.fillRect(band, highlight);
            p.setPen(pal.color(QPalette::Active, QPalette::HighlightedText));
        } else {
            p.setPen(pal.color(QPalette::Text));
        }
        const QString label = m_model->data(index, Qt::DisplayRole).toString();
        p.drawText(band, Qt::AlignCenter, fm.elidedText(label, Qt::ElideMiddle, band.width() - 2));
    }
}
