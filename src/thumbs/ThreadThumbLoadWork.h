#pragma once
// Renders the thumbnails of all pages but the first, one page at a time, on a worker thread of its own
// with its own page source, nearest to the selected page first. Thumbnails reach the GUI through a sink
// as QImages (8-bit grey for grey pages). Stopping returns after at most one more thumbnail, whatever
// state the thread is in.

#include "imaging/TiffImage.h"
#include "thumbs/LoaderSchedule.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Receives finished thumbnails on the loader thread; must be thread-safe.
class IThumbSink
{
public:
    virtual ~IThumbSink() = default;
    virtual void ThumbnailReady(int page, const QImage& image) = 0;
    // Whether the thumbnail of `page` is wanted now; pages not wanted are left for RenderAgain.
    virtual bool WantsThumbnail(int /*page*/) { return true; }
};

// A page source for thumbnails; the loader opens one on its thread when it starts and keeps it until it
// is stopped. Used by one thread at a time.
class IThumbSource
{
public:
    virtual ~IThumbSource() = default;
    virtual QImage RenderThumbnail(int page, int width, int height, InterpolationMode mode) = 0;
};

// The size of a page's thumbnail in the thumbnail box `box` (the A4 shape): the page's square-pixel size
// `page` scaled to fit, its proportions kept. A page within a tenth of the box's shape (A4 and letter
// pages, fax pages of either resolution) fills the box, as it always has; a page of no size too.
QSize ThumbnailShape(QSize page, QSize box);

// Thumbnail of one page of a TIFF file in the box width x height: the page in its own shape
// (ThumbnailShape) on white, kept as 8-bit grey when the page is grey. A landscape page gives a thumbnail
// of the box's width and less height, to be centred in the box.
QImage RenderTiffThumbnail(CTiffImage& image, int page, int width, int height, InterpolationMode mode);

struct ThumbGeometry
{
    // The thumbnail's size on the screen, in logical pixels.
    int width = 100;
    int height = 141;
    InterpolationMode mode = InterpolationMode::LowQuality;
    // Device pixels per logical pixel of the screen the strip is on: thumbnails are rendered at
    // width x height times this, so they are as sharp as the screen.
    double pixelRatio = 1.0;
    int PixelWidth() const { return std::max(1, static_cast<int>(std::lround(width * pixelRatio))); }
    int PixelHeight() const { return std::max(1, static_cast<int>(std::lround(height * pixelRatio))); }
};
// Width from the options, the A4 height (width x 297 / 210) and the mode from the quality value.
ThumbGeometry ThumbGeometryFromOptions(int width, int quality);
// The thumbnail of `page` in the geometry's device pixels, marked with its pixel ratio so that it is
// painted at width x height logical pixels.
QImage RenderThumbnailAt(IThumbSource& source, int page, const ThumbGeometry& geometry);

class CThreadThumbLoadWork
{
public:
    using SourceFactory = std::function<std::unique_ptr<IThumbSource>(const QString& path)>;

    explicit CThreadThumbLoadWork(IThumbSink* sink);
    virtual ~CThreadThumbLoadWork();
    CThreadThumbLoadWork(const CThreadThumbLoadWork&) = delete;
    CThreadThumbLoadWork& operator=(const CThreadThumbLoadWork&) = delete;

    // Starts a new thread for `path` (stops a running one first). The done table starts empty.
    void StartLoader(const QString& path, int pageCount, const ThumbGeometry& geometry);
    // Returns when no loader thread runs any more: after the thumbnail being rendered, at most.
    void StopLoader();
    // Renders these pages (dropped thumbnails that came into view) before any other, also after the
    // loader has finished; they replace the pages asked for before. Ignored when no loader was started
    // since the last stop.
    void RenderAgain(const std::vector<int>& pages);
    void SetLoaderCursor(int index) { m_schedule.SetCursor(index); }
    int GetLoaderCursor() const { return m_schedule.GetCursor(); }
    bool IsRunning() const { return m_moreToDo.load(std::memory_order_acquire) != 0; }
    // Tests replace the TIFF reader.
    void SetSourceFactory(SourceFactory factory) { m_factory = std::move(factory); }

private:
    void Run();
    // The next page asked for by RenderAgain, or -1.
    int TakeRequest();

    IThumbSink* m_sink;
    SourceFactory m_factory;
    CLoaderSchedule m_schedule;
    QString m_path;
    ThumbGeometry m_geometry;
    std::atomic<std::int32_t> m_moreToDo{0};
    std::atomic<bool> m_stopRequested{false};
    std::thread m_thread;
    // Made by the first run after a start, used by the runs of that start one after the other, closed
    // when the loader stops (after the last run ended).
    std::unique_ptr<IThumbSource> m_source;
    std::mutex m_controlMutex; // start and stop come from the GUI thread only; this guards misuse
    // Guards m_requests, and the thread's decision to end against a request that comes meanwhile.
    std::mutex m_requestMutex;
    std::vector<int> m_requests;
    bool m_started = false; // a loader was started and not stopped since (GUI thread)
};
