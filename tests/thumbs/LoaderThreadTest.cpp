// The loader thread: thumbnails arrive, and stopping returns promptly in every state of the thread. The
// strip's model keeps them packed and gives back the same images.
#include "thumbs/ThreadThumbLoadWork.h"
#include "thumbs/ThumbModel.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>

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

    // A page keeps its shape (square pixels) in the 150 x 212 box; pages near A4 fill it as always.
    const QSize box(150, 212);
    const std::pair<QSize, QSize> shapes[] = {
        {QSize(1728, 2385), box},             // A4 fax, fine or normal mode, in square pixels
        {QSize(1700, 2200), box},             // US letter
        {QSize(2385, 1728), QSize(150, 108)}, // A4 landscape: as wide as the box, centred in it
        {QSize(1728, 2800), QSize(130, 212)}, // legal: narrower than the box
        {QSize(1728, 40000), QSize(9, 212)},  // a till roll
        {QSize(40000, 10), QSize(150, 1)},    // never nothing
        {QSize(0, 0), box},                   // a page that cannot be decoded: the blank box
    };
    for (const auto& [page, shape] : shapes) {
        EXPECT_EQ(ThumbnailShape(page, box), shape) << page.width() << " x " << page.height();
    }
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

// A page as a fax thumbnail: white with a few grey lines of "text" whose place and shade depend on the page.
QImage FaxLikeThumb(int page, int w, int h, qreal dpr)
{
    QImage image(w, h, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 10 + page % 7; y < h - 10; y += 9) {
        uchar* row = image.scanLine(y);
        for (int x = 8; x < w - 8; ++x) {
            row[x] = static_cast<uchar>((x * 37 + page * 11) % 256);
        }
    }
    image.setDevicePixelRatio(dpr);
    return image;
}

class FaxLikeSource : public IThumbSource
{
public:
    QImage RenderThumbnail(int page, int w, int h, InterpolationMode) override
    {
        return FaxLikeThumb(page, w, h, 1.0); // the loader marks the pixel ratio
    }
};

TEST(PackedThumbnails, GiveBackTheSameImageFormatColoursAndPixelRatio)
{
    QRandomGenerator random(7);
    QImage noise(151, 97, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            noise.setPixel(x, y, 0xFF000000 | (random.generate() & 0xFFFFFF));
        }
    }
    noise.setDevicePixelRatio(2.0);
    QImage argb = noise.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    argb.setPixel(3, 3, qRgba(0, 0, 0, 0));
    QImage mono(37, 20, QImage::Format_Mono); // rows end inside a byte
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0);
    for (int i = 0; i < 20; ++i) {
        mono.setPixel(i + 17, i, 1);
    }
    mono.setDevicePixelRatio(1.5);

    for (const QImage& image : {FaxLikeThumb(3, 150, 212, 1.0), FaxLikeThumb(4, 300, 424, 2.0), noise, argb,
                                mono, QImage(1, 1, QImage::Format_Grayscale8)}) {
        const PackedThumb packed = PackThumbnail(image);
        const QImage back = UnpackThumbnail(packed);
        EXPECT_EQ(back.format(), image.format());
        EXPECT_EQ(back.size(), image.size());
        EXPECT_EQ(back.devicePixelRatio(), image.devicePixelRatio());
        EXPECT_EQ(back.colorTable(), image.colorTable());
        EXPECT_TRUE(back == image) << image.format() << " " << image.width();
    }
    EXPECT_TRUE(PackThumbnail(QImage()).IsNull());
    EXPECT_TRUE(UnpackThumbnail(PackedThumb()).isNull());
}

