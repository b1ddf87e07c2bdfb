#pragma once
// The strip's items: one per page with its label "Seite i / n", its thumbnail (blank until rendered)
// and its page state byte (rotation in bits 0-3). Thumbnails may arrive from the loader thread.
//
// Thumbnails are kept deflated: a letter-like fax thumbnail packs to about a fifth of its size (a blank
// page to almost nothing, a densely written one to about half), so a document of thousands of pages keeps
// all of them at the usual size. The packed ones are held to a budget all the same (thumbnails rendered
// for a high-resolution screen have four times the pixels): beyond it, those farthest from the part of
// the strip on screen are dropped, and rendered again when they come into view. The ones painted lately
// are kept unpacked as well, in a small cache, so scrolling unpacks each item once.

#include "thumbs/ThreadThumbLoadWork.h"

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QList>

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

// A thumbnail packed: its pixel rows without line padding, deflated; and what makes an image of them
// again (size, format, colours, device pixel ratio).
struct PackedThumb
{
    QByteArray bytes;
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
    qreal devicePixelRatio = 1.0;
    QList<QRgb> colorTable;

    bool IsNull() const { return format == QImage::Format_Invalid; }
};

// A null image packs to a null PackedThumb and unpacks to a null image.
PackedThumb PackThumbnail(const QImage& image);
QImage UnpackThumbnail(const PackedThumb& packed);

class CThumbModel : public QAbstractListModel, public IThumbSink
{
    Q_OBJECT
public:
    enum Roles
    {
        PageStateRole = Qt::UserRole + 1,
        HasThumbnailRole
    };
    // Bytes of unpacked thumbnails kept for painting: a window full of them, also at device resolution.
    static constexpr qsizetype kUnpackedCacheBytes = 6 * 1024 * 1024;
    // Bytes of packed thumbnails kept at most: 5000 letter-like fax pages at the usual size fit, and at
    // twice the screen resolution about 2400 of them.
    static constexpr qsizetype kPackedBudgetBytes = 40 * 1024 * 1024;

    explicit CThumbModel(QObject* parent = nullptr);

    // New items for `itemCount` pages labelled with `pageCount`; every state 0, no thumbnails.
    void Reset(int itemCount, int pageCount);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int GetPageState(int row) const;
    void SetPageState(int row, int state);
    // Unpacked on the calling thread unless it is in the cache.
    QImage Thumbnail(int row) const;
    // GUI thread: set a thumbnail directly (the first page during a fill).
    void SetThumbnail(int row, const QImage& image);
    // Loader thread: packed there, stored at once, shown at the next paint.
    void ThumbnailReady(int page, const QImage& image) override;
    // Loader thread: whether a thumbnail of `page` would be kept. When the budget is full of thumbnails
    // nearer to the focus it would be dropped at once, and counts as dropped without being rendered.
    bool WantsThumbnail(int page) override;
    // Bytes held by the packed thumbnails (their pixel data).
    qsizetype PackedBytes() const;
    // GUI thread: the rows the strip shows. Thumbnails farthest from their middle are dropped first, and
    // none of these rows or of a screenful on either side is dropped, whatever the budget says.
    void SetShownRows(int first, int last);
    // Rows from `first` to `last` whose thumbnail was dropped, to be rendered again.
    std::vector<int> DroppedAmong(int first, int last) const;
    // Tests use a smaller budget.
    void SetPackedBudget(qsizetype bytes);

private:
    // Replaces a page's thumbnail; false when `row` is out of range.
    bool Store(int row, PackedThumb packed);
    // With m_mutex held: drops the thumbnails farthest from the focus, never one in or around the rows
    // shown, until the packed ones fit the budget.
    void DropBeyondBudget();
    // With m_mutex held: the kept row outside those around the rows shown that is farthest from the
    // focus, or -1.
    int DropCandidate() const;

    int m_pageCount = 0;
    std::vector<std::uint8_t> m_states;
    mutable std::mutex m_mutex; // guards m_thumbs and m_unpacked against the loader thread
    std::vector<PackedThumb> m_thumbs;
    std::vector<std::uint8_t> m_dropped; // dropped for the budget; rendered again when in view
    std::set<int> m_kept;                // rows holding a thumbnail
    qsizetype m_packedBytes = 0;
    qsizetype m_budget = kPackedBudgetBytes;
    std::atomic<int> m_focus{0};
    int m_keepFirst = 0; // the rows never dropped (m_mutex)
    int m_keepLast = -1;
    mutable QCache<int, QImage> m_unpacked{kUnpackedCacheBytes};
};
