#include "thumbs/ThumbModel.h"

#include "core/Strings.h"

#include <cstdlib>
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
        m_dropped.assign(m_thumbs.size(), 0);
        m_kept.clear();
        m_keepFirst = 0;
        m_keepLast = -1;
        m_packedBytes = 0;
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
    PackedThumb& slot = m_thumbs[static_cast<size_t>(row)];
    m_packedBytes += packed.bytes.size() - slot.bytes.size();
    slot = std::move(packed);
    if (slot.IsNull()) {
        m_kept.erase(row);
    } else {
        m_kept.insert(row);
    }
    m_dropped[static_cast<size_t>(row)] = 0;
    m_unpacked.remove(row);
    DropBeyondBudget();
    return true;
}

int CThumbModel::DropCandidate() const
{
    if (m_kept.empty()) {
        return -1;
    }
    const qint64 focus = m_focus.load(std::memory_order_relaxed);
    const int low = *m_kept.begin() < m_keepFirst ? *m_kept.begin() : -1;
    const int high = *m_kept.rbegin() > m_keepLast ? *m_kept.rbegin() : -1;
    if (low < 0 || high < 0) {
        return std::max(low, high);
    }
    return focus - low > high - focus ? low : high;
}

void CThumbModel::SetShownRows(int first, int last)
{
    m_focus.store(first + (last - first) / 2, std::memory_order_relaxed);
    const int span = last - first + 1;
    std::lock_guard lock(m_mutex);
    m_keepFirst = first - span;
    m_keepLast = last + span;
}

void CThumbModel::DropBeyondBudget()
{
    while (m_packedBytes > m_budget) {
        const int row = DropCandidate();
        if (row < 0) {
            break; // only the rows in view and around them are left
        }
        PackedThumb& slot = m_thumbs[static_cast<size_t>(row)];
        m_packedBytes -= slot.bytes.size();
        slot = PackedThumb();
        m_kept.erase(row);
        m_dropped[static_cast<size_t>(row)] = 1;
        m_unpacked.remove(row);
    }
}

bool CThumbModel::WantsThumbnail(int page)
{
    std::lock_guard lock(m_mutex);
    if (page < 0 || page >= static_cast<int>(m_thumbs.size())) {
        return false;
    }
    const qsizetype average = m_kept.empty() ? 0 : m_packedBytes / static_cast<qsizetype>(m_kept.size());
    if (m_packedBytes + average <= m_budget || (page >= m_keepFirst && page <= m_keepLast)) {
        return true;
    }
    // Kept only if a thumbnail farther from the focus would make room for it.
    const qint64 focus = m_focus.load(std::memory_order_relaxed);
    const int candidate = DropCandidate();
    if (candidate >= 0 && std::abs(page - focus) < std::abs(candidate - focus)) {
        return true;
    }
    m_dropped[static_cast<size_t>(page)] = 1;
    return false;
}

std::vector<int> CThumbModel::DroppedAmong(int first, int last) const
{
    std::lock_guard lock(m_mutex);
    std::vector<int> rows;
    for (int row = std::max(0, first); row <= last && row < static_cast<int>(m_dropped.size()); ++row) {
        if (m_dropped[static_cast<size_t>(row)] != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

void CThumbModel::SetPackedBudget(qsizetype bytes)
{
    std::lock_guard lock(m_mutex);
    m_budget = bytes;
    DropBeyondBudget();
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
    return m_packedBytes;
}
