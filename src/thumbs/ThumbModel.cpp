#include "thumbs/ThumbModel.h"

#include "core/Strings.h"

#include <cstring>

namespace {

// Fast deflate: packing runs on the loader thread once per page and must not slow the loader down.
constexpr int kDeflateLevel = 1;

qsizetype RowBytes(const QImage& image)
{
    return (static_cast<qsizetype>(image.width()) * image.depth() + 7) / 8;
}

} // namespace

PackedThumb PackThumbnail(const QImage& image)
{
    PackedThumb packed;
    if (image.isNull()) {
        return packed;
    }
    const qsizetype rowBytes = RowBytes(image);
    QByteArray rows(rowBytes * image.height(), Qt::Uninitialized);
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(rows.data() + y * rowBytes, image.constScanLine(y), static_cast<size_t>(rowBytes));
    }
    packed.bytes = qCompress(rows, kDeflateLevel);
    packed.bytes.squeeze(); // qCompress leaves room for the worst case
    packed.size = image.size();
    packed.format = image.format();
    packed.devicePixelRatio = image.devicePixelRatio();
    packed.colorTable = image.colorTable();
    return packed;
}

QImage UnpackThumbnail(const PackedThumb& packed)
{
    if (packed.IsNull()) {
        return {};
    }
    QImage image(packed.size, packed.format);
    if (image.isNull()) {
        return {};
    }
    const QByteArray rows = qUncompress(packed.bytes);
    const qsizetype rowBytes = RowBytes(image);
    if (rows.size() != rowBytes * image.height()) {
        return {};
    }
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(image.scanLine(y), rows.constData() + y * rowBytes, static_cast<size_t>(rowBytes));
    }
    if (!packed.colorTable.isEmpty()) {
        image.setColorTable(packed.colorTable);
    }
    image.setDevicePixelRatio(packed.devicePixelRatio);
    return image;
}

CThumbModel::CThumbModel(QObject* parent) : QAbstractListModel(parent) {}

void CThumbModel::Reset(int itemCount, int pageCount)
{
    beginResetModel();
    m_pageCount = pageCount;
    m_states.assign(static_cast<size_t>(std::max(0, itemCount)), 0);
    {
        std::lock_guard lock(m_mutex);
        m_thumbs.assign(static_cast<size_t>(std::max(0, itemCount)), PackedThumb());
        m_thumbs.shrink_to_fit();
        m_unpacked.clear();
    }
    endResetModel();
}

void CThumbModel::Clear()
{
    Reset(0, 0);
}

int CThumbModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_states.size());
}

QVariant CThumbModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return FormatString(Str::ThumbLabel,
                            {QString::number(index.row() + 1), QString::number(m_pageCount)});
    case Qt::DecorationRole:
        return Thumbnail(index.row());
    case PageStateRole:
        return GetPageState(index.row());
    case HasThumbnailRole: {
        std::lock_guard lock(m_mutex);
        return !m_thumbs[static_cast<size_t>(index.row())].IsNull();
    }
    default:
        return {};
    }
}

int CThumbModel::GetPageState(int row) const
{
    return row >= 0 && row < rowCount() ? m_states[static_cast<size_t>(row)] : 0;
}

void CThumbModel::SetPageState(int row, int state)
{
    if (row >= 0 && row < rowCount()) {
        m_states[static_cast<size_t>(row)] = static_cast<std::uint8_t>(state & 0xFF);
    }
}

QImage CThumbModel::Thumbnail(int row) const
{
    PackedThumb packed;
    {
        std::lock_guard lock(m_mutex);
        if (row < 0 || row >= static_cast<int>(m_thumbs.size())) {
            return {};
        }
        if (const QImage* unpacked = m_unpacked.object(row)) {
            return *unpacked;
        }
        packed = m_thumbs[static_cast<size_t>(row)]; // shares the bytes
    }
    // Unpacked outside the lock, so the loader never waits for it.
    const QImage image = UnpackThumbnail(packed);
    if (!image.isNull()) {
        std::lock_guard lock(m_mutex);
        // Cached only while it is still this page's thumbnail: a new one may have arrived meanwhile. The
        // bytes held here cannot be freed and reused, so the same address means the same thumbnail.
        if (row < static_cast<int>(m_thumbs.size()) &&
            m_thumbs[static_cast<size_t>(row)].bytes.constData() == packed.bytes.constData()) {
            m_unpacked.insert(row, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes()));
        }
    }
    return image;
}

bool CThumbModel::Store(int row, PackedThumb packed)
{
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= static_cast<int>(m_thumbs.size())) {
        return false;
    }
    m_thumbs[static_cast<size_t>(row)] = std::move(packed);
    m_unpacked.remove(row);
    return true;
}

void CThumbModel::SetThumbnail(int row, const QImage& image)
{
    if (!Store(row, PackThumbnail(image))) {
        return;
    }
    const QModelIndex i = index(row);
    Q_EMIT dataChanged(i, i, {Qt::DecorationRole});
}

void CThumbModel::ThumbnailReady(int page, const QImage& image)
{
    // Packed before the lock is taken: the GUI thread never waits for the packing.
    if (!Store(page, PackThumbnail(image))) {
        return;
    }
    // Repainted on the GUI thread; dropped if the model is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, page] {
            if (page < rowCount()) {
                const QModelIndex i = index(page);
                Q_EMIT dataChanged(i, i, {Qt::DecorationRole});
            }
        },
        Qt::QueuedConnection);
}

qsizetype CThumbModel::PackedBytes() const
{
    std::lock_guard lock(m_mutex);
    qsizetype total = 0;
    for (const PackedThumb& t : m_thumbs) {
        total += t.bytes.size();
    }
    return total;
}
