// Scaled rendering: what each quality mode makes of known pages, parts equal to the whole, drawing.

#include "ImagingTestUtil.h"
#include "imaging/Resampler.h"
#include "imaging/TiffImage.h"

#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace imagingtest;
using testsupport::TempDir;

namespace {

const InterpolationMode kModes[] = {InterpolationMode::LowQuality, InterpolationMode::HighQuality,
                                    InterpolationMode::HighQualityBicubic};

// A single page drawn pixel by pixel.
FaxDocSpec PixelDoc(int w, int h, FaxDocSpec::Colour colour, std::function<void(QImage&)> paint)
{
    FaxDocSpec s;
    s.pages = 1;
    s.width = w;
    s.height = h;
    s.colour = colour;
    s.compression =
        colour == FaxDocSpec::Colour::Bilevel ? FaxDocSpec::Compression::G4 : FaxDocSpec::Compression::Lzw;
    s.paintPage = [paint](QImage& img, int) {
        paint(img);
    };
    return s;
}

int Grey(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y));
}

TEST(Render, AOnePixelLineOnAFaxPageSurvivesShrinkingAsGrey)
{
    TempDir dir;
    const FaxDocSpec desc = PixelDoc(1728, 2292, FaxDocSpec::Colour::Bilevel, [](QImage& img) {
        for (int x = 100; x < 1600; ++x) {
            img.scanLine(1000)[x] = 0;
        }
        for (int y = 100; y < 2000; ++y) {
            img.scanLine(y)[800] = 0;
        }
    });
    CTiffImage img(WriteDoc(dir, "line.tif", desc));
    for (InterpolationMode mode : kModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        const QImage t = img.RenderScaled(150, 212, mode);
        const int row = 1000 * 212 / 2292;
        const int col = 800 * 150 / 1728;
        // Along the horizontal line every column shows it, as grey: neither lost nor blown up to black.
        for (int x = 12; x < 135; ++x) {
            if (std::abs(x - col) <= 2) {
                continue;
            }
            int darkest = 255;
            for (int y = row - 2; y <= row + 2; ++y) {
                darkest = std::min(darkest, Grey(t, x, y));
            }
            ASSERT_LT(darkest, 250) << "column " << x;
            ASSERT_GT(darkest, 150) << "column " << x;
        }
        for (int y = 12; y < 170; ++y) {
            if (std::abs(y - row) <= 2) {
                continue;
            }
            int darkest = 255;
            for (int x = col - 2; x <= col + 2; ++x) {
                darkest = std::min(darkest, Grey(t, x, y));
            }
            ASSERT_LT(darkest, 250) << "row " << y;
            ASSERT_GT(darkest, 150) << "row " << y;
        }
        // Paper away from the lines stays exactly white.
        for (int y = 0; y < 212; ++y) {
            for (int x = 0; x < 150; ++x) {
                if (std::abs(y - row) > 3 && std::abs(x - col) > 3) {
                    ASSERT_EQ(Grey(t, x, y), 255) << x << "," << y;
                }
            }
        }
    }
}

TEST(Render, FaxThumbnailsAreGreyInEveryMode)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(1);
    desc.width = 1728;
    desc.height = 2292;
    CTiffImage img(WriteDoc(dir, "fax.tif", desc));
    for (InterpolationMode mode : kModes) {
        const QImage t = img.RenderScaled(150, 212, mode);
        std::set<int> values;
        for (int y = 0; y < t.height(); ++y) {
            for (int x = 0; x < t.width(); ++x) {
                values.insert(Grey(t, x, y));
            }
        }
        EXPECT_GT(values.size(), 50u) << static_cast<int>(mode);
    }
}

