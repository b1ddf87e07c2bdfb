// CTiffImage: opening, counting, selecting, measuring, decoding what scanners and fax servers write.

#include "imaging/TiffImage.h"
#include "ImagingTestUtil.h"
#include "TiffBuilder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTransform>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <thread>
#include <tuple>

using namespace imagingtest;
using testsupport::TempDir;
using testtiff::TiffBuilder;

namespace {

TEST(SquarePixelSize, StretchesTheAxisOfLowerResolution)
{
    EXPECT_EQ(SquarePixelSize(1728, 1100, 204, 98), QSize(1728, 2289));
    EXPECT_EQ(SquarePixelSize(2000, 1000, 300, 600), QSize(4000, 1000));
    EXPECT_EQ(SquarePixelSize(1728, 2292, 204, 196), QSize(1728, 2385));
}

TEST(SquarePixelSize, LeavesEqualTruncatedOrUnknownResolutionsAlone)
{
    EXPECT_EQ(SquarePixelSize(1000, 800, 200.7f, 200.2f), QSize(1000, 800));
    EXPECT_EQ(SquarePixelSize(1000, 800, 0.5f, 300), QSize(1000, 800));
    EXPECT_EQ(SquarePixelSize(1000, 800, 300, 0), QSize(1000, 800));
    EXPECT_EQ(SquarePixelSize(1000, 800, std::nanf(""), 300), QSize(1000, 800));
    EXPECT_EQ(SquarePixelSize(1000, 800, -5, 300), QSize(1000, 800));
    EXPECT_EQ(SquarePixelSize(0, 0, 204, 98), QSize(0, 0));
}

TEST(SquarePixelSize, ClampsInsteadOfOverflowing)
{
    EXPECT_EQ(SquarePixelSize(2000000000, 10, 1, 1e9f), QSize(INT_MAX, 10));
    EXPECT_EQ(SquarePixelSize(10, 2000000000, 3e9f, 1), QSize(10, INT_MAX));
}

TEST(TiffImage, MissingFolderEmptyAndForeignFilesReadAsNoPages)
{
    TempDir dir;
    testsupport::WriteFile(dir.File("empty.tif"), QByteArray());
    testsupport::WriteFile(dir.File("text.tif"), QByteArray("Sehr geehrte Damen und Herren,\n"));
    testsupport::WriteFile(dir.File("header-only.tif"), QByteArray("II*\0", 4));
    const QStringList paths = {dir.File("missing.tif"),     dir.Path(),
                               dir.File("empty.tif"),       dir.File("text.tif"),
                               dir.File("header-only.tif"), QString()};
    for (const QString& p : paths) {
        SCOPED_TRACE(p.toStdString());
        CTiffImage img(p);
        EXPECT_EQ(img.GetFrameCount(), 0);
        EXPECT_EQ(img.GetWidth(), 0);
        EXPECT_EQ(img.GetHeight(), 0);
        EXPECT_EQ(img.GetHorizontalResolution(), 0.0f);
        EXPECT_FALSE(img.SelectActiveFrame(0));
        EXPECT_NE(img.GetLastStatus(), ImageStatus::Ok);
        // A render of such a page is still a bitmap of the requested size, in the background colour.
        const QImage r = img.RenderScaled(100, 141, InterpolationMode::HighQuality, qRgb(10, 20, 30));
        ASSERT_EQ(r.size(), QSize(100, 141));
        EXPECT_EQ(r.pixel(50, 70), qRgb(10, 20, 30));
        EXPECT_TRUE(img.DecodedImage().isNull());
    }
    EXPECT_EQ(CTiffImage(dir.File("missing.tif")).GetLastStatus(), ImageStatus::FileNotFound);
    EXPECT_EQ(CTiffImage(dir.Path()).GetLastStatus(), ImageStatus::FileNotFound);
    EXPECT_EQ(CTiffImage(dir.File("text.tif")).GetLastStatus(), ImageStatus::UnknownFormat);
}

TEST(TiffImage, NonPositiveAndOversizedTargetsGiveNullImages)
{
    TempDir dir;
    CTiffImage img(WriteDoc(dir, "a.tif", SmallDoc(1)));
    EXPECT_TRUE(img.RenderScaled(0, 10, InterpolationMode::LowQuality).isNull());
    EXPECT_TRUE(img.RenderScaled(10, -1, InterpolationMode::LowQuality).isNull());
    EXPECT_TRUE(img.RenderScaled(100000, 100000, InterpolationMode::LowQuality).isNull());
    EXPECT_TRUE(
        img.RenderRegion(QSize(100, 100), QRect(200, 200, 10, 10), InterpolationMode::LowQuality).isNull());
    // A part reaching over the page is clipped to it.
    EXPECT_EQ(img.RenderRegion(QSize(100, 100), QRect(90, -5, 20, 20), InterpolationMode::LowQuality).size(),
              QSize(10, 15));
}

// Every encoding the generator writes decodes to exactly the pages it drew (JPEG: close to them).
TEST(TiffImage, GeneratedDocumentsDecodeToTheDrawnPages)
{
    using C = FaxDocSpec::Compression;
    using K = FaxDocSpec::Colour;
    struct Case
    {
        const char* name;
        C compression;
        K colour;
        int rowsPerStrip = 0;
        int tile = 0;
        int fillOrder = 1;
        bool minIsBlack = false;
        bool bigTiff = false;
    };
    const Case cases[] = {
        {"g4", C::G4, K::Bilevel},
        {"g4-strips", C::G4, K::Bilevel, 50},
        {"g3-fill2", C::G3, K::Bilevel, 0, 0, 2},
        {"g3-2d", C::G3_2D, K::Bilevel, 64},
        {"rle", C::Rle, K::Bilevel},
        {"none-minisblack", C::None, K::Bilevel, 7, 0, 1, true},
        {"packbits", C::PackBits, K::Bilevel},
        {"lzw-tiles", C::Lzw, K::Bilevel, 0, 64},
        {"deflate-bigtiff", C::Deflate, K::Bilevel, 0, 0, 1, false, true},
        {"grey-lzw", C::Lzw, K::Grey, 16},
        {"grey-minisblack-packbits", C::PackBits, K::Grey, 0, 0, 1, true},
        {"grey-deflate-tiles", C::Deflate, K::Grey, 0, 128},
        {"grey-jpeg", C::Jpeg, K::Grey},
        {"rgb-none", C::None, K::Rgb},
        {"rgb-lzw-tiles", C::Lzw, K::Rgb, 0, 64},
        {"rgb-jpeg", C::Jpeg, K::Rgb, 32},
        {"rgb-jpeg-tiles-bigtiff", C::Jpeg, K::Rgb, 0, 128, 1, false, true},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaxDocSpec desc = SmallDoc(2);
        desc.compression = c.compression;
        desc.colour = c.colour;
        desc.rowsPerStrip = c.rowsPerStrip;
        desc.tileWidth = desc.tileHeight = c.tile;
        desc.fillOrder = c.fillOrder;
        desc.minIsBlack = c.minIsBlack;
        desc.bigTiff = c.bigTiff;
        CTiffImage img(WriteDoc(dir, QString::fromLatin1(c.name) + QStringLiteral(".tif"), desc));
        ASSERT_EQ(img.GetFrameCount(), 2);
        for (int page = 0; page < 2; ++page) {
            ASSERT_TRUE(img.SelectActiveFrame(page));
            EXPECT_EQ(img.GetWidth(), desc.width);
            EXPECT_EQ(img.GetHeight(), desc.height);
            EXPECT_EQ(img.IsGrey(), c.colour != K::Rgb);
            const QImage drawn = RenderFaxPage(desc, page);
            const QImage decoded = img.RenderScaled(desc.width, desc.height, InterpolationMode::LowQuality);
            if (c.compression == C::Jpeg) {
                EXPECT_LT(MeanDiff(decoded, drawn), 4.0);
            } else {
                EXPECT_EQ(MaxDiff(decoded, drawn), 0);
            }
            // The page kept in memory is the same page.
            EXPECT_EQ(MaxDiff(img.DecodedImage(), decoded), 0);
        }
        EXPECT_EQ(img.GetLastStatus(), ImageStatus::Ok);
    }
}

TEST(TiffImage, BilevelPagesStayOneBitAndGreyPagesEightBit)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(1);
    CTiffImage bilevel(WriteDoc(dir, "b.tif", desc));
    EXPECT_EQ(bilevel.DecodedImage().format(), QImage::Format_Mono);
    desc.colour = FaxDocSpec::Colour::Grey;
    desc.compression = FaxDocSpec::Compression::Lzw;
    CTiffImage grey(WriteDoc(dir, "g.tif", desc));
    EXPECT_EQ(grey.DecodedImage().format(), QImage::Format_Grayscale8);
    desc.colour = FaxDocSpec::Colour::Rgb;
    CTiffImage rgb(WriteDoc(dir, "c.tif", desc));
    EXPECT_FALSE(rgb.IsGrey());
    EXPECT_EQ(rgb.DecodedImage().format(), QImage::Format_ARGB32_Premultiplied);
}

