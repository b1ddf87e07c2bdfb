// Page look-up: the directory offsets of a file are learned once and shared by the objects opened on the
// same unchanged file; a file that changes on disk is walked again.

#include "ImagingTestUtil.h"
#include "TiffBuilder.h"
#include "imaging/IfdChain.h"
#include "imaging/TiffImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using testsupport::TempDir;
using testtiff::TiffBuilder;

namespace {

// Pages of w x h grey pixels, page i all of value `values[i]`.
QByteArray GreyPages(const std::vector<int>& values, int w = 4, int h = 4)
{
    TiffBuilder b;
    for (int v : values) {
        b.AddGreyPage(w, h, static_cast<std::uint8_t>(v));
    }
    return b.Bytes();
}

// The grey values of all pages, each read by its own selection.
std::vector<int> PageValues(CTiffImage& img)
{
    std::vector<int> out;
    for (int i = 0; i < img.GetFrameCount(); ++i) {
        img.SelectActiveFrame(i);
        out.push_back(qRed(img.RenderScaled(1, 1, InterpolationMode::LowQuality).pixel(0, 0)));
    }
    return out;
}

bool SharesWalk(const QString& path)
{
    imaging::ByteSource::OpenResult r;
    auto src = imaging::ByteSource::OpenFile(path, &r);
    imaging::TiffHeader header;
    return src && imaging::ReadTiffHeader(*src, &header) && imaging::IfdChain(*src, header).Shared();
}

// Waits until the file is older than any change the file system's clock could still give the same time
// stamps (a few hundredths of a second, or seconds where it keeps whole seconds).
void LetSettle(const QString& path)
{
    for (int i = 0; i < 100 && !SharesWalk(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

TEST(PageLookup, AFileRewrittenBetweenTwoOpensIsWalkedAgain)
{
    imaging::IfdChain::ForgetAll();
    TempDir dir;
    const QString path = dir.File("doc.tif");
    testsupport::WriteFile(path, GreyPages({10, 20, 30}));
    EXPECT_FALSE(SharesWalk(path)); // just written: it could change again within the same clock tick
    LetSettle(path);
    ASSERT_TRUE(SharesWalk(path));
    CTiffImage first(path);
    EXPECT_EQ(PageValues(first), (std::vector<int>{10, 20, 30}));

    // Other pages, another count, other sizes: rewritten in place while the first object stays open.
    testsupport::WriteFile(path, GreyPages({50, 60, 70, 80, 90}, 6, 3));
    LetSettle(path);
    CTiffImage second(path);
    EXPECT_EQ(PageValues(second), (std::vector<int>{50, 60, 70, 80, 90}));
    second.SelectActiveFrame(4);
    EXPECT_EQ(second.GetWidth(), 6);

    // The same size, the chain in another order: only the time stamps tell the files apart.
    LetSettle(path);
    CTiffImage(path).GetFrameCount();
    TiffBuilder reordered;
    std::vector<std::uint32_t> ifd;
    for (int v : {50, 60, 70, 80, 90}) {
        ifd.push_back(reordered.AddGreyPage(6, 3, static_cast<std::uint8_t>(v)));
    }
    reordered.SetFirst(ifd[4]);
    reordered.Link(ifd[4], ifd[3]);
    reordered.Link(ifd[3], ifd[2]);
    reordered.Link(ifd[2], ifd[1]);
    reordered.Link(ifd[1], ifd[0]);
    reordered.Link(ifd[0], 0);
    ASSERT_EQ(reordered.Bytes().size(), GreyPages({50, 60, 70, 80, 90}, 6, 3).size());
    testsupport::WriteFile(path, reordered.Bytes());
    LetSettle(path);
    CTiffImage third(path);
    EXPECT_EQ(PageValues(third), (std::vector<int>{90, 80, 70, 60, 50}));
    // Rewritten again at once with the same size: nothing learned from the previous content is used.
    testsupport::WriteFile(path, GreyPages({1, 2, 3, 4, 5}, 6, 3));
    CTiffImage fourth(path);
    EXPECT_EQ(PageValues(fourth), (std::vector<int>{1, 2, 3, 4, 5}));
    // What the first object read before stays its own.
    EXPECT_EQ(first.GetFrameCount(), 3);
}

// The thumbnail loader and the page view each open the same file on their own thread.
TEST(PageLookup, ObjectsOnSeveralThreadsShareOneWalk)
{
    imaging::IfdChain::ForgetAll();
    TempDir dir;
    const QString path = dir.File("long.tif");
    std::vector<int> values;
    for (int i = 0; i < 1500; ++i) {
        values.push_back(i % 251);
    }
    testsupport::WriteFile(path, GreyPages(values, 2, 2));
    LetSettle(path);
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            // Each thread asks for pages in another order, with a fresh object now and then.
            auto img = std::make_unique<CTiffImage>(path);
            for (int k = 0; k < 300; ++k) {
                const int page = (t % 2 == 0) ? (k * 7 + t * 131) % 1500 : 1499 - (k * 5 + t) % 1500;
                if (k % 50 == 0) {
                    img = std::make_unique<CTiffImage>(path);
                }
                img->SelectActiveFrame(page);
                const int v = qRed(img->RenderScaled(1, 1, InterpolationMode::LowQuality).pixel(0, 0));
                wrong[static_cast<std::size_t>(t)] += v != values[static_cast<std::size_t>(page)];
            }
            wrong[static_cast<std::size_t>(t)] += img->GetFrameCount() != 1500;
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

} // namespace
