#include "pageview/PageRenderWorker.h"

#include "document/FolivantDoc.h"
#include "imaging/TiffImage.h"
#include "pageview/ClipboardDib.h"
#include "pageview/DataZoom.h"

#include <cmath>

void TurnPageSource(CTiffImage& image, int from, int to)
{
    switch ((to - from) & 3) {
    case 1:
        image.RotateFlip(RotateFlipType::Rotate90FlipNone);
        break;
    case 2:
        image.RotateFlip(RotateFlipType::Rotate180FlipNone);
        break;
    case 3:
        image.RotateFlip(RotateFlipType::Rotate270FlipNone);
        break;
    default:
        break;
    }
}

// ---- the page being shown ----

CPageRenderWorker::CPageRenderWorker(QObject* parent) : QObject(parent)
{
    m_thread = std::thread([this] { Run(); });
}

CPageRenderWorker::~CPageRenderWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_interrupt.store(true);
    }
    m_wake.notify_all();
    m_thread.join();
}

void CPageRenderWorker::RequestPage(const CPageRequest& request)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latest = std::max(m_latest, request.generation);
        m_page = request;
        m_region.reset();
        if (m_busy != 0 && m_busy < request.generation) {
            m_interrupt.store(true);
        }
    }
    m_wake.notify_all();
}

void CPageRenderWorker::RequestRegion(const CRegionRequest& request)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (request.generation < m_latest) {
            return;
        }
        m_region = request;
    }
    m_wake.notify_all();
}

void CPageRenderWorker::Forget(quint64 generation)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_latest = std::max(m_latest, generation);
    m_page.reset();
    m_region.reset();
    if (m_busy != 0 && m_busy < generation) {
        m_interrupt.store(true);
    }
}

bool CPageRenderWorker::Superseded(quint64 generation)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return generation < m_latest || m_stop;
}

CPageLoaded CPageRenderWorker::Load(const CPageRequest& request)
{
    CPageLoaded out;
    out.generation = request.generation;
    out.rotation = request.rotation & 3;
    // The file stays open while its pages are shown, so that a file deleted (or moved away) meanwhile
    // still shows every page: its data remain readable until the last reader closes it. Another file at
    // the path, or the file rewritten, is opened afresh.
    const CFileStamp stamp = CFileStamp::Of(request.path);
    const bool keep = m_image != nullptr && m_image->IsOpen() && m_image->GetPath() == request.path &&
                      (!stamp.exists || stamp == m_imageStamp);
    if (!keep) {
        m_image.reset(); // the previous page's memory goes before the next page is read
    }
    if (m_beforeLoad) {
        m_beforeLoad(request);
    }
    if (!keep) {
        m_image = std::make_unique<CTiffImage>(request.path);
        m_image->SetInterruptFlag(&m_interrupt); // a newer page stops the decode of this one
        m_imageStamp = stamp;
    }
    m_imageGeneration = request.generation;
    m_imageRotation = 0;
    m_image->SelectActiveFrame(request.frame);
    // Square pixels at the higher resolution, then the page's own quarter turns.
    QSize size = m_image->GetSquarePixelSize();
    TurnPageSource(*m_image, 0, out.rotation);
    m_imageRotation = out.rotation;
    if (out.rotation & 1) {
        size.transpose();
    }
    out.squareSize = size;
    out.imageSize = QSize(m_image->GetWidth(), m_image->GetHeight());
    if (size.isEmpty() || Superseded(request.generation)) {
        return out;
    }
    // Every page starts whole: render it at the size the view will fit it to.
    CDataZoom fit;
    fit.SetPageWidth(size.width());
    fit.SetPageHeight(size.height());
    fit.SetWindowWidth(request.fitWindow.width());
    fit.SetWindowHeight(request.fitWindow.height());
    fit.SetAlignTopLeft(request.alignTopLeft);
    fit.ZoomWholePage();
    const QSize full(static_cast<int>(std::lround(fit.Horizontal().zoomed * request.dpr)),
                     static_cast<int>(std::lround(fit.Vertical().zoomed * request.dpr)));
    if (!full.isEmpty()) {
        // A fax page kept in a third of the memory; its grey values, and so the screen, stay the same.
        out.preview =
            m_image->RenderScaledCompact(full.width(), full.height(), InterpolationMode::HighQuality);
        out.previewFull = full;
    }
    return out;
}

void CPageRenderWorker::Run()
{
    for (;;) {
        std::optional<CPageRequest> page;
        std::optional<CRegionRequest> region;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_busy = 0;
            m_wake.wait(lock, [this] { return m_stop || m_page || m_region; });
            if (m_stop) {
                break;
            }
            if (m_page) {
                page = std::move(m_page);
                m_page.reset();
                m_busy = page->generation;
            } else {
                region = std::move(m_region);
                m_region.reset();
                m_busy = region->generation;
            }
            m_interrupt.store(false);
        }
        if (page) {
            CPageLoaded loaded = Load(*page);
            if (!Superseded(page->generation)) {
                Q_EMIT pageLoaded(loaded);
            }
            continue;
        }
        CRegionRendered out;
        out.request = *region;
        if (m_image != nullptr && region->generation == m_imageGeneration) {
            TurnPageSource(*m_image, m_imageRotation, region->rotation);
            m_imageRotation = region->rotation & 3;
            out.image =
                m_image->RenderRegion(region->fullDevice, region->part, InterpolationMode::HighQuality);
        }
        Q_EMIT regionRendered(out);
    }
    m_image.reset();
}

// ---- the clipboard copy ----

CPageCopier::CPageCopier(QObject* parent) : QObject(parent) {}

CPageCopier::~CPageCopier()
{
    m_interrupt.store(true);
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CPageCopier::Start(const QString& path, int frame, int rotation)
{
    if (m_busy.load()) {
        return false;
    }
    if (m_thread.joinable()) {
        m_thread.join(); // the previous copy has finished: only its thread is left to collect
    }
    m_busy.store(true);
    m_interrupt.store(false);
    m_thread = std::thread([this, path, frame, rotation] {
        CPageCopy copy;
        {
            CTiffImage image(path);
            image.SetInterruptFlag(&m_interrupt); // the view is going away
            image.SelectActiveFrame(frame);
            TurnPageSource(image, 0, rotation);
            const QSize size = image.GetSquarePixelSize();
            if (!size.isEmpty()) {
                copy.image = image.RenderScaled(size.width(), size.height(), InterpolationMode::HighQuality,
                                                0xFF000000);
            }
        } // the page source's memory goes before the bitmap file is built
        if (!copy.image.isNull() && !m_interrupt.load()) {
            copy.bmp = MakeClipboardBmp(copy.image);
        }
        if (copy.bmp.isEmpty()) {
            copy.image = QImage();
        }
        m_busy.store(false);
        Q_EMIT finished(copy);
    });
    return true;
}