TEST(TiffImage, ResolutionUnits)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(1);
    desc.xDpi = 204;
    desc.yDpi = 98;
    desc.resolutionUnit = 2;
    CTiffImage inch(WriteDoc(dir, "inch.tif", desc));
    EXPECT_FLOAT_EQ(inch.GetHorizontalResolution(), 204.0f);
    EXPECT_FLOAT_EQ(inch.GetVerticalResolution(), 98.0f);
    EXPECT_EQ(inch.GetSquarePixelSize(), QSize(432, 573 * 204 / 98));

    // Dots per centimetre come back as the same whole dots per inch, not as 203.99999.
    desc.resolutionUnit = 3;
    CTiffImage cm(WriteDoc(dir, "cm.tif", desc));
    EXPECT_NEAR(cm.GetHorizontalResolution(), 204.0f, 1e-3);
    EXPECT_NEAR(cm.GetVerticalResolution(), 98.0f, 1e-3);
    EXPECT_EQ(cm.GetSquarePixelSize(), inch.GetSquarePixelSize());

    // Without a unit the numbers give the pixels' aspect ratio: a fax in normal mode still shows unsquashed.
    desc.resolutionUnit = 1;
    CTiffImage none(WriteDoc(dir, "none.tif", desc));
    EXPECT_EQ(none.GetSquarePixelSize(), inch.GetSquarePixelSize());
    // Small unitless numbers keep their ratio too, also when one of them is below 1.
    for (const auto& [x, y, square] :
         {std::tuple{1.0, 2.0, QSize(864, 573)}, std::tuple{0.5, 1.5, QSize(1296, 573)},
          std::tuple{3.0, 1.0, QSize(432, 1719)}}) {
        desc.xDpi = x;
        desc.yDpi = y;
        CTiffImage ratio(WriteDoc(dir, "ratio.tif", desc));
        EXPECT_EQ(ratio.GetSquarePixelSize(), square) << x << ":" << y;
    }
    desc.xDpi = 204;
    desc.yDpi = 98;

    desc.resolutionUnit = 0;
    CTiffImage missing(WriteDoc(dir, "missing.tif", desc));
    EXPECT_EQ(missing.GetHorizontalResolution(), 0.0f);
    EXPECT_EQ(missing.GetVerticalResolution(), 0.0f);
    EXPECT_EQ(missing.GetSquarePixelSize(), QSize(432, 573));
}

