// Bad input: cut-off files, flipped bits, nonsense tags, things that are not files. Every case must end
// cleanly: no crash, no hang, no unbounded allocation (the sanitizer build runs these too).

#include "ImagingTestUtil.h"
#include "TiffBuilder.h"
#include "imaging/TiffImage.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

using namespace imagingtest;
using testsupport::TempDir;
using testtiff::Entry;
using testtiff::Long;
using testtiff::Short;
using testtiff::TiffBuilder;

namespace {

std::vector<QByteArray> GeneratedDocuments(const TempDir& dir)
{
    using C = FaxDocSpec::Compression;
    using K = FaxDocSpec::Colour;
    std::vector<FaxDocSpec> descs;
    FaxDocSpec s = SmallDoc(3);
    descs.push_back(s); // G4, one strip per page
    s.compression = C::G3_2D;
    s.fillOrder = 2;
    s.rowsPerStrip = 40;
    descs.push_back(s);
    s = SmallDoc(2);
    s.colour = K::Grey;
    s.compression = C::Lzw;
    s.rowsPerStrip = 30;
    descs.push_back(s);
    s = SmallDoc(2);
    s.colour = K::Rgb;
    s.compression = C::Jpeg;
    s.tileWidth = s.tileHeight = 128;
    s.bigTiff = true;
    descs.push_back(s);
    std::vector<QByteArray> out;
    int i = 0;
    for (const FaxDocSpec& desc : descs) {
        out.push_back(testsupport::ReadFile(WriteDoc(dir, QStringLiteral("doc%1.tif").arg(i++), desc)));
    }
    return out;
}

TEST(Robustness, TruncatedDocumentsShowWhatIsThere)
{
    TempDir dir;
    for (const QByteArray& doc : GeneratedDocuments(dir)) {
        const int full = CTiffImage::FromBytes(doc)->GetFrameCount();
        // Cut at many lengths: inside the header, pixel data and directories.
        std::vector<int> lengths = {0, 1, 4, 7, 8, 9, 15, 16, 17};
        for (int n = 23; n < doc.size(); n += std::max(1, static_cast<int>(doc.size() / 97))) {
            lengths.push_back(n);
        }
        for (int n : lengths) {
            SCOPED_TRACE(n);
            auto img = CTiffImage::FromBytes(doc.left(n));
            EXPECT_LE(img->GetFrameCount(), full);
            Exercise(*img, 4);
        }
    }
    // The same through a real file.
    const QByteArray g4 = GeneratedDocuments(dir).front();
    testsupport::WriteFile(dir.File("cut.tif"), g4.left(g4.size() * 2 / 3));
    CTiffImage cut(dir.File("cut.tif"));
    EXPECT_GE(cut.GetFrameCount(), 1);
    Exercise(cut);
}

TEST(Robustness, DamagedBytesNeverCrash)
{
    TempDir dir;
    std::mt19937 rng(20240307);
    for (const QByteArray& doc : GeneratedDocuments(dir)) {
        for (int round = 0; round < 25; ++round) {
            QByteArray bad = doc;
            const int flips = 1 + static_cast<int>(rng() % 12);
            for (int f = 0; f < flips; ++f) {
                // Mostly near the directories and the header, where damage hurts most.
                const int at = (rng() % 2) ? static_cast<int>(rng() % 64)
                                           : static_cast<int>(rng() % static_cast<unsigned>(bad.size()));
                bad[at] = static_cast<char>(bad[at] ^ (1 << (rng() % 8)));
            }
            auto img = CTiffImage::FromBytes(bad);
            Exercise(*img, 4);
        }
    }
    for (int round = 0; round < 30; ++round) {
        QByteArray junk(static_cast<int>(8 + rng() % 600), '\0');
        for (char& c : junk) {
            c = static_cast<char>(rng());
        }
        junk.replace(0, 4, round % 2 ? QByteArray("II*\0", 4) : QByteArray("MM\0*", 4));
        junk[4] = 8;
        junk[5] = junk[6] = junk[7] = 0;
        auto img = CTiffImage::FromBytes(junk);
        Exercise(*img, 4);
    }
}

TEST(Robustness, NonsenseTagsFailCleanly)
{
    const std::vector<std::vector<Entry>> cases = {
        {{273, Long, {0x7FFFFFF0}}},                // strip beyond the end
        {{279, Long, {0xFFFFFFF0}}},                // strip length far beyond the file
        {{278, Long, {0}}},                         // no rows per strip
        {{258, Short, {0}}},                        // no bits per sample
        {{258, Short, {3}}},                        // 3 bits per sample
        {{258, Short, {64}}},                       // 64 bits per sample
        {{277, Short, {0}}},                        // no samples
        {{277, Short, {200}}},                      // 200 samples
        {{262, Short, {3}}},                        // palette without a colour map
        {{262, Short, {99}}},                       // unknown photometric
        {{259, Short, {4}}},                        // G4 on 8-bit data
        {{256, Long, {0}}},                         // no width
        {{257, Long, {0xFFFFFFFF}}},                // absurd height
        {{256, Long, {2000000}}, {257, Long, {4}}}, // longer than any page
        {{322, Long, {0xFFFF0}}, {323, Long, {16}}, {324, Long, {8}}, {325, Long, {64}}}, // huge tiles
        {{274, Short, {9}}}, // orientation out of range
        {{282, testtiff::Rational, {1, 0}}, {283, testtiff::Rational, {0xFFFFFFFF, 1}}}, // odd resolutions
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        TiffBuilder b;
        b.AddGreyPage(16, 8, 100, cases[i]);
        b.AddGreyPage(16, 8, 50);
        auto img = CTiffImage::FromBytes(b.Bytes());
        EXPECT_EQ(img->GetFrameCount(), 2);
        Exercise(*img);
        // The good page after the bad one is still there.
        EXPECT_TRUE(img->SelectActiveFrame(1));
        EXPECT_EQ(qRed(img->RenderScaled(4, 2, InterpolationMode::HighQuality).pixel(1, 1)), 50);
    }
}

TEST(Robustness, RowsCutOffByTheEndOfTheFileReadAsPaper)
{
    // A black page whose strip starts 48 bytes before the end of the file: the three rows that are there
    // are shown (they hold the directory's bytes), the five that are not must show paper, not whatever
    // the buffer held.
    TiffBuilder probe;
    probe.AddGreyPage(16, 8, 0);
    const auto size = static_cast<std::uint32_t>(probe.Bytes().size());
    TiffBuilder b;
    b.AddGreyPage(16, 8, 0, {{273, Long, {size - 48}}});
    ASSERT_EQ(static_cast<std::uint32_t>(b.Bytes().size()), size);
    auto img = CTiffImage::FromBytes(b.Bytes());
    for (bool decodedFirst : {false, true}) {
        if (decodedFirst) {
            ASSERT_FALSE(img->DecodedImage().isNull());
        }
        const QImage t = img->RenderScaled(16, 8, InterpolationMode::LowQuality);
        for (int y = 3; y < 8; ++y) {
            EXPECT_EQ(qRed(t.pixel(5, y)), 255) << y;
        }
    }
    EXPECT_EQ(img->GetLastStatus(), ImageStatus::DecodeError);
}

TEST(Robustness, NamedPipesAndFoldersAreNotOpened)
{
    TempDir dir;
    const QString fifo = dir.File("pipe.tif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    CTiffImage pipe(fifo); // must not wait for a writer
    EXPECT_FALSE(pipe.IsOpen());
    EXPECT_EQ(pipe.GetLastStatus(), ImageStatus::FileNotFound);
    CTiffImage folder(dir.Path());
    EXPECT_FALSE(folder.IsOpen());
    Exercise(folder);
}

} // namespace
