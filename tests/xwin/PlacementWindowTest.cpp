// Where the main window appears on a real X server with a window manager: the frame rectangle saved at
// the last exit comes back exactly, wholly on the screen with its title bar; a window closed maximised
// gives back its normal size when made normal again; damaged values give the default. A message box of a
// window not shown yet appears in the middle of the screen.
#include "XSession.h"

#include <QSettings>

#include <climits>

using namespace xwin;
using testsupport::Describe;

namespace {

QByteArray Placement(int x1, int x2, int y1, int y2, int maximized)
{
    return QStringLiteral("[Misc]\nAbout=1\nMaximized=%5\nPosX1=%1\nPosX2=%2\nPosY1=%3\nPosY2=%4\n")
        .arg(x1)
        .arg(x2)
        .arg(y1)
        .arg(y2)
        .arg(maximized)
        .toUtf8();
}

QRect Scaled(const QRect& r, double scale)
{
    return {int(r.x() * scale), int(r.y() * scale), int(r.width() * scale), int(r.height() * scale)};
}

class PlacementWindowTest : public ::testing::TestWithParam<double>
{
protected:
    // Starts the program and waits until its frame is `expected` (logical pixels; frame margins of odd
    // width round by a pixel at scale 2), or fails with the last frame seen.
    WindowId StartAndExpect(XProgram& program, const QByteArray& settings, const QRect& expected)
    {
        program.UserSettings(settings);
        EXPECT_TRUE(program.Start());
        const WindowId main = program.MainWindow();
        EXPECT_NE(main, 0u) << program.Output().toStdString();
        ExpectFrame(main, expected);
        return main;
    }
    void ExpectFrame(WindowId main, const QRect& expected)
    {
        const QRect want = Scaled(expected, GetParam());
        QRect frame;
        const bool near = testsupport::WaitFor(
            [&] {
                frame = XSession::Instance()->FrameGeometry(main);
                return std::abs(frame.left() - want.left()) <= 2 && std::abs(frame.top() - want.top()) <= 2 &&
                       std::abs(frame.right() - want.right()) <= 2 &&
                       std::abs(frame.bottom() - want.bottom()) <= 2;
            },
            20000);
        EXPECT_TRUE(near) << Describe(frame) << " instead of " << Describe(want);
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

TEST_P(PlacementWindowTest, StoredRectanglesComeBackWhollyOnTheScreen)
{
    XWIN_REQUIRE_SESSION();
    const double scale = GetParam();
    const QRect screen = Scaled(XSession::Instance()->Geometry(0), 1 / scale); // no panels: all available
    const std::pair<QByteArray, QRect> cases[] = {
        {Placement(100, 500, 50, 350, 0), QRect(100, 50, 400, 300)},
        {Placement(300, 700, -100, 200, 0), QRect(300, 0, 400, 300)}, // title bar above the screen
        {Placement(1, screen.width() + 1, 20, screen.height() + 20, 0), screen},
        // Damaged: the default, 1024 x 768 or the screen when it is smaller, in its middle.
        {Placement(-9999, INT_MAX, -9999, INT_MAX, 0), scale == 1 ? QRect(448, 216, 1024, 768) : screen},
    };
    for (const auto& [settings, frame] : cases) {
        SCOPED_TRACE(settings.toStdString());
        XProgram program(*XSession::Instance(), scale);
        StartAndExpect(program, settings, frame);
        XSession::Instance()->KeepScreen(
            QStringLiteral("placement-%1-%2-scale-%3").arg(frame.x()).arg(frame.y()).arg(scale));
    }
}

// Closed maximised, the window keeps its normal rectangle: made normal at the next start, it has it again.
TEST_P(PlacementWindowTest, ClosedMaximisedThenMadeNormalGivesBackTheNormalRectangle)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const QRect normal(100, 50, 400, 300);
    XProgram first(x, GetParam());
    const WindowId main = StartAndExpect(first, Placement(100, 500, 50, 350, 0), normal);
    ASSERT_TRUE(ToggleMaximized(main, true));
    ASSERT_TRUE(x.Activate(main));
    x.Keys({QStringLiteral("alt+F4")});
    ASSERT_TRUE(first.WaitForExit(20000)) << "the program did not end";
    const QByteArray saved = testsupport::ReadFile(first.UserSettingsFile());
    EXPECT_TRUE(saved.contains("Maximized=1") && saved.contains("PosX1=100") && saved.contains("PosX2=500") &&
                saved.contains("PosY1=50") && saved.contains("PosY2=350"))
        << saved.toStdString();

    XProgram again(x, GetParam());
    const WindowId window = StartAndExpect(again, saved, Scaled(x.Geometry(0), 1 / GetParam()));
    ASSERT_TRUE(ToggleMaximized(window, false));
    ExpectFrame(window, normal);
    x.KeepScreen(QStringLiteral("placement-made-normal-scale-%1").arg(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Scales, PlacementWindowTest, ::testing::Values(1.0, 2.0));

// A file that cannot be opened at start: its message box is in the middle of the screen (the main window
// never appears; within half a title bar, unknown before the box is on the screen), offers no maximising.
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