TEST(Render, EvenPagesStayEvenWhenShrunkOrEnlarged)
{
    TempDir dir;
    CTiffImage white(WriteDoc(dir, "w.tif", PixelDoc(333, 517, FaxDocSpec::Colour::Bilevel, [](QImage&) {})));
    CTiffImage grey(WriteDoc(dir, "g.tif", PixelDoc(333, 517, FaxDocSpec::Colour::Grey, [](QImage& img) {
                                 img.fill(qRgb(77, 77, 77));
                             })));
    CTiffImage black(WriteDoc(dir, "b.tif", PixelDoc(333, 517, FaxDocSpec::Colour::Bilevel, [](QImage& img) {
                                  img.fill(Qt::black);
                              })));
    for (InterpolationMode mode : kModes) {
        for (QSize size : {QSize(100, 141), QSize(1000, 1541), QSize(40, 900)}) {
            for (auto [img, value] : {std::pair{&white, 255}, std::pair{&grey, 77}, std::pair{&black, 0}}) {
                const QImage t = img->RenderScaled(size.width(), size.height(), mode);
                const QImage want(size, QImage::Format_RGB888);
                QImage expected = want;
                expected.fill(qRgb(value, value, value));
                ASSERT_EQ(MaxDiff(t, expected), 0) << static_cast<int>(mode) << " " << value;
            }
        }
    }
}

TEST(Render, KnownAveragesAndInterpolations)
{
    TempDir dir;
    CTiffImage three(WriteDoc(dir, "3.tif", PixelDoc(3, 1, FaxDocSpec::Colour::Grey, [](QImage& img) {
                                  img.scanLine(0)[0] = 0;
                                  img.scanLine(0)[1] = 90;
                                  img.scanLine(0)[2] = 255;
                              })));
    auto row = [](const QImage& t) {
        std::vector<int> v;
        for (int x = 0; x < t.width(); ++x) {
            v.push_back(Grey(t, x, 0));
        }
        return v;
    };
    // 3 -> 1: both averages take all three pixels.
    EXPECT_EQ(row(three.RenderScaled(1, 1, InterpolationMode::LowQuality)), std::vector<int>{115});
    EXPECT_EQ(row(three.RenderScaled(1, 1, InterpolationMode::HighQuality)), std::vector<int>{115});
    // 3 -> 2: the box takes whole pixels [0,1) and [1,3); the area average halves the middle pixel.
    EXPECT_EQ(row(three.RenderScaled(2, 1, InterpolationMode::LowQuality)), (std::vector<int>{0, 173}));
    EXPECT_EQ(row(three.RenderScaled(2, 1, InterpolationMode::HighQuality)), (std::vector<int>{30, 200}));

    CTiffImage two(WriteDoc(dir, "2.tif", PixelDoc(2, 1, FaxDocSpec::Colour::Grey, [](QImage& img) {
                                img.scanLine(0)[0] = 0;
                                img.scanLine(0)[1] = 255;
                            })));
    EXPECT_EQ(row(two.RenderScaled(4, 1, InterpolationMode::LowQuality)), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(row(two.RenderScaled(4, 1, InterpolationMode::HighQuality)),
              (std::vector<int>{0, 64, 191, 255}));
    const std::vector<int> cubic = row(two.RenderScaled(4, 1, InterpolationMode::HighQualityBicubic));
    EXPECT_EQ(cubic.front(), 0);
    EXPECT_EQ(cubic.back(), 255);
    EXPECT_LT(cubic[1], 128);
    EXPECT_GT(cubic[2], 128);

    // A bilevel checkerboard of 2 x 2 squares halved is an even 50% grey.
    CTiffImage board(WriteDoc(dir, "c.tif", PixelDoc(64, 64, FaxDocSpec::Colour::Bilevel, [](QImage& img) {
                                  for (int y = 0; y < 64; ++y) {
                                      for (int x = 0; x < 64; ++x) {
                                          img.scanLine(y)[x] = ((x / 2 + y / 2) % 2) ? 0 : 255;
                                      }
                                  }
                              })));
    for (InterpolationMode mode : {InterpolationMode::LowQuality, InterpolationMode::HighQuality}) {
        const QImage t = board.RenderScaled(16, 16, mode);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                ASSERT_EQ(Grey(t, x, y), 128);
            }
        }
    }
}

