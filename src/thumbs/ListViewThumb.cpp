#include "thumbs/ListViewThumb.h"

#include "core/Options.h"
#include "document/FolivantData.h"
#include "document/FolivantDoc.h"
#include "thumbs/DiaStatus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <future>

namespace {

// Pages larger than this take long enough to render that the progress window is worth showing.
constexpr qint64 kSlowPagePixels = 16'000'000;

class CThumbDelegate : public QStyledItemDelegate
{
public:
    explicit CThumbDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    QSize itemSize;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return itemSize; }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QImage thumb = index.data(Qt::DecorationRole).value<QImage>();
        if (thumb.isNull()) {
            p->fillRect(r, Qt::white); // blank until the loader has rendered it
        } else {
            p->drawImage(r, thumb);
        }
        const QPalette& pal = option.palette;
        p->setPen(selected ? QPen(pal.color(QPalette::Highlight), 3) : QPen(pal.color(QPalette::Mid), 1));
        p->setBrush(Qt::NoBrush);
        p->drawRect(selected ? r.adjusted(-1, -1, 0, 0) : r.adjusted(0, 0, -1, -1));

        // The label sits in the spacing below the thumbnail.
        const QString label = index.data(Qt::DisplayRole).toString();
        const QFontMetrics fm(option.font);
        const int w = fm.horizontalAdvance(label) + 8;
        const QRect band(r.center().x() - w / 2, r.bottom() + 3, w, fm.height() + 1);
        if (selected) {
            p->fillRect(band, pal.color(QPalette::Highlight));
            p->setPen(pal.color(QPalette::HighlightedText));
        } else {
            p->setPen(pal.color(QPalette::Text));
        }
        p->setFont(option.font);
        p->drawText(band, Qt::AlignCenter, label);
    }
};

// Runs `render` on a thread of its own; meanwhile the GUI thread goes on painting and running its timers
// (the progress window stays alive), while user input waits, as it does while the progress window shows.
QImage RenderWhileGuiPaints(const std::function<QImage()>& render)
{
    std::future<QImage> result = std::async(std::launch::async, render);
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
    }
    return result.get();
}

} // namespace

CListViewThumb::CListViewThumb(QWidget* parent) : QListView(parent)
{
    setObjectName(QStringLiteral("CListViewThumb"));
    m_model = new CThumbModel(this);
    m_loader = std::make_unique<CThreadThumbLoadWork>(m_model);
    setModel(m_model);
    setItemDelegate(new CThumbDelegate(this));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Fixed);
    setWrapping(false);
    setUniformItemSizes(true);
    setSpacing(kSpacing);
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
    setFlow(align == 0 ? QListView::TopToBottom : QListView::LeftToRight);
    setHorizontalScrollBarPolicy(align == 0 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(align == 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void CListViewThumb::ApplyGeometry()
{
    if (m_options != nullptr) {
        m_geometry = ThumbGeometryFromOptions(m_options->Width, m_options->Quality);
    }
    static_cast<CThumbDelegate*>(itemDelegate())->itemSize = QSize(m_geometry.width, m_geometry.height);
}

int CListViewThumb::ItemPosition(int i) const
{
    const QRect r = rectForIndex(m_model->index(i));
    return m_align == 0 ? r.y() : r.x();
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
    ApplyGeometry();
    if (m_doc == nullptr || m_options == nullptr) {
        return 0;
    }
    m_path = m_doc->GetPathName();
    if (m_path.isEmpty()) {
        return 0;
    }
    CDiaStatus status(m_progressParent != nullptr ? m_progressParent : window());
    setUpdatesEnabled(false);
    m_model->Clear();
    m_lastReported = -1;

    m_image = std::make_unique<CTiffImage>(m_path);
    m_pageCount = m_image->GetFrameCount();
    const int count = m_pageCount;
    // Posted: the frame learns the page count after the fill has returned.
    QMetaObject::invokeMethod(
        this, [this, count] { Q_EMIT pageCountKnown(count); }, Qt::QueuedConnection);
    status.SetProgressRange(count);

    int result = 0;
    if (count > 0) {
        m_image->SelectActiveFrame(0);
        const bool slow = static_cast<qint64>(m_image->GetWidth()) * m_image->GetHeight() > kSlowPagePixels;
        if (slow) {
            status.show();
        }
        status.SetProgressPos(1);
        const auto render = [this] {
            return RenderTiffThumbnail(*m_image, 0, m_geometry.width, m_geometry.height, m_geometry.mode);
        };
        const QImage first = slow ? RenderWhileGuiPaints(render) : render();
        // Placeholders for every other page; the loader fills them in.
        m_model->Reset(count, count);
        m_model->SetThumbnail(0, first);
        result = 1;
    } else {
        status.SetProgressPos(1);
    }
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
    m_lastReported = s;
    // Loading goes on from the page before the selected one, so its neighbourhood comes next.
    m_loader->SetLoaderCursor(s > 0 ? s - 1 : 0);
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
    const auto flags = QListView::selectionCommand(index, event);
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
    QListView::keyPressEvent(event);
}

bool CListViewThumb::event(QEvent* event)
{
    // The window's keys come first: arrows, Home, End, the page keys and R/L page and turn, they do
    // not move the list's own cursor or start a keyboard search.
    if (event->type() == QEvent::ShortcutOverride) {
        event->ignore();
        return true;
    }
    return QListView::event(event);
}

void CListViewThumb::paintEvent(QPaintEvent* event)
{
    // Labels lie in the spacing below their thumbnails: include items just above the exposed area.
    const int band = fontMetrics().height() + 6;
    QPaintEvent wider(event->rect().adjusted(0, -band, 0, 0));
    QListView::paintEvent(&wider);
}