TEST(TiffImage, ResolutionWithOnlyOneValueCountsForBothAxes)
{
    TiffBuilder b;
    b.AddGreyPage(20, 10, 200, {{282, testtiff::Rational, {300, 1}}, {296, testtiff::Short, {2}}});
    auto img = CTiffImage::FromBytes(b.Bytes());
    EXPECT_FLOAT_EQ(img->GetHorizontalResolution(), 300.0f);
    EXPECT_FLOAT_EQ(img->GetVerticalResolution(), 300.0f);
}

// Colour strips are read as stored; a fourth sample counts as alpha when it is marked as such.
TEST(TiffImage, ColourStripsWithAlphaLieOnTheBackground)
{
    struct Case
    {
        const char* name;
        QByteArray pixel;
        int samples;
        int extra; // ExtraSamples: -1 none, 1 associated alpha, 2 unassociated alpha
    };
    const Case cases[] = {
        {"rgb", QByteArray("\xC8\x64\x32", 3), 3, -1},
        {"associated", QByteArray("\x64\x32\x19\x80", 4), 4, 1},
        {"unassociated", QByteArray("\xC8\x64\x32\x80", 4), 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiffBuilder b;
        const std::uint32_t strip = b.AddData(c.pixel.repeated(6));
        std::vector<testtiff::Entry> e = {
            {256, testtiff::Long, {3}},
            {257, testtiff::Long, {2}},
            {258, testtiff::Short, std::vector<std::uint32_t>(static_cast<std::size_t>(c.samples), 8)},
            {259, testtiff::Short, {1}},
            {262, testtiff::Short, {2}},
            {273, testtiff::Long, {strip}},
            {277, testtiff::Short, {static_cast<std::uint32_t>(c.samples)}},
            {278, testtiff::Long, {2}},
            {279, testtiff::Long, {static_cast<std::uint32_t>(6 * c.samples)}},
        };
        if (c.extra >= 0) {
            e.push_back({338, testtiff::Short, {static_cast<std::uint32_t>(c.extra)}});
        }
        b.SetFirst(b.AddIfd(e));
        auto img = CTiffImage::FromBytes(b.Bytes());
        const QImage r = img->RenderScaled(3, 2, InterpolationMode::LowQuality, qRgb(0, 0, 255));
        // 200, 100, 50 at half coverage over blue.
        const QRgb want = c.samples == 3 ? qRgb(200, 100, 50) : qRgb(100, 50, 25 + 127);
        EXPECT_EQ(r.pixel(2, 1), want);
        EXPECT_EQ(img->GetLastStatus(), ImageStatus::Ok);
    }
}

TEST(TiffImage, OrientationTagsShowThePageUpright)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(1);
    desc.xDpi = 204;
    desc.yDpi = 98;
    const QImage upright = RenderFaxPage(desc, 0);
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        desc.orientation = o;
        CTiffImage img(WriteDoc(dir, QStringLiteral("o%1.tif").arg(o), desc));
        EXPECT_EQ(img.GetWidth(), desc.width);
        EXPECT_EQ(img.GetHeight(), desc.height);
        // The resolutions follow the axes they belong to.
        EXPECT_FLOAT_EQ(img.GetHorizontalResolution(), 204.0f);
        EXPECT_FLOAT_EQ(img.GetVerticalResolution(), 98.0f);
        EXPECT_EQ(MaxDiff(img.RenderScaled(desc.width, desc.height, InterpolationMode::HighQuality), upright),
                  0);
        EXPECT_EQ(MaxDiff(img.DecodedImage(), upright), 0);
    }
}

