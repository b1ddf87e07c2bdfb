#include "thumbs/ThreadThumbLoadWork.h"

namespace {

class TiffThumbSource : public IThumbSource
{
public:
    explicit TiffThumbSource(const QString& path) : m_image(path) {}
    QImage RenderThumbnail(int page, int width, int height, InterpolationMode mode) override
    {
        return RenderTiffThumbnail(m_image, page, width, height, mode);
    }

private:
    CTiffImage m_image;
};

} // namespace

QImage RenderTiffThumbnail(CTiffImage& image, int page, int width, int height, InterpolationMode mode)
{
    image.SelectActiveFrame(page);
    const QSize shape = ThumbnailShape(image.GetSquarePixelSize(), QSize(width, height));
    return image.RenderScaledCompact(shape.width(), shape.height(), mode, 0xFFFFFFFF);
}

QSize ThumbnailShape(QSize page, QSize box)
{
    if (page.isEmpty() || box.isEmpty()) {
        return box;
    }
    const QSize fitted = page.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // Within a tenth: A4 in the A4 box (fax pages are a little wider) and US letter stay as they were.
    if (fitted.width() * 10 >= box.width() * 9 && fitted.height() * 10 >= box.height() * 9) {
        return box;
    }
    return fitted;
}

QImage RenderThumbnailAt(IThumbSource& source, int page, const ThumbGeometry& geometry)
{
    QImage thumb = source.RenderThumbnail(page, geometry.PixelWidth(), geometry.PixelHeight(), geometry.mode);
    if (!thumb.isNull()) {
        thumb.setDevicePixelRatio(geometry.pixelRatio);
    }
    return thumb;
}

ThumbGeometry ThumbGeometryFromOptions(int width, int quality)
{
    ThumbGeometry g;
    g.width = width;
    g.height = static_cast<int>(static_cast<long long>(width) * 297 / 210);
    switch (quality) {
    case 1:
        g.mode = InterpolationMode::HighQuality;
        break;
    case 2:
        g.mode = InterpolationMode::HighQualityBicubic;
        break;
    default:
        g.mode = InterpolationMode::LowQuality;
        break;
    }
    return g;
}

CThreadThumbLoadWork::CThreadThumbLoadWork(IThumbSink* sink)
    : m_sink(sink), m_factory([](const QString& path) { return std::make_unique<TiffThumbSource>(path); })
{
}

CThreadThumbLoadWork::~CThreadThumbLoadWork()
{
    StopLoader();
}

void CThreadThumbLoadWork::StartLoader(const QString& path, int pageCount, const ThumbGeometry& geometry)
{
    StopLoader();
    std::lock_guard lock(m_controlMutex);
    m_path = path;
    m_geometry = geometry;
    m_schedule.Reset(pageCount);
    {
        std::lock_guard requests(m_requestMutex);
        m_requests.clear();
    }
    m_started = true;
    m_stopRequested.store(false, std::memory_order_release);
    // Loading is under way from the start, so a stop request right after the start is honoured.
    m_moreToDo.store(1, std::memory_order_release);
    m_thread = std::thread([this] { Run(); });
}

void CThreadThumbLoadWork::StopLoader()
{
    std::lock_guard lock(m_controlMutex);
    m_stopRequested.store(true, std::memory_order_release);
    // The thread checks the request before it opens the file and after every thumbnail, so joining
    // waits for one thumbnail at most - also for a thread that is just starting or just finishing.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_source.reset();
    m_moreToDo.store(0, std::memory_order_release);
    m_started = false;
    std::lock_guard requests(m_requestMutex);
    m_requests.clear();
}

void CThreadThumbLoadWork::RenderAgain(const std::vector<int>& pages)
{
    std::lock_guard lock(m_controlMutex);
    if (!m_started || pages.empty()) {
        return;
    }
    {
        std::lock_guard requests(m_requestMutex);
        m_requests = pages; // what is in view now; rows scrolled past meanwhile are not wanted
        if (m_moreToDo.load(std::memory_order_acquire) != 0) {
            return; // the running thread takes them
        }
        m_moreToDo.store(1, std::memory_order_release);
    }
    // The thread had finished: another one renders the requests, the schedule stays as it is.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_stopRequested.store(false, std::memory_order_release);
    m_thread = std::thread([this] { Run(); });
}

int CThreadThumbLoadWork::TakeRequest()
{
    std::lock_guard requests(m_requestMutex);
    if (m_requests.empty()) {
        return -1;
    }
    const int page = m_requests.front();
    m_requests.erase(m_requests.begin());
    return page;
}

void CThreadThumbLoadWork::Run()
{
    if (m_stopRequested.load(std::memory_order_acquire)) {
        m_moreToDo.store(0, std::memory_order_release);
        return;
    }
    // Opened by the first run and kept by the runs that render dropped thumbnails again, so that these
    // come from the same file even after it was deleted (its data stay readable while it is open).
    if (m_source == nullptr && m_factory) {
        m_source = m_factory(m_path);
    }
    IThumbSource* source = m_source.get();
    if (source == nullptr) {
        m_moreToDo.store(0, std::memory_order_release);
        return;
    }
    const ThumbGeometry g = m_geometry;
    auto render = [&](int page) {
        QImage thumb = RenderThumbnailAt(*source, page, g);
        if (m_sink != nullptr) {
            m_sink->ThumbnailReady(page, thumb);
        }
    };
    // Pages the sink would drop at once are skipped; they are asked for again when they come into view.
    auto renderWanted = [&](int page) {
        if (m_sink == nullptr || m_sink->WantsThumbnail(page)) {
            render(page);
        }
    };
    bool scheduled = true; // the schedule has pages left
    while (m_moreToDo.load(std::memory_order_acquire) != 0) {
        if (const int page = TakeRequest(); page >= 0) {
            if (page < m_schedule.PageCount()) {
                render(page);
            }
        } else if (scheduled) {
            scheduled = m_schedule.Step(renderWanted);
        } else {
            std::lock_guard requests(m_requestMutex);
            if (m_requests.empty()) {
                m_moreToDo.store(0, std::memory_order_release);
            }
        }
        if (m_stopRequested.load(std::memory_order_acquire)) {
            m_moreToDo.store(0, std::memory_order_release);
            break;
        }
    }
}
