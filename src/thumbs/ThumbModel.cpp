#include "thumbs/ThumbModel.h"

#include "core/Strings.h"

CThumbModel::CThumbModel(QObject* parent) : QAbstractListModel(parent) {}

void CThumbModel::Reset(int itemCount, int pageCount)
{
    beginResetModel();
    m_pageCount = pageCount;
    m_states.assign(static_cast<size_t>(std::max(0, itemCount)), 0);
    {
        std::lock_guard lock(m_mutex);
        m_thumbs.assign(static_cast<size_t>(std::max(0, itemCount)), QImage());
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
        return !m_thumbs[static_cast<size_t>(index.row())].isNull();
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
    std::lock_guard lock(m_mutex);
    return row >= 0 && row < static_cast<int>(m_thumbs.size()) ? m_thumbs[static_cast<size_t>(row)]
                                                               : QImage();
}

void CThumbModel::SetThumbnail(int row, const QImage& image)
{
    {
        std::lock_guard lock(m_mutex);
        if (row < 0 || row >= static_cast<int>(m_thumbs.size())) {
            return;
        }
        m_thumbs[static_cast<size_t>(row)] = image;
    }
    const QModelIndex i = index(row);
    Q_EMIT dataChanged(i, i, {Qt::DecorationRole});
}

void CThumbModel::ThumbnailReady(int page, const QImage& image)
{
    {
        std::lock_guard lock(m_mutex);
        if (page < 0 || page >= static_cast<int>(m_thumbs.size())) {
            return;
        }
        m_thumbs[static_cast<size_t>(page)] = image;
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