// What QImage makes of the eight rotate-flip types, as the reference.
QImage Reference(const QImage& img, RotateFlipType t)
{
    const int v = static_cast<int>(t);
    QImage r = (v & 3) ? img.transformed(QTransform().rotate(90 * (v & 3))) : img;
    return (v & 4) ? r.mirrored(true, false) : r;
}

TEST(TiffImage, RotateFlipTurnsTheActivePageInMemory)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(2);
    desc.xDpi = 204;
    desc.yDpi = 98;
    const QString path = WriteDoc(dir, "r.tif", desc);
    const QImage upright = RenderFaxPage(desc, 0).convertToFormat(QImage::Format_RGB888);
    for (int t = 0; t < 8; ++t) {
        SCOPED_TRACE(t);
        const auto type = static_cast<RotateFlipType>(t);
        CTiffImage img(path);
        img.RotateFlip(type);
        const QImage want = Reference(upright, type);
        ASSERT_EQ(QSize(img.GetWidth(), img.GetHeight()), want.size());
        const bool quarter = t & 1;
        EXPECT_FLOAT_EQ(img.GetHorizontalResolution(), quarter ? 98.0f : 204.0f);
        EXPECT_EQ(img.GetSquarePixelSize(),
                  quarter ? QSize(573 * 204 / 98, 432) : QSize(432, 573 * 204 / 98));
        EXPECT_EQ(MaxDiff(img.RenderScaled(want.width(), want.height(), InterpolationMode::LowQuality), want),
                  0);
        EXPECT_EQ(MaxDiff(img.DecodedImage(), want), 0);
    }
    // Turns add up: four quarter turns are none, and selecting a page starts it upright again.
    CTiffImage img(path);
    for (int i = 0; i < 3; ++i) {
        img.RotateFlip(RotateFlipType::Rotate90FlipNone);
    }
    img.RotateFlip(RotateFlipType::Rotate270FlipX);
    EXPECT_EQ(MaxDiff(img.DecodedImage(), Reference(upright, RotateFlipType::Rotate180FlipX)), 0);
    img.SelectActiveFrame(0);
    EXPECT_EQ(MaxDiff(img.DecodedImage(), upright), 0);
}

