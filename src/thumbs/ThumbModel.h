#pragma once
// The strip's items: one per page with its label "Seite i / n", its thumbnail (blank until rendered)
// and its page state byte (rotation in bits 0-3). Thumbnails may arrive from the loader thread.

#include "thumbs/ThreadThumbLoadWork.h"

#include <QAbstractListModel>
#include <QImage>

#include <mutex>
#include <vector>

class CThumbModel : public QAbstractListModel, public IThumbSink
{
    Q_OBJECT
public:
    enum Roles
    {
        PageStateRole = Qt::UserRole + 1,
        HasThumbnailRole
    };

    explicit CThumbModel(QObject* parent = nullptr);

    // New items for `itemCount` pages labelled with `pageCount`; every state 0, no thumbnails.
    void Reset(int itemCount, int pageCount);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int GetPageState(int row) const;
    void SetPageState(int row, int state);
    QImage Thumbnail(int row) const;
    // GUI thread: set a thumbnail directly (the first page during a fill).
    void SetThumbnail(int row, const QImage& image);
    // Loader thread: stored at once, shown at the next paint.
    void ThumbnailReady(int page, const QImage& image) override;

private:
    int m_pageCount = 0;
    std::vector<std::uint8_t> m_states;
    mutable std::mutex m_mutex; // guards m_thumbs against the loader thread
    std::vector<QImage> m_thumbs;
};
