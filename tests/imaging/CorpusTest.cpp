// The shared corpus of real TIFF files from other projects (not part of this repository): every file opens
// with the pages and sizes that libtiff's own tiffinfo reports; the malformed ones fail cleanly.

#include "ImagingTestUtil.h"
#include "imaging/TiffImage.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace imagingtest;

namespace {

struct TiffinfoPage
{
    QSize stored;
    bool transposed = false;
    double xRes = 0;
    double yRes = 0;
    QString unit; // "pixels/inch", "pixels/cm", "(unitless)" or empty
};

// The main-chain directories as tiffinfo lists them ("=== TIFF directory N ===" starts each; sub-
// directories printed inside a block are not pages).
std::vector<TiffinfoPage> Tiffinfo(const QString& tiffinfo, const QString& file)
{
    QProcess p;
    p.start(tiffinfo, {file});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<TiffinfoPage> pages;
    bool sizeSeen = true;
    bool resSeen = true;
    static const QRegularExpression size(QStringLiteral("Image Width: (\\d+) Image Length: (\\d+)"));
    static const QRegularExpression res(QStringLiteral("Resolution: ([0-9.e+-]+), ([0-9.e+-]+) ?(.*)$"));
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("=== TIFF directory"))) {
            pages.emplace_back();
            sizeSeen = resSeen = false;
        } else if (pages.empty()) {
            continue;
        } else if (auto m = size.match(line); m.hasMatch() && !sizeSeen) {
            pages.back().stored = QSize(m.captured(1).toInt(), m.captured(2).toInt());
            sizeSeen = true;
        } else if (auto r = res.match(line); r.hasMatch() && !resSeen) {
            pages.back().xRes = r.captured(1).toDouble();
            pages.back().yRes = r.captured(2).toDouble();
            pages.back().unit = r.captured(3).trimmed();
            resSeen = true;
        } else if (line.contains(QLatin1String("Orientation: row 0 lhs")) ||
                   line.contains(QLatin1String("Orientation: row 0 rhs"))) {
            pages.back().transposed = true;
        }
    }
    return pages;
}

QStringList Files(const QString& folder)
{
    QStringList out;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(QLatin1String(".md"))) {
            out << QDir(folder).filePath(name);
        }
    }
    return out;
}

TEST(Corpus, RealFilesHaveThePagesAndSizesTiffinfoReports)
{
    FOLIVANT_REQUIRE_SHARED_TESTDATA();
    const QString tiffinfo = QStandardPaths::findExecutable(QStringLiteral("tiffinfo"));
    if (tiffinfo.isEmpty()) {
        GTEST_SKIP() << "tiffinfo (libtiff-tools) not installed";
    }
    const QStringList files = Files(testsupport::SharedTestData() + QStringLiteral("/tiff/real"));
    ASSERT_GT(files.size(), 50);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const std::vector<TiffinfoPage> want = Tiffinfo(tiffinfo, file);
        CTiffImage img(file);
        ASSERT_EQ(img.GetFrameCount(), static_cast<int>(want.size()));
        for (int i = 0; i < img.GetFrameCount(); ++i) {
            SCOPED_TRACE(i);
            const TiffinfoPage& w = want[static_cast<std::size_t>(i)];
            ASSERT_TRUE(img.SelectActiveFrame(i));
            const QSize shown = w.transposed ? w.stored.transposed() : w.stored;
            EXPECT_EQ(QSize(img.GetWidth(), img.GetHeight()), shown);
            const double xr = w.transposed ? w.yRes : w.xRes;
            const double yr = w.transposed ? w.xRes : w.yRes;
            // Without a ResolutionUnit tag the TIFF default, inch, applies.
            if (w.unit == QLatin1String("pixels/inch") || (w.unit.isEmpty() && w.xRes > 0)) {
                EXPECT_NEAR(img.GetHorizontalResolution(), xr, 1e-3 * xr);
                EXPECT_NEAR(img.GetVerticalResolution(), yr, 1e-3 * yr);
            } else if (w.unit == QLatin1String("pixels/cm")) {
                EXPECT_NEAR(img.GetHorizontalResolution(), xr * 2.54, 0.01);
                EXPECT_NEAR(img.GetVerticalResolution(), yr * 2.54, 0.01);
            } else if (xr > 0 && yr > 0) {
                // Unitless: the pixels' aspect ratio is kept.
                EXPECT_NEAR(img.GetHorizontalResolution() / img.GetVerticalResolution(), xr / yr,
                            1e-3 * xr / yr);
            }
            const QImage t = img.RenderScaled(150, 212, InterpolationMode::HighQuality);
            EXPECT_EQ(t.size(), QSize(150, 212));
        }
    }
}

TEST(Corpus, OrientationSamplesAllShowTheSamePage)
{
    FOLIVANT_REQUIRE_SHARED_TESTDATA();
    const QString folder = testsupport::SharedTestData() + QStringLiteral("/tiff/real/");
    CTiffImage reference(folder + QStringLiteral("g4_orientation_1.tif"));
    const QImage full = reference.DecodedImage();
    ASSERT_EQ(full.size(), QSize(590, 88));
    const QImage thumb = reference.RenderScaled(150, 22, InterpolationMode::HighQuality);
    for (int o = 2; o <= 8; ++o) {
        SCOPED_TRACE(o);
        CTiffImage img(folder + QStringLiteral("g4_orientation_%1.tif").arg(o));
        // The samples were drawn separately, so a few edge pixels differ (about 0.2%, as ImageMagick's
        // -auto-orient shows too); a wrong turn would differ in a large part of the page.
        EXPECT_LT(DifferingPixels(img.DecodedImage(), full), full.width() * full.height() / 200);
        EXPECT_LT(DifferingPixels(img.RenderScaled(590, 88, InterpolationMode::LowQuality), full),
                  full.width() * full.height() / 200);
        EXPECT_LT(MeanDiff(img.RenderScaled(150, 22, InterpolationMode::HighQuality), thumb), 1.5);
    }
}

TEST(Corpus, MalformedFilesFailCleanly)
{
    FOLIVANT_REQUIRE_SHARED_TESTDATA();
    const QStringList files = Files(testsupport::SharedTestData() + QStringLiteral("/tiff/bad"));
    ASSERT_GT(files.size(), 30);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        CTiffImage img(file);
        Exercise(img);
    }
}

} // namespace