TEST(TiffImage, SelectingTheIndexEqualToTheCountKeepsThePreviousPage)
{
    TiffBuilder b;
    b.AddGreyPage(10, 10, 0);
    b.AddGreyPage(20, 30, 100);
    auto img = CTiffImage::FromBytes(b.Bytes());
    ASSERT_EQ(img->GetFrameCount(), 2);
    ASSERT_TRUE(img->SelectActiveFrame(1));
    EXPECT_FALSE(img->SelectActiveFrame(2));
    EXPECT_EQ(img->GetLastStatus(), ImageStatus::InvalidParameter);
    EXPECT_FALSE(img->SelectActiveFrame(-1));
    EXPECT_EQ(img->GetActiveFrame(), 1);
    EXPECT_EQ(QSize(img->GetWidth(), img->GetHeight()), QSize(20, 30));
    EXPECT_EQ(qRed(img->RenderScaled(4, 4, InterpolationMode::HighQuality).pixel(1, 1)), 100);
}

TEST(TiffImage, AnUndecodablePageIsEmptyAndNeverShowsAnotherPage)
{
    TiffBuilder b;
    b.AddGreyPage(10, 10, 0);
    b.AddGreyPage(10, 10, 90, {{259, testtiff::Short, {34712}}}); // JPEG 2000: no codec here
    b.AddGreyPage(10, 10, 180);
    auto img = CTiffImage::FromBytes(b.Bytes());
    ASSERT_EQ(img->GetFrameCount(), 3);
    EXPECT_FALSE(img->SelectActiveFrame(1));
    EXPECT_EQ(img->GetActiveFrame(), 1);
    EXPECT_EQ(img->GetWidth(), 0);
    EXPECT_EQ(img->RenderScaled(5, 5, InterpolationMode::LowQuality, qRgb(1, 2, 3)).pixel(2, 2),
              qRgb(1, 2, 3));
    ASSERT_TRUE(img->SelectActiveFrame(2));
    EXPECT_EQ(qRed(img->RenderScaled(5, 5, InterpolationMode::LowQuality).pixel(2, 2)), 180);
}

TEST(TiffImage, PagesAreCountedAlongTheChainAndReadDirectly)
{
    TiffBuilder b;
    const int pages = 5000;
    for (int i = 0; i < pages; ++i) {
        b.AddGreyPage(1 + i % 7, 1 + i % 5, static_cast<std::uint8_t>(i));
    }
    auto img = CTiffImage::FromBytes(b.Bytes());
    EXPECT_EQ(img->GetFrameCount(), pages);
    ASSERT_TRUE(img->SelectActiveFrame(4321));
    EXPECT_EQ(QSize(img->GetWidth(), img->GetHeight()), QSize(1 + 4321 % 7, 1 + 4321 % 5));
    EXPECT_EQ(qRed(img->RenderScaled(1, 1, InterpolationMode::LowQuality).pixel(0, 0)), 4321 % 256);
    ASSERT_TRUE(img->SelectActiveFrame(3));
    EXPECT_EQ(qRed(img->RenderScaled(1, 1, InterpolationMode::LowQuality).pixel(0, 0)), 3);
}

