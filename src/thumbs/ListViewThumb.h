#pragma once
// The strip of page thumbnails. Its selected item is the current page: every page change, whether by a
// click here or by a page command, is a change of this selection, which the strip reports. Each item
// keeps its page's rotation. The strip fills itself for every opened document - first thumbnail at
// once, placeholders for the rest - and hands the rest to the loader thread.

#include "thumbs/ThreadThumbLoadWork.h"
#include "thumbs/ThumbModel.h"

#include <QListView>

#include <functional>
#include <memory>

class CFolivantDoc;
class CFolivantData;
class COptionThumb;
class CDiaStatus;
class CTiffImage;

class CListViewThumb : public QListView
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
    // The window the progress window is centred on.
    void SetProgressParent(QWidget* w) { m_progressParent = w; }

    void OnInitialUpdate() { ReloadStrip(); }
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
    // Tests watch the progress window just before it closes.
    void SetProgressObserver(std::function<void(const CDiaStatus&)> observer)
    {
        m_progressObserver = std::move(observer);
    }

Q_SIGNALS:
    void pageSelected(int index, int pageState);
    void copyRequested();
    void pageCountKnown(int count);
    void helpRequested(int topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void ReportSelection();
    void SelectItem(int row, ScrollHint hint);
    void ApplyGeometry();

    const CFolivantDoc* m_doc = nullptr;
    CFolivantData* m_data = nullptr;
    COptionThumb* m_options = nullptr;
    QWidget* m_progressParent = nullptr;
    QString m_path;
    std::unique_ptr<CTiffImage> m_image;
    int m_pageCount = 0;
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