TEST(PackedThumbnails, TheModelFilledByTheLoaderWhileThePaintingReadsIt)
{
    CThumbModel model;
    const int pages = 300;
    model.Reset(pages, pages);
    CThreadThumbLoadWork loader(&model);
    loader.SetSourceFactory([](const QString&) { return std::make_unique<FaxLikeSource>(); });
    ThumbGeometry hidpi = Geometry();
    hidpi.pixelRatio = 2.0;
    loader.StartLoader(QStringLiteral("/x.tif"), pages, hidpi);
    // The GUI side reads (and caches) thumbnails while the loader stores new ones.
    int read = 0;
    while (loader.IsRunning()) {
        for (int i = 0; i < pages; i += 17) {
            read += model.Thumbnail(i).isNull() ? 0 : 1;
        }
    }
    loader.StopLoader();
    EXPECT_GT(read, 0);
    EXPECT_TRUE(model.Thumbnail(0).isNull()); // the first page comes from the fill, not the loader
    for (int i = 1; i < pages; ++i) {
        const QImage thumb = model.Thumbnail(i);
        EXPECT_TRUE(model.data(model.index(i), CThumbModel::HasThumbnailRole).toBool());
        EXPECT_EQ(thumb.devicePixelRatio(), 2.0);
        ASSERT_TRUE(thumb == FaxLikeThumb(i, 200, 282, 2.0)) << i;
    }
    // A new thumbnail for a page replaces the one painted before; a new document has none.
    model.SetThumbnail(5, FaxLikeThumb(6, 100, 141, 1.0));
    EXPECT_TRUE(model.Thumbnail(5) == FaxLikeThumb(6, 100, 141, 1.0));
    EXPECT_EQ(model.Thumbnail(5).devicePixelRatio(), 1.0);
    model.Reset(pages, pages);
    EXPECT_TRUE(model.Thumbnail(5).isNull());
    // A mostly white fax thumbnail packs to a small fraction of its pixels.
    model.SetThumbnail(1, FaxLikeThumb(1, 150, 212, 1.0));
    EXPECT_LT(model.PackedBytes() * 8, 150 * 212);
}

// Thumbnails for a high-resolution screen are held to the budget: those far from the part of the strip
// on screen are dropped (or never rendered) and come again when asked for, also after the loader ended.
TEST(PackedThumbnails, HeldToTheBudgetNearTheFocusAndRenderedAgainWhenAskedFor)
{
    const int pages = 300;
    ThumbGeometry hidpi = Geometry();
    hidpi.pixelRatio = 2.0;
    const qsizetype one =
        PackThumbnail(FaxLikeThumb(1, hidpi.PixelWidth(), hidpi.PixelHeight(), 2.0)).bytes.size();
    const qsizetype budget = 40 * one;
    CThumbModel model;
    model.Reset(pages, pages);
    model.SetPackedBudget(budget);
    CThreadThumbLoadWork loader(&model);
    std::atomic<int> opened{0};
    loader.SetSourceFactory([&](const QString&) {
        ++opened;
        return std::make_unique<FaxLikeSource>();
    });
    const auto has = [&](int row) {
        return model.data(model.index(row), CThumbModel::HasThumbnailRole).toBool();
    };
    const auto settle = [&] {
        QElapsedTimer t;
        t.start();
        while (loader.IsRunning() && t.elapsed() < 20000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_FALSE(loader.IsRunning());
    };

    loader.StartLoader(QStringLiteral("/x.tif"), pages, hidpi);
    settle();
    EXPECT_LE(model.PackedBytes(), budget);
    EXPECT_TRUE(has(1) && has(20));
    EXPECT_FALSE(has(pages - 1));
    const std::vector<int> far = model.DroppedAmong(pages - 10, pages - 1);
    EXPECT_EQ(far.size(), 10u);

    // The strip scrolled to the end: the rows there are asked for, the ones at the start make room.
    model.SetShownRows(pages - 8, pages - 3);
    loader.RenderAgain(far);
    settle();
    for (int row = pages - 10; row < pages; ++row) {
        ASSERT_TRUE(model.Thumbnail(row) == FaxLikeThumb(row, hidpi.PixelWidth(), hidpi.PixelHeight(), 2.0))
            << row;
    }
    EXPECT_TRUE(model.DroppedAmong(pages - 10, pages - 1).empty());
    EXPECT_EQ(opened, 1); // from the file opened at the start, which may have been deleted since
    EXPECT_LE(model.PackedBytes(), budget);
    EXPECT_FALSE(has(1));
    EXPECT_EQ(model.DroppedAmong(1, 1), std::vector<int>{1});

    // After a stop nothing is rendered for the old document.
    loader.StopLoader();
    loader.RenderAgain({1});
    EXPECT_FALSE(loader.IsRunning());
    EXPECT_FALSE(has(1));
}

} // namespace
