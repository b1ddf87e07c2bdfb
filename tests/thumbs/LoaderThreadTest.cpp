// The loader thread: thumbnails arrive, and stopping returns promptly in every state of the thread.
#include "thumbs/ThreadThumbLoadWork.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace {

class RecordingSink : public IThumbSink
{
public:
    void ThumbnailReady(int page, const QImage& image) override
    {
        std::lock_guard lock(m);
        pages.push_back(page);
        sizes.push_back(image.size());
    }
    std::vector<int> Pages()
    {
        std::lock_guard lock(m);
        return pages;
    }
    std::mutex m;
    std::vector<int> pages;
    std::vector<QSize> sizes;
};

// A page source that takes `delay` per page and counts what is alive.
class SlowSource : public IThumbSource
{
public:
    SlowSource(std::chrono::microseconds delay, std::atomic<int>* alive) : m_delay(delay), m_alive(alive)
    {
        ++*m_alive;
    }
    ~SlowSource() override { --*m_alive; }
    QImage RenderThumbnail(int, int w, int h, InterpolationMode) override
    {
        std::this_thread::sleep_for(m_delay);
        QImage image(w, h, QImage::Format_Grayscale8);
        image.fill(200);
        return image;
    }

private:
    std::chrono::microseconds m_delay;
    std::atomic<int>* m_alive;
};

ThumbGeometry Geometry()
{
    return ThumbGeometryFromOptions(100, 0);
}

TEST(ThumbGeometry, WidthHeightAndMode)
{
    EXPECT_EQ(ThumbGeometryFromOptions(100, 0).height, 141);
    EXPECT_EQ(ThumbGeometryFromOptions(150, 0).height, 212);
    EXPECT_EQ(ThumbGeometryFromOptions(200, 0).height, 282);
    EXPECT_EQ(ThumbGeometryFromOptions(150, 0).mode, InterpolationMode::LowQuality);
    EXPECT_EQ(ThumbGeometryFromOptions(150, 1).mode, InterpolationMode::HighQuality);
    EXPECT_EQ(ThumbGeometryFromOptions(150, 2).mode, InterpolationMode::HighQualityBicubic);
    EXPECT_EQ(ThumbGeometryFromOptions(150, 7).mode, InterpolationMode::LowQuality);
}

TEST(LoaderThread, RendersEveryPageButTheFirstAndStops)
{
    RecordingSink sink;
    std::atomic<int> alive{0};
    CThreadThumbLoadWork loader(&sink);
    loader.SetSourceFactory(
        [&](const QString&) { return std::make_unique<SlowSource>(std::chrono::microseconds(100), &alive); });
    loader.StartLoader(QStringLiteral("/x.tif"), 40, Geometry());
    for (int i = 0; i < 2000 && loader.IsRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    loader.StopLoader();
    std::vector<int> pages = sink.Pages();
    std::set<int> unique(pages.begin(), pages.end());
    EXPECT_EQ(pages.size(), 39u);
    EXPECT_EQ(unique.size(), 39u);
    EXPECT_EQ(unique.count(0), 0u);
    EXPECT_EQ(sink.sizes.front(), QSize(100, 141));
    EXPECT_EQ(alive.load(), 0); // the page source is closed again
}

TEST(LoaderThread, StoppingReturnsAfterAtMostOneMoreThumbnailInAnyState)
{
    // Stop right after the start, during a render and at the very end, many times over.
    std::atomic<int> alive{0};
    for (int round = 0; round < 200; ++round) {
        RecordingSink sink;
        CThreadThumbLoadWork loader(&sink);
        const auto delay = std::chrono::microseconds(round % 3 == 1 ? 2000 : 50);
        loader.SetSourceFactory([&](const QString&) { return std::make_unique<SlowSource>(delay, &alive); });
        const int pages = round % 3 == 2 ? 2 : 1000; // 2 pages: the thread is just finishing
        loader.StartLoader(QStringLiteral("/x.tif"), pages, Geometry());
        if (round % 3 == 1) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        const size_t before = sink.Pages().size();
        QElapsedTimer t;
        t.start();
        loader.StopLoader();
        EXPECT_LE(sink.Pages().size(), before + 1) << "round " << round;
        EXPECT_LT(t.elapsed(), 2000) << "round " << round;
        EXPECT_FALSE(loader.IsRunning());
        // Stopping twice is harmless.
        loader.StopLoader();
    }
    EXPECT_EQ(alive.load(), 0);
}

TEST(LoaderThread, ASelectionMovesTheCursorWhileRunning)
{
    RecordingSink sink;
    std::atomic<int> alive{0};
    CThreadThumbLoadWork loader(&sink);
    loader.SetSourceFactory(
        [&](const QString&) { return std::make_unique<SlowSource>(std::chrono::microseconds(300), &alive); });
    loader.StartLoader(QStringLiteral("/x.tif"), 400, Geometry());
    while (sink.Pages().size() < 3) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    loader.SetLoaderCursor(299);
    // What was rendered until now came before the selection; on a busy machine that may be many pages.
    const auto atSelection = static_cast<std::ptrdiff_t>(sink.Pages().size());
    while (loader.IsRunning()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    loader.StopLoader();
    const std::vector<int> pages = sink.Pages();
    // Right after the selection (at most the thumbnail in progress between), page 300 is rendered.
    const auto at = std::find(pages.begin(), pages.end(), 299);
    ASSERT_NE(at, pages.end());
    EXPECT_LE(at - pages.begin(), atSelection + 1);
    EXPECT_EQ(pages.size(), 399u);
}

TEST(LoaderThread, RestartingBeginsWithAnEmptyDoneTable)
{
    RecordingSink sink;
    std::atomic<int> alive{0};
    CThreadThumbLoadWork loader(&sink);
    loader.SetSourceFactory(
        [&](const QString&) { return std::make_unique<SlowSource>(std::chrono::microseconds(10), &alive); });
    for (int run = 0; run < 3; ++run) {
        loader.StartLoader(QStringLiteral("/x.tif"), 5, Geometry());
        while (loader.IsRunning()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    loader.StopLoader();
    EXPECT_EQ(sink.Pages().size(), 12u);
}

} // namespace
