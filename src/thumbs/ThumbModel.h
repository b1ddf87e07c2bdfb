#pragma once
// The strip's items: one per page with its label "Seite i / n", its thumbnail (blank until rendered)
// and its page state byte (rotation in bits 0-3). Thumbnails may arrive from the loader thread.
//
// Every page's thumbnail is kept deflated: a letter-like fax thumbnail packs to about a fifth of its size
// (a blank page to almost nothing, a densely written one to about half), so a document of thousands of
// pages keeps all of them. The ones painted lately are kept unpacked as well, in a small cache, so
// scrolling unpacks each item once.

#include "thumbs/ThreadThumbLoadWork.h"

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QList>

#include <mutex>
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
    // Bytes held by the packed thumbnails (their pixel data).
    qsizetype PackedBytes() const;

private:
    // Replaces a page's thumbnail; false when `row` is out of range.
    bool Store(int row, PackedThumb packed);

    int m_pageCount = 0;
    std::vector<std::uint8_t> m_states;
    mutable std::mutex m_mutex; // guards m_thumbs and m_unpacked against the loader thread
    std::vector<PackedThumb> m_thumbs;
    mutable QCache<int, QImage> m_unpacked{kUnpackedCacheBytes};
};
