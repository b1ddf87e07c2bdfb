// The real program on a real X server with a window manager: what a person sees of an opened fax.
#include "FramedFax.h"
#include "XSession.h"
#include "support/TestSupport.h"

#include <QFileInfo>

using namespace xwin;
using testsupport::Describe;

namespace {

// How long a wrong screen of an idle program is watched before a wait gives up.
constexpr int kQuietMs = 3000;

// Waits until the main window shows the framed page such that `done` holds (a window not painted yet is
// dark all over, a page still being laid out may be anywhere); the last measurement stays in `page`.
bool WaitForPage(XSession& x, WindowId main, double scale, QImage* shot, QRect* page,
                 const std::function<bool(const QRect&)>& done)
{
    const qint64 pid = x.Pid(main);
    std::pair<QRect, qint64> seen;
    return testsupport::WaitForSettled(
        [&] {
            *shot = x.Grab(main);
            *page = FramedPage(*shot, static_cast<int>(100 * scale));
            seen = {*page, CpuTime(pid)};
            // Below the bars, and inside the window on the left and right.
            return page->width() > 100 * scale && page->top() > 20 * scale && page->left() > 0 &&
                   page->right() < shot->width() - 1 && done(*page);
        },
        seen, 20000, kQuietMs);
}

const QByteArray kNoThumbnails = "[Thumb]\nOn=0\n[Misc]\nAbout=1\n";

class ProgramWindowTest : public ::testing::TestWithParam<double>
{
};

// At every scale the opened fax appears in the page view: its framed first page, not an empty view. When the
// program says it has painted page 1 (the moment the cold-start benchmark takes), the page is on the screen.
TEST_P(ProgramWindowTest, OpenedFaxShowsItsPage)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    XProgram program(x, scale);
    program.UserSettings(kNoThumbnails);
    const QString stamp = program.DocsDir() + QStringLiteral("/first-paint");
    program.Environment(QStringLiteral("FOLIVANT_STAMP_FIRST_PAINT"), stamp);
    const QString fax = MakeFramedFax(program.DocsDir() + QStringLiteral("/framed.tif"), 3);
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    ASSERT_TRUE(testsupport::WaitFor([&] { return QFileInfo::exists(stamp); }, 20000));
    QImage shot = x.Grab(main);
    QRect page = FramedPage(shot, static_cast<int>(100 * scale));
    EXPECT_GT(page.width(), 100 * scale)
        << "no page on the screen at the first-paint stamp: " << Describe(page);
    const bool shown = WaitForPage(x, main, scale, &shot, &page, [](const QRect&) { return true; });
    XSession::Keep(shot, QStringLiteral("opened-fax-scale-%1").arg(scale));
    EXPECT_TRUE(shown) << "no page in the main window at scale " << scale << ": " << Describe(page);
}

INSTANTIATE_TEST_SUITE_P(Scales, ProgramWindowTest, ::testing::Values(1.0, 2.0));

class WholePageTest : public ProgramWindowTest
{
};

// "Ganze Seite" at start: the whole page is on the screen with the page's own shape.
TEST_P(WholePageTest, WholePageInItsShape)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    XProgram program(x, scale);
    program.UserSettings(kNoThumbnails);
    const QString fax = MakeFramedFax(program.DocsDir() + QStringLiteral("/framed.tif"), 1);
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    QImage shot;
    QRect page;
    const bool whole = WaitForPage(x, main, scale, &shot, &page, [&](const QRect& p) {
        // The bottom edge inside the window, and the page's own shape.
        return p.bottom() < shot.height() - 1 &&
               std::abs(double(p.width()) / p.height() - kPageAspect) < 0.02;
    });
    XSession::Keep(shot, QStringLiteral("whole-page-scale-%1").arg(scale));
    EXPECT_TRUE(whole) << "not the whole page in its shape at scale " << scale << ": " << Describe(page)
                       << " in " << shot.width() << " x " << shot.height();
}

// The page view renders in device pixels at every screen scale.
INSTANTIATE_TEST_SUITE_P(Scales, WholePageTest, ::testing::Values(1.0, 1.5, 2.0));

// The thumbnails in the strip on the left (default settings: width 150, a vertical strip) as the screen
// shows them: the boxes of the framed pages that lie wholly in the strip, top to bottom.
struct ShownThumb
{
    QRect box;
    bool highlighted = false; // its label band shows a colour, not white with black text
    bool operator==(const ShownThumb&) const = default;
};

