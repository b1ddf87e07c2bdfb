// Where the main window appears under a window manager: the frame saved at the last exit comes back on the
// screen (in logical pixels; damaged values are PlacementTest's); closed maximised, it keeps its normal
// rectangle. A message box of a window not shown yet is centred on the screen.
#include "XSession.h"

#include <QTransform>

using namespace xwin;
using testsupport::Describe;

namespace {

QByteArray Placement(int x1, int x2, int y1, int y2, int maximized = 0)
{
    return QString::asprintf("[Misc]\nAbout=1\nMaximized=%d\nPosX1=%d\nPosX2=%d\nPosY1=%d\nPosY2=%d\n",
                             maximized, x1, x2, y1, y2)
        .toUtf8();
}

class PlacementWindowTest : public ::testing::TestWithParam<double>
{
protected:
    QRect Scaled(const QRect& r, double scale) { return QTransform::fromScale(scale, scale).mapRect(r); }
    WindowId StartAndExpect(XProgram& program, const QByteArray& settings, const QRect& expected)
    {
        program.UserSettings(settings);
        EXPECT_TRUE(program.Start());
        const WindowId main = program.MainWindow();
        EXPECT_NE(main, 0u) << program.Output().toStdString();
        ExpectFrame(program, main, expected);
        return main;
    }
    // Waits until the frame is `expected` (logical pixels; odd frame margins round by a pixel at scale 2), or
    // has stayed wrong while the program was idle.
    void ExpectFrame(XProgram& program, WindowId main, const QRect& expected)
    {
        const QRect want = Scaled(expected, GetParam());
        std::pair<QRect, qint64> seen; // the frame and the program's CPU time
        const QRect& f = seen.first;
        const bool near = testsupport::WaitForSettled(
            [&] {
                seen = {XSession::Instance()->FrameGeometry(main), CpuTime(program.Pid())};
                return std::max({std::abs(f.left() - want.left()), std::abs(f.top() - want.top()),
                                 std::abs(f.right() - want.right()), std::abs(f.bottom() - want.bottom())}) <=
                       2;
            },
            seen, 20000, 5000);
        EXPECT_TRUE(near) << Describe(f) << " instead of " << Describe(want);
    }
    // A double click on the title bar maximises the window, or makes it normal again.
    bool ToggleMaximized(WindowId main, bool maximized)
    {
        XSession& x = *XSession::Instance();
        const QRect frame = x.FrameGeometry(main);
        x.Tool(QStringLiteral("xdotool"),
               {QStringLiteral("mousemove"), QString::number(frame.center().x()),
                QString::number(frame.top() + 8), QStringLiteral("click"), QStringLiteral("--repeat"),
                QStringLiteral("2"), QStringLiteral("1")});
        return testsupport::WaitFor(
            [&] {
                return x.Property(main, QStringLiteral("_NET_WM_STATE")).contains(u"MAXIMIZED_VERT") ==
                       maximized;
            },
            10000);
    }
};

TEST_P(PlacementWindowTest, AStoredRectangleComesBackAndMaximisedKeepsTheNormalOne)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    const QRect screen = Scaled(x.Geometry(0), 1 / scale); // no panels: all available
    // The whole screen's size in logical pixels at 1,20: moved to 0,0, not shrunk nor hanging off the bottom.
    {
        XProgram program(x, scale);
        StartAndExpect(program, Placement(1, screen.width() + 1, 20, screen.height() + 20), screen);
    }
    // A sensible rectangle comes back exactly; closed maximised, the next start made normal gives it back.
    const QRect normal(100, 50, 400, 300);
    XProgram first(x, scale);
    const WindowId main = StartAndExpect(first, Placement(100, 500, 50, 350), normal);
    ASSERT_TRUE(ToggleMaximized(main, true));
    ASSERT_TRUE(x.Activate(main));
    x.Keys({QStringLiteral("alt+F4")});
    ASSERT_TRUE(first.WaitForExit(20000)) << "the program did not end";
    const QByteArray saved = testsupport::ReadFile(first.UserSettingsFile());
    for (const char* value : {"Maximized=1", "PosX1=100", "PosX2=500", "PosY1=50", "PosY2=350"}) {
        EXPECT_TRUE(saved.contains(value)) << saved.toStdString();
    }
    XProgram again(x, scale);
    const WindowId window = StartAndExpect(again, saved, screen);
    ASSERT_TRUE(ToggleMaximized(window, false));
    ExpectFrame(again, window, normal);
    x.KeepScreen(QStringLiteral("placement-made-normal-scale-%1").arg(scale));
}

INSTANTIATE_TEST_SUITE_P(Scales, PlacementWindowTest, ::testing::Values(1.0, 2.0));

// The box of a file that cannot be opened at start (the main window never appears) is centred on the screen
// within half a title bar, and offers no maximising.
TEST(MessageBoxWindowTest, ABoxBeforeTheMainWindowIsCentredOnTheScreen)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    XProgram program(x);
    ASSERT_TRUE(program.Start({program.DocsDir() + QStringLiteral("/missing.tif")}));
    const WindowId box = program.WaitForWindow(QStringLiteral("^Fehler$"));
    ASSERT_NE(box, 0u) << program.Output().toStdString();
    EXPECT_LE((x.FrameGeometry(box).center() - x.Geometry(0).center()).manhattanLength(), 12)
        << Describe(x.FrameGeometry(box));
    EXPECT_FALSE(x.Property(box, QStringLiteral("_NET_WM_ALLOWED_ACTIONS")).contains(u"MAXIMIZE"));
    x.KeepScreen(QStringLiteral("message-box-at-start"));
    ASSERT_TRUE(x.Activate(box));
    x.Keys({QStringLiteral("Return")});
    EXPECT_TRUE(program.WaitForExit(20000));
}

} // namespace