// Fixed pseudo-random parts of a target, including its edges and corners.
std::vector<QRect> Parts(QSize full, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<QRect> parts = {QRect(QPoint(0, 0), full), QRect(0, 0, 1, 1),
                                QRect(full.width() - 7, full.height() - 5, 7, 5),
                                QRect(full.width() / 3, 0, full.width() / 3, full.height())};
    for (int i = 0; i < 6; ++i) {
        const int x = static_cast<int>(rng() % static_cast<unsigned>(full.width()));
        const int y = static_cast<int>(rng() % static_cast<unsigned>(full.height()));
        const int w = 1 + static_cast<int>(rng() % static_cast<unsigned>(full.width() - x));
        const int h = 1 + static_cast<int>(rng() % static_cast<unsigned>(full.height() - y));
        parts.emplace_back(x, y, std::min(w, 300), std::min(h, 300));
    }
    return parts;
}

TEST(Render, PartsEqualTheSamePartOfTheWholeRender)
{
    TempDir dir;
    struct Doc
    {
        const char* name;
        FaxDocSpec::Colour colour;
        FaxDocSpec::Compression compression;
        int orientation;
    };
    const Doc docs[] = {
        {"bilevel", FaxDocSpec::Colour::Bilevel, FaxDocSpec::Compression::G4, 1},
        {"bilevel-o6", FaxDocSpec::Colour::Bilevel, FaxDocSpec::Compression::G4, 6},
        {"grey-o3", FaxDocSpec::Colour::Grey, FaxDocSpec::Compression::Lzw, 3},
        {"rgb-o5", FaxDocSpec::Colour::Rgb, FaxDocSpec::Compression::Lzw, 5},
    };
    const QSize fulls[] = {QSize(150, 212), QSize(431, 572), QSize(1296, 1719), QSize(300, 1500)};
    unsigned seed = 1;
    for (const Doc& doc : docs) {
        FaxDocSpec desc = SmallDoc(1);
        desc.colour = doc.colour;
        desc.compression = doc.compression;
        desc.orientation = doc.orientation;
        const QString path = WriteDoc(dir, QString::fromLatin1(doc.name) + QStringLiteral(".tif"), desc);
        for (int turn : {0, 5}) {
            for (InterpolationMode mode : kModes) {
                for (QSize full : fulls) {
                    CTiffImage img(path);
                    img.RotateFlip(static_cast<RotateFlipType>(turn));
                    const QImage whole = img.RenderScaled(full.width(), full.height(), mode); // streamed
                    for (const QRect& part : Parts(full, seed++)) {
                        const QImage piece = img.RenderRegion(full, part, mode); // from the decoded page
                        ASSERT_EQ(MaxDiff(piece, whole.copy(part)), 0)
                            << doc.name << " turn " << turn << " mode " << static_cast<int>(mode) << " full "
                            << full.width() << "x" << full.height() << " part " << part.x() << "," << part.y()
                            << " " << part.width() << "x" << part.height();
                    }
                    // Once decoded, the whole render takes the kept page and still agrees.
                    EXPECT_EQ(MaxDiff(img.RenderScaled(full.width(), full.height(), mode), whole), 0);
                }
            }
        }
    }
}

// Rows from memory for the scaler.
class MemoryRows : public imaging::RowProvider
{
public:
    MemoryRows(const std::vector<std::uint8_t>& data, std::int64_t stride) : m_data(data), m_stride(stride) {}
    const std::uint8_t* Row(int y) override { return m_data.data() + y * m_stride; }

private:
    const std::vector<std::uint8_t>& m_data;
    std::int64_t m_stride;
};