std::vector<ShownThumb> StripThumbs(const QImage& shot, double scale)
{
    const int w = static_cast<int>(std::lround(150 * scale));
    const int h = static_cast<int>(std::lround(212 * scale));
    const int stripRight = static_cast<int>(230 * scale); // the page view lies to the right of this
    // Rows holding a dark run as long as a thumbnail is wide: the upper and lower edges of the frames.
    std::vector<QRect> edges;
    for (int y = 0; y < shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x <= stripRight; ++x) {
            if (x < stripRight && Dark(shot.pixel(x, y))) {
                ++run;
                continue;
            }
            if (run >= w - 2 && run <= w + 2 && x < stripRight) {
                edges.push_back(QRect(x - run, y, run, 1));
            }
            run = 0;
        }
    }
    std::vector<ShownThumb> thumbs;
    for (const QRect& top : edges) {
        for (const QRect& bottom : edges) {
            if (bottom.y() - top.y() + 1 != h || std::abs(bottom.x() - top.x()) > 1) {
                continue;
            }
            // The one directly above the box's top row is not part of the frame.
            if (top.y() > 0 && Dark(shot.pixel(top.center().x(), top.y() - 1))) {
                continue;
            }
            ShownThumb t;
            t.box = QRect(top.topLeft(), bottom.bottomRight());
            // The middle of the label band below the thumbnail (the label may be narrower than it).
            const QRect band(t.box.left() + t.box.width() * 3 / 10,
                             t.box.bottom() + static_cast<int>(6 * scale), t.box.width() * 4 / 10,
                             static_cast<int>(10 * scale));
            const int coloured = CountPixels(shot, band, [](QRgb c) {
                return !Dark(c) && (std::min({qRed(c), qGreen(c), qBlue(c)}) < 235);
            });
            t.highlighted = coloured * 2 > band.width() * band.height();
            thumbs.push_back(t);
        }
    }
    return thumbs;
}

class StripWindowTest : public ProgramWindowTest
{
};

