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
    const int height = image.height();
    // Each row as its difference to the row above: white rows and repeated rows become zeros.
    QByteArray rows(rowBytes * height, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(rows.data());
    std::memcpy(out, image.constScanLine(0), static_cast<size_t>(rowBytes));
    for (int y = 1; y < height; ++y) {
        const uchar* above = image.constScanLine(y - 1);
        const uchar* row = image.constScanLine(y);
        uchar* o = out + y * rowBytes;
        for (qsizetype i = 0; i < rowBytes; ++i) {
            o[i] = static_cast<uchar>(row[i] - above[i]);
        }
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
    const auto* in = reinterpret_cast<const uchar*>(rows.constData());
    std::memcpy(image.scanLine(0), in, static_cast<size_t>(rowBytes));
    for (int y = 1; y < image.height(); ++y) {
        const uchar* above = image.constScanLine(y - 1);
        uchar* row = image.scanLine(y);
        const uchar* d = in + y * rowBytes;
        for (qsizetype i = 0; i < rowBytes; ++i) {
            row[i] = static_cast<uchar>(above[i] + d[i]);
        }
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
