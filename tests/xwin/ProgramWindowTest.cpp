// The real program on a real X server with a window manager: what a person sees of an opened fax.
#include "XSession.h"

#include "FaxWriter.h"

#include <QPainter>

using namespace xwin;

namespace {

// A4 fax in fine mode; its square-pixel shape is 1728 x (2292 * 204 / 196).
constexpr int kFaxWidth = 1728;
constexpr int kFaxHeight = 2292;
constexpr double kPageAspect = 1728.0 / (2292.0 * 204.0 / 196.0);

// A fax whose pages carry a thick black frame along their edges and their number in the middle: where
// the frame is on the screen tells where the whole page is and which shape it has.
QString MakeFramedFax(const QString& path, int pages)
{
    FaxDocSpec desc;
    desc.pages = pages;
    desc.width = kFaxWidth;
    desc.height = kFaxHeight;
    desc.paintPage = [](QImage& page, int index) {
        QPainter p(&page);
        const int edge = 60;
        p.fillRect(0, 0, page.width(), edge, Qt::black);
        p.fillRect(0, page.height() - edge, page.width(), edge, Qt::black);
        p.fillRect(0, 0, edge, page.height(), Qt::black);
        p.fillRect(page.width() - edge, 0, edge, page.height(), Qt::black);
        QFont f;
        f.setPixelSize(600);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(page.rect(), Qt::AlignCenter, QString::number(index + 1));
    };
    QString error;
    EXPECT_TRUE(WriteTiffDocument(path, desc, &error)) << error.toStdString();
    return path;
}

bool Dark(QRgb c)
{
    return qRed(c) < 70 && qGreen(c) < 70 && qBlue(c) < 70;
}

// The framed page on the screen: the box spanned by the rows that hold a long dark run (the frame's top
// and bottom edges) and the runs' ends. Icons and text never make runs that long.
QRect FramedPage(const QImage& shot, int minRun)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x <= shot.width(); ++x) {
            if (x < shot.width() && Dark(shot.pixel(x, y))) {
                ++run;
                continue;
            }
            if (run >= minRun) {
                box |= QRect(x - run, y, run, 1);
            }
            run = 0;
        }
    }
    return box;
}

// Waits until the main window shows the framed page such that `done` holds (a window not painted yet is
// dark all over, a page still being laid out may be anywhere); the last measurement stays in `page`.
bool WaitForPage(XSession& x, WindowId main, double scale, QImage* shot, QRect* page,
                 const std::function<bool(const QRect&)>& done)
{
    return testsupport::WaitFor(
        [&] {
            *shot = x.Grab(main);
            *page = FramedPage(*shot, static_cast<int>(100 * scale));
            // Below the bars, and inside the window on the left and right.
            return page->width() > 100 * scale && page->top() > 20 * scale && page->left() > 0 &&
                   page->right() < shot->width() - 1 && done(*page);
        },
        20000);
}

std::string Describe(const QRect& r)
{
    return QStringLiteral("%1 x %2 at %3, %4")
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y())
        .toStdString();
}

const QByteArray kNoThumbnails = "[Thumb]\nOn=0\n[Misc]\nAbout=1\n";

class ProgramWindowTest : public ::testing::TestWithParam<double>
{
};

// At every scale the opened fax appears in the page view: its framed first page, not an empty view.
TEST_P(ProgramWindowTest, OpenedFaxShowsItsPage)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    XProgram program(x, scale);
    program.UserSettings(kNoThumbnails);
    const QString fax = MakeFramedFax(program.DocsDir() + QStringLiteral("/framed.tif"), 3);
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    QImage shot;
    QRect page;
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

} // namespace