// The highlighted label follows the current page down the strip and to its end, where the last label is
// scrolled into view; thumbnails are painted at their size and, on a scaled screen, sharp (rendered in
// device pixels, not enlarged). Ctrl with the number pad's plus and minus zooms the page.
TEST_P(StripWindowTest, HighlightFollowsThePageAndThumbnailsAreSharp)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    XProgram program(x, scale);
    program.UserSettings("[Misc]\nAbout=1\n");
    const QString fax = MakeFramedFax(program.DocsDir() + QStringLiteral("/strip.tif"), 12);
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    ASSERT_TRUE(x.Activate(main));

    QImage shot;
    std::vector<ShownThumb> thumbs;
    // Waits until the strip shows at least `least` thumbnails, exactly one of them highlighted, for which
    // `which` holds; false after the deadline.
    const auto waitFor = [&](size_t least, const std::function<bool(size_t index)>& which) {
        std::pair<std::vector<ShownThumb>, qint64> seen;
        return testsupport::WaitForSettled(
            [&] {
                shot = x.Grab(main);
                thumbs = StripThumbs(shot, scale);
                seen = {thumbs, CpuTime(program.Pid())};
                size_t lit = 0;
                size_t at = 0;
                for (size_t i = 0; i < thumbs.size(); ++i) {
                    if (thumbs[i].highlighted) {
                        ++lit;
                        at = i;
                    }
                }
                return thumbs.size() >= least && lit == 1 && which(at);
            },
            seen, 20000, kQuietMs);
    };
    const auto describe = [&] {
        std::string d = std::to_string(thumbs.size()) + " thumbnails:";
        for (const ShownThumb& t : thumbs) {
            d += " " + Describe(t.box) + (t.highlighted ? " (highlighted)" : "");
        }
        return d;
    };
    const auto tag = [&](const char* what) {
        return QStringLiteral("strip-%1-scale-%2").arg(what).arg(scale);
    };

    // Page 1: the first thumbnail is the highlighted one.
    ASSERT_TRUE(waitFor(2, [&](size_t i) { return i == 0 && thumbs[0].box.top() < 200 * scale; }))
        << describe();
    XSession::Keep(shot, tag("open"));
    for (const ShownThumb& t : thumbs) {
        EXPECT_EQ(t.box.size(), QSize(static_cast<int>(std::lround(150 * scale)),
                                      static_cast<int>(std::lround(212 * scale))))
            << Describe(t.box);
    }
    if (scale > 1 && !thumbs.empty()) {
        // Enlarged from a thumbnail of 150 x 212 pixels, every pair of screen columns would be alike.
        const QRect b = thumbs[0].box;
        int differing = 0;
        for (int y = b.top(); y <= b.bottom(); ++y) {
            for (int col = b.left(); col + 1 <= b.right(); col += 2) {
                differing += shot.pixel(col, y) != shot.pixel(col + 1, y) ? 1 : 0;
            }
        }
        EXPECT_GT(differing, b.height()) << "the thumbnail is not sharp at scale " << scale;
    }

    // Down: the highlight leaves page 1 for the next thumbnail below it.
    const int firstTop = thumbs.empty() ? 0 : thumbs[0].box.top();
    x.Keys({QStringLiteral("Down")});
    ASSERT_TRUE(waitFor(1, [&](size_t i) {
        return thumbs[i].box.top() != firstTop && (i == 0 || !thumbs[i - 1].highlighted);
    })) << describe();
    XSession::Keep(shot, tag("down"));

    // End: the last page's thumbnail and its label are in view at the strip's end, highlighted.
    x.Keys({QStringLiteral("End")});
    ASSERT_TRUE(waitFor(1, [&](size_t i) {
        return i + 1 == thumbs.size() && thumbs[i].box.top() > firstTop;
    })) << describe();
    XSession::Keep(shot, tag("end"));

    // The number pad's Ctrl+plus and Ctrl+minus zoom the page in the page view.
    const auto pageWidth = [&] {
        const QImage view =
            x.Grab(main).copy(QRect(static_cast<int>(240 * scale), 0, shot.width(), shot.height()));
        return FramedPage(view, static_cast<int>(100 * scale)).width();
    };
    const int before = pageWidth();
    x.Keys({QStringLiteral("ctrl+KP_Add")});
    int zoomed = 0;
    std::pair<int, qint64> seen;
    const auto width = [&](int* w) {
        seen = {* w = pageWidth(), CpuTime(program.Pid())};
        return *w;
    };
    ASSERT_TRUE(testsupport::WaitForSettled([&] { return width(&zoomed) > before; }, seen, 20000, kQuietMs))
        << before << " -> " << zoomed;
    x.Keys({QStringLiteral("ctrl+KP_Subtract")});
    int back = 0;
    EXPECT_TRUE(testsupport::WaitForSettled([&] { return width(&back) < zoomed; }, seen, 20000, kQuietMs))
        << zoomed << " -> " << back;
}

INSTANTIATE_TEST_SUITE_P(Scales, StripWindowTest, ::testing::Values(1.0, 2.0));

// A fax double-clicked in the file manager (its path on the command line): Ctrl+N opens the next file of
// its folder and Ctrl+V the one before.
TEST(FolderWindowTest, CtrlNAndCtrlVStepThroughTheFolderOfTheStartFile)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    XProgram program(x);
    program.UserSettings(kNoThumbnails);
    const QString first = MakeFramedFax(program.DocsDir() + QStringLiteral("/fax-1.tif"), 1);
    MakeFramedFax(program.DocsDir() + QStringLiteral("/fax-2.tif"), 2);
    ASSERT_TRUE(program.Start({first}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    // The keys work once the page is shown; pressed before, they are tried again.
    const auto step = [&](const QString& key, const QString& name) {
        const QString title = u' ' + name + QStringLiteral(" - Folivant V1.15");
        return testsupport::WaitFor(
            [&] {
                if (x.Title(main) == title) {
                    return true;
                }
                if (x.Activate(main)) {
                    x.Keys({key});
                }
                return testsupport::WaitFor([&] { return x.Title(main) == title; }, 2000);
            },
            30000);
    };
    EXPECT_TRUE(step(QStringLiteral("ctrl+n"), QStringLiteral("fax-2.tif"))) << x.Title(main).toStdString();
    EXPECT_TRUE(step(QStringLiteral("ctrl+v"), QStringLiteral("fax-1.tif"))) << x.Title(main).toStdString();
}

} // namespace