TEST(TiffImage, BrokenChainsEndTheCount)
{
    {
        SCOPED_TRACE("loop to itself");
        TiffBuilder b;
        const auto p = b.AddGreyPage(4, 4, 1);
        b.Link(p, p);
        EXPECT_EQ(CTiffImage::FromBytes(b.Bytes())->GetFrameCount(), 1);
    }
    {
        SCOPED_TRACE("loop back to the first page");
        TiffBuilder b;
        const auto p1 = b.AddGreyPage(4, 4, 1);
        b.AddGreyPage(4, 4, 2);
        const auto p3 = b.AddGreyPage(4, 4, 3);
        b.Link(p3, p1);
        auto img = CTiffImage::FromBytes(b.Bytes());
        EXPECT_EQ(img->GetFrameCount(), 3);
        EXPECT_FALSE(img->SelectActiveFrame(3));
    }
    {
        SCOPED_TRACE("next pointer beyond the end, and into the header");
        TiffBuilder b;
        const auto p1 = b.AddGreyPage(4, 4, 1);
        b.Link(p1, 0x7FFFFFF0);
        EXPECT_EQ(CTiffImage::FromBytes(b.Bytes())->GetFrameCount(), 1);
        b.Link(p1, 2);
        EXPECT_EQ(CTiffImage::FromBytes(b.Bytes())->GetFrameCount(), 1);
    }
    {
        SCOPED_TRACE("implausible entry counts");
        TiffBuilder b;
        b.AddGreyPage(4, 4, 1);
        const auto p2 = b.AddGreyPage(4, 4, 2);
        b.SetEntryCount(p2, 0);
        EXPECT_EQ(CTiffImage::FromBytes(b.Bytes())->GetFrameCount(), 1);
        b.SetEntryCount(p2, 60000);
        EXPECT_EQ(CTiffImage::FromBytes(b.Bytes())->GetFrameCount(), 1);
    }
    {
        SCOPED_TRACE("last directory cut off by the end of the file");
        TiffBuilder b;
        b.AddGreyPage(4, 4, 1);
        b.AddGreyPage(4, 4, 2);
        const QByteArray bytes = b.Bytes();
        EXPECT_EQ(CTiffImage::FromBytes(bytes)->GetFrameCount(), 2);
        EXPECT_EQ(CTiffImage::FromBytes(bytes.left(bytes.size() - 20))->GetFrameCount(), 1);
    }
}

TEST(TiffImage, PagesOverTheMemoryBudgetShowAtReducedResolution)
{
    // 100000 x 100000 grey pixels (10 GB) would take too long to read through for every thumbnail: the page
    // reads as too large, without any allocation.
    TiffBuilder b;
    b.AddGreyPage(4, 4, 7, {{256, testtiff::Long, {100000}}, {257, testtiff::Long, {100000}}});
    auto huge = CTiffImage::FromBytes(b.Bytes());
    EXPECT_EQ(huge->GetFrameCount(), 1);
    EXPECT_EQ(huge->GetWidth(), 0);
    EXPECT_EQ(huge->GetLastStatus(), ImageStatus::OutOfMemory);
    EXPECT_EQ(huge->RenderScaled(30, 30, InterpolationMode::HighQuality).pixel(5, 5), qRgb(255, 255, 255));

    // A budget of less than twice the 1-bit page (31 KB): its one strip is read a few rows at a time.
    TempDir dir;
    const QString path = WriteDoc(dir, "a.tif", SmallDoc(1));
    CTiffImage whole(path);
    const QImage thumb = whole.RenderScaled(75, 100, InterpolationMode::HighQuality);
    CTiffImage img(path);
    img.SetMaxDecodedBytes(50000);
    EXPECT_EQ(img.GetWidth(), 432);
    EXPECT_EQ(img.RenderScaled(75, 100, InterpolationMode::HighQuality), thumb);
    // The view gets the page from a form kept at reduced resolution (68 x 91 pixels here).
    const QImage small = whole.RenderScaled(40, 53, InterpolationMode::HighQuality);
    QImage paper(small.size(), small.format());
    paper.fill(Qt::white);
    const QImage part = img.RenderRegion(QSize(40, 53), QRect(0, 0, 40, 53), InterpolationMode::HighQuality);
    EXPECT_LT(MeanDiff(part, small), MeanDiff(paper, small) / 4);
    EXPECT_TRUE(img.DecodedImage().isNull());
    EXPECT_EQ(img.GetLastStatus(), ImageStatus::OutOfMemory);
    // A target that would not fit the budget beside it is refused.
    EXPECT_TRUE(
        img.RenderRegion(QSize(432, 573), QRect(0, 0, 432, 573), InterpolationMode::HighQuality).isNull());
    img.SetMaxDecodedBytes(CTiffImage::kDefaultMaxDecodedBytes);
    EXPECT_EQ(MaxDiff(img.DecodedImage(), whole.DecodedImage()), 0);
}

