// Long decodes and renders: stopping them from another thread.

#include "ImagingTestUtil.h"
#include "imaging/TiffImage.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace imagingtest;
using testsupport::TempDir;

namespace {

FaxDocSpec GreyStrips(int pages, int w, int h)
{
    FaxDocSpec s;
    s.pages = pages;
    s.width = w;
    s.height = h;
    s.colour = FaxDocSpec::Colour::Grey;
    s.compression = FaxDocSpec::Compression::Deflate;
    s.rowsPerStrip = 8;
    return s;
}

TEST(Interrupt, ASetFlagStopsEveryDecodeAndRenderUntilItIsCleared)
{
    TempDir dir;
    const QString path = WriteDoc(dir, "g.tif", GreyStrips(2, 432, 573));
    CTiffImage ref(path);
    ref.SelectActiveFrame(1);
    const QImage thumb = ref.RenderScaled(75, 106, InterpolationMode::HighQualityBicubic);
    const QImage part =
        ref.RenderRegion(QSize(864, 1146), QRect(100, 200, 300, 200), InterpolationMode::HighQuality);

    std::atomic<bool> stop{true};
    CTiffImage img(path);
    img.SetInterruptFlag(&stop);
    // Selecting and measuring read only the directory and go on as usual.
    ASSERT_TRUE(img.SelectActiveFrame(1));
    EXPECT_EQ(img.GetWidth(), 432);
    EXPECT_TRUE(img.RenderScaled(75, 106, InterpolationMode::HighQualityBicubic).isNull());
    EXPECT_EQ(img.GetLastStatus(), ImageStatus::Interrupted);
    EXPECT_TRUE(img.RenderRegion(QSize(864, 1146), QRect(100, 200, 300, 200), InterpolationMode::HighQuality)
                    .isNull());
    EXPECT_TRUE(img.DecodedImage().isNull());
    QImage canvas(200, 200, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    {
        QPainter p(&canvas);
        img.Draw(p, QRect(0, 0, 200, 265), InterpolationMode::HighQuality);
    }
    EXPECT_EQ(canvas.pixel(100, 100), qRgb(255, 0, 0));

    stop = false;
    EXPECT_EQ(img.RenderScaled(75, 106, InterpolationMode::HighQualityBicubic), thumb);
    EXPECT_EQ(img.RenderRegion(QSize(864, 1146), QRect(100, 200, 300, 200), InterpolationMode::HighQuality),
              part);
    img.SetInterruptFlag(nullptr);
    stop = true;
    EXPECT_FALSE(img.DecodedImage().isNull());
}

// A flag set at any moment during the work gives either the whole result or none, and the page decoded
// afterwards is the whole page: nothing cut short is kept as the page's decoded form.
TEST(Interrupt, AFlagSetDuringTheWorkGivesTheWholeResultOrNone)
{
    TempDir dir;
    FaxDocSpec grey = GreyStrips(1, 1600, 2200);
    FaxDocSpec fax;
    fax.pages = 1;
    fax.rowsPerStrip = 16;
    FaxDocSpec oneStrip;
    oneStrip.pages = 1;
    const QString faxStrip = WriteDoc(dir, "s.tif", oneStrip);
    struct Case
    {
        QString path;
        qint64 budget;
    };
    const Case cases[] = {
        {WriteDoc(dir, "g.tif", grey), CTiffImage::kDefaultMaxDecodedBytes},
        {WriteDoc(dir, "f.tif", fax), CTiffImage::kDefaultMaxDecodedBytes},
        {faxStrip, 2 << 20}, // the one strip read a few rows at a time, the page kept whole
        {faxStrip, 950000},  // the same, the page kept at reduced resolution
    };
    for (const Case& c : cases) {
        const QString& path = c.path;
        SCOPED_TRACE(path.toStdString() + " " + std::to_string(c.budget));
        CTiffImage ref(path);
        ref.SetMaxDecodedBytes(c.budget);
        const QRect part(300, 400, 500, 300);
        const QImage wholeRef = ref.RenderRegion(QSize(3200, 4400), part, InterpolationMode::HighQuality);
        const QImage thumbRef = ref.RenderScaled(150, 212, InterpolationMode::HighQuality);
        int interrupted = 0;
        for (int delayUs : {0, 200, 1000, 3000, 8000, 20000}) {
            CTiffImage img(path);
            img.SetMaxDecodedBytes(c.budget);
            std::atomic<bool> stop{false};
            img.SetInterruptFlag(&stop);
            std::thread setter([&stop, delayUs] {
                std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
                stop = true;
            });
            const QImage thumb = img.RenderScaled(150, 212, InterpolationMode::HighQuality);
            const QImage region = img.RenderRegion(QSize(3200, 4400), part, InterpolationMode::HighQuality);
            setter.join();
            interrupted += thumb.isNull() + region.isNull();
            if (!thumb.isNull()) {
                EXPECT_EQ(thumb, thumbRef);
            }
            if (!region.isNull()) {
                EXPECT_EQ(region, wholeRef);
            }
            stop = false;
            EXPECT_EQ(img.RenderRegion(QSize(3200, 4400), part, InterpolationMode::HighQuality), wholeRef);
        }
        RecordProperty("interrupted", interrupted);
    }
}

} // namespace
