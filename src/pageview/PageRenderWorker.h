#pragma once
// The page view's pages are decoded and scaled on worker threads, never on the GUI thread. Each worker
// owns its own page source (a CTiffImage opened on its thread); finished images reach the GUI thread as
// QImages through queued signals, and newer requests supersede older ones.
//
// CPageRenderWorker: loads the page to show (size, square pixels, turns) together with a rendering at
//   the whole-page size the view is about to choose, then renders the parts the view asks for at the
//   zoom it paints.
// CPageCopier: the whole page at its square-pixel size for the clipboard, with its bitmap file.

#include "document/FolivantDoc.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class CTiffImage;

struct CPageRequest
{
    quint64 generation = 0; // grows with every page asked for; results of older ones are dropped
    QString path;
    int frame = 0;
    int rotation = 0; // quarter turns clockwise
    QSize fitWindow;  // the window (without scroll bars) that the page will be fitted into
    int alignTopLeft = 0;
    double dpr = 1.0; // the window's device pixel ratio: the preview is rendered in device pixels
};

struct CPageLoaded
{
    quint64 generation = 0;
    int rotation = 0;
    QSize squareSize; // the page with square pixels, turned: the zoom model's page size
    QSize imageSize;  // the page's pixel size as stored, turned
    QImage preview;   // the whole page at `previewFull` device pixels (null when it cannot be decoded)
    QSize previewFull;
};

struct CRegionRequest
{
    quint64 generation = 0;
    int rotation = 0;
    QSize fullDevice; // the whole zoomed page in device pixels
    QRect part;       // the part wanted, in the page's device pixels

    bool operator==(const CRegionRequest&) const = default;
};

struct CRegionRendered
{
    CRegionRequest request;
    QImage image; // null when the page changed meanwhile or the part could not be rendered
};

Q_DECLARE_METATYPE(CPageLoaded)
Q_DECLARE_METATYPE(CRegionRendered)

class CPageRenderWorker : public QObject
{
    Q_OBJECT
public:
    explicit CPageRenderWorker(QObject* parent = nullptr);
    // Gives up the running work (as far as the page source allows) and waits for the thread.
    ~CPageRenderWorker() override;

    // Supersedes every earlier request; a page still being loaded for an older request is abandoned.
    void RequestPage(const CPageRequest& request);
    // Supersedes a region not yet started.
    void RequestRegion(const CRegionRequest& request);
    // Drops every request up to `generation` (the view shows no page).
    void Forget(quint64 generation);
    // Tests hold the worker here, on its thread, before it reads a page, to see what the view does
    // meanwhile. Set it before the first request.
    void SetBeforeLoad(std::function<void(const CPageRequest&)> hook) { m_beforeLoad = std::move(hook); }

Q_SIGNALS:
    // Both are emitted on the worker thread; connect them queued.
    void pageLoaded(const CPageLoaded& page);
    void regionRendered(const CRegionRendered& region);

private:
    void Run();
    bool Superseded(quint64 generation);
    CPageLoaded Load(const CPageRequest& request);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<CPageRequest> m_page;
    std::optional<CRegionRequest> m_region;
    quint64 m_latest = 0; // newest generation asked for
    quint64 m_busy = 0;   // generation being worked on, 0 when idle
    bool m_stop = false;
    std::atomic<bool> m_interrupt{false};
    std::thread m_thread;

    // Worker thread only.
    std::function<void(const CPageRequest&)> m_beforeLoad;
    std::unique_ptr<CTiffImage> m_image;
    CFileStamp m_imageStamp; // of the file m_image read, taken when it was opened
    quint64 m_imageGeneration = 0;
    int m_imageRotation = 0;
};

struct CPageCopy
{
    QImage image;   // the page, 24-bit, square pixels, as shown turned; null when it could not be made
    QByteArray bmp; // the same as a BMP file ("image/bmp")
};
Q_DECLARE_METATYPE(CPageCopy)

class CPageCopier : public QObject
{
    Q_OBJECT
public:
    explicit CPageCopier(QObject* parent = nullptr);
    ~CPageCopier() override;

    // Starts preparing the copy of page `frame` of `path` turned by `rotation`; false while one is
    // still being prepared.
    bool Start(const QString& path, int frame, int rotation);
    bool IsBusy() const { return m_busy.load(); }

Q_SIGNALS:
    // Emitted on the copy thread; connect it queued.
    void finished(const CPageCopy& copy);

private:
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_interrupt{false};
    std::thread m_thread;
};

// Turns `image` (as RotateFlip does) from `from` to `to` quarter turns clockwise.
void TurnPageSource(CTiffImage& image, int from, int to);