TEST(TiffImage, MemoryAndFileOpenAgree)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(3);
    desc.compression = FaxDocSpec::Compression::G3_2D;
    const QString path = WriteDoc(dir, "m.tif", desc);
    CTiffImage file(path);
    auto mem = CTiffImage::FromBytes(testsupport::ReadFile(path), QStringLiteral("m.tif"));
    ASSERT_EQ(mem->GetFrameCount(), 3);
    mem->SelectActiveFrame(2);
    file.SelectActiveFrame(2);
    EXPECT_EQ(MaxDiff(mem->RenderScaled(100, 140, InterpolationMode::HighQualityBicubic),
                      file.RenderScaled(100, 140, InterpolationMode::HighQualityBicubic)),
              0);
}

TEST(TiffImage, SeveralObjectsOnSeveralThreadsGiveTheSameThumbnails)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(6);
    desc.compression = FaxDocSpec::Compression::G3;
    const QString path = WriteDoc(dir, "t.tif", desc);
    auto thumbs = [&path] {
        std::vector<QImage> out;
        CTiffImage img(path);
        for (int i = 0; i < img.GetFrameCount(); ++i) {
            img.SelectActiveFrame(i);
            out.push_back(img.RenderScaled(75, 106, InterpolationMode::HighQuality));
        }
        return out;
    };
    const std::vector<QImage> expected = thumbs();
    std::vector<std::vector<QImage>> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results) {
        threads.emplace_back([&r, &thumbs] { r = thumbs(); });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const auto& r : results) {
        ASSERT_EQ(r.size(), expected.size());
        for (std::size_t i = 0; i < r.size(); ++i) {
            EXPECT_EQ(r[i], expected[i]);
        }
    }
}

} // namespace

namespace {

TEST(Mkfax, TheSameDescriptionGivesTheSameBytesAndBadOnesAreRefused)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(3);
    const QByteArray a = testsupport::ReadFile(WriteDoc(dir, "a.tif", desc));
    const QByteArray b = testsupport::ReadFile(WriteDoc(dir, "b.tif", desc));
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a, b);
    desc.seed = 2;
    EXPECT_NE(testsupport::ReadFile(WriteDoc(dir, "c.tif", desc)), a);

    QString error;
    desc.colour = FaxDocSpec::Colour::Grey; // Group 4 cannot hold grey pages
    EXPECT_FALSE(WriteTiffDocument(dir.File("d.tif"), desc, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.File("d.tif")));
    desc = SmallDoc(1);
    desc.tileWidth = 10; // tiles must be multiples of 16
    desc.tileHeight = 16;
    EXPECT_FALSE(WriteTiffDocument(dir.File("e.tif"), desc, &error));
    EXPECT_FALSE(WriteTiffDocument(dir.File("no/such/folder/f.tif"), SmallDoc(1), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