TEST(Render, BitCountingShortcutGivesTheSameSumsAsTheGeneralCode)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        const int w = 1 + static_cast<int>(rng() % 700);
        const int h = 1 + static_cast<int>(rng() % 300);
        const std::int64_t stride = (w + 7) / 8;
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride * h + 8), 0);
        const unsigned density = 1 + rng() % 8; // from sparse to dense ink
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (rng() % 8 < density) {
                    bits[static_cast<std::size_t>(y * stride + x / 8)] |=
                        static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            }
        }
        MemoryRows rows(bits, stride);
        imaging::ScaleInput in;
        in.kind = imaging::PixelKind::Mono;
        in.width = w;
        in.height = h;
        in.ink = static_cast<std::uint8_t>(rng() % 100);
        in.paper = static_cast<std::uint8_t>(155 + rng() % 100);
        in.rows = &rows;
        const int tw = 1 + static_cast<int>(rng() % static_cast<unsigned>(w));
        const int th = 1 + static_cast<int>(rng() % static_cast<unsigned>(h));
        const int x = static_cast<int>(rng() % static_cast<unsigned>(tw));
        const int y = static_cast<int>(rng() % static_cast<unsigned>(th));
        const QRect region(x, y, 1 + static_cast<int>(rng() % static_cast<unsigned>(tw - x)),
                           1 + static_cast<int>(rng() % static_cast<unsigned>(th - y)));
        for (InterpolationMode mode : {InterpolationMode::LowQuality, InterpolationMode::HighQuality}) {
            std::vector<std::uint8_t> fast(static_cast<std::size_t>(region.width() * region.height()));
            std::vector<std::uint8_t> general(fast.size());
            ASSERT_TRUE(imaging::ScaleRegion(in, tw, th, region, mode, fast.data(), region.width(), true));
            ASSERT_TRUE(
                imaging::ScaleRegion(in, tw, th, region, mode, general.data(), region.width(), false));
            ASSERT_EQ(fast, general) << "round " << round << " " << w << "x" << h << " -> " << tw << "x"
                                     << th;
        }
    }
}

TEST(Render, DrawOnAnImageScalesOnlyTheVisiblePart)
{
    TempDir dir;
    CTiffImage img(WriteDoc(dir, "d.tif", SmallDoc(1)));
    const QRect target(-40, 20, 700, 930);
    const QImage whole = img.RenderScaled(target.width(), target.height(), InterpolationMode::HighQuality);

    QImage canvas(600, 400, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    {
        QPainter p(&canvas);
        p.setClipRect(QRect(100, 50, 200, 100));
        img.Draw(p, target, InterpolationMode::HighQuality);
    }
    EXPECT_EQ(MaxDiff(canvas.copy(100, 50, 200, 100), whole.copy(140, 30, 200, 100)), 0);
    EXPECT_EQ(canvas.pixel(99, 50), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(300, 149), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(100, 150), qRgb(255, 0, 0));

    // Without a clip, the device bounds limit the work; a translated painter is followed.
    canvas.fill(Qt::red);
    {
        QPainter p(&canvas);
        p.translate(10, 5);
        img.Draw(p, target, InterpolationMode::HighQuality);
    }
    EXPECT_EQ(MaxDiff(canvas.copy(0, 25, 600, 375), whole.copy(30, 0, 600, 375)), 0);
    EXPECT_EQ(canvas.pixel(0, 24), qRgb(255, 0, 0));
}

TEST(Render, PrintingHandsTheBilevelPageOverAsOneBitData)
{
    TempDir dir;
    FaxDocSpec desc = SmallDoc(1);
    desc.width = 1728;
    desc.height = 2292;
    CTiffImage img(WriteDoc(dir, "p.tif", desc));
    const QString pdf = dir.File("p.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        QPainter p(&writer);
        img.Draw(p, QRect(0, 0, 2400, 3300), InterpolationMode::HighQuality);
    }
    const QByteArray bytes = testsupport::ReadFile(pdf);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes.contains("/BitsPerComponent 1")) << "the page went out as more than 1 bit per pixel";
    EXPECT_LT(bytes.size(), 200 * 1024);
}

} // namespace
