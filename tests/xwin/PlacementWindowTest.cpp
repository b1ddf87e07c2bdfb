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

// Logical pixels on the screen; frame margins of odd width round at scale 2.
bool Near(const QRect& a, const QRect& b, int tolerance)
{
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance &&
           std::abs(a.right() - b.right()) <= tolerance && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

QRect Scaled(const QRect& r, double scale)
{
    return {int(r.x() * scale), int(r.y() * scale), int(r.width() * scale), int(r.height() * scale)};
}

class PlacementWindowTest : public ::testing::TestWithParam<double>
{
protected:
    // The main window's frame once it is `expected` (logical pixels), or the last one seen.
    QRect WaitForFrame(WindowId main, const QRect& expected)
    {
        XSession& x = *XSession::Instance();
        QRect frame;
        testsupport::WaitFor(
            [&] { return Near(frame = x.FrameGeometry(main), Scaled(expected, GetParam()), 2); }, 20000);
        return frame;
    }
    // A double click on the title bar, which maximises or makes normal again.
    void ToggleMaximized(WindowId main)
    {
        XSession& x = *XSession::Instance();
        const QRect frame = x.FrameGeometry(main);
        const QPoint at(frame.center().x(), frame.top() + (x.Geometry(main).top() - frame.top()) / 2);
        x.Tool(QStringLiteral("xdotool"),
               {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    }
    bool Maximized(WindowId main)
    {
        return XSession::Instance()
            ->Property(main, QStringLiteral("_NET_WM_STATE"))
            .contains(u"MAXIMIZED_VERT");
    }
    void Close(XProgram& program, WindowId main)
    {
        XSession& x = *XSession::Instance();
        ASSERT_TRUE(x.Activate(main));
        x.Keys({QStringLiteral("alt+F4")});
        ASSERT_TRUE(program.WaitForExit(20000)) << "the program did not end";
    }
};

TEST_P(PlacementWindowTest, StoredRectanglesComeBackWhollyOnTheScreen)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    const QRect screen = Scaled(x.Geometry(0), 1 / scale); // no panels: all of it is available
    struct Case
    {
        const char* name;
        QByteArray settings;
        QRect frame;
    };
    const Case cases[] = {
        {"as saved", Placement(100, 500, 50, 350, 0), QRect(100, 50, 400, 300)},
        {"title bar above the screen", Placement(300, 700, -100, 200, 0), QRect(300, 0, 400, 300)},
        {"screen-sized below the top", Placement(1, screen.width() + 1, 20, screen.height() + 20, 0), screen},
        // The default: 1024 x 768, or the screen when it is smaller, in its middle.
        {"damaged", Placement(-9999, INT_MAX, -9999, INT_MAX, 0),
         scale == 1 ? QRect(448, 216, 1024, 768) : screen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XProgram program(x, scale);
        program.UserSettings(c.settings);
        ASSERT_TRUE(program.Start());
        const WindowId main = program.MainWindow();
        ASSERT_NE(main, 0u) << program.Output().toStdString();
        const QRect frame = WaitForFrame(main, c.frame);
        x.KeepScreen(QStringLiteral("placement-%1-scale-%2").arg(QString::fromLatin1(c.name)).arg(scale));
        EXPECT_TRUE(Near(frame, Scaled(c.frame, scale), 2)) << Describe(frame);
    }
}

// Closed maximised, the window keeps its normal rectangle: made normal at the next start, it has it again.
TEST_P(PlacementWindowTest, ClosedMaximisedThenMadeNormalGivesBackTheNormalRectangle)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const double scale = GetParam();
    const QRect normal(100, 50, 400, 300);
    QByteArray saved;
    {
        XProgram program(x, scale);
        program.UserSettings(Placement(100, 500, 50, 350, 0));
        ASSERT_TRUE(program.Start());
        const WindowId main = program.MainWindow();
        ASSERT_NE(main, 0u) << program.Output().toStdString();
        WaitForFrame(main, normal);
        ToggleMaximized(main);
        ASSERT_TRUE(testsupport::WaitFor([&] { return Maximized(main); }, 10000));
        Close(program, main);
        saved = testsupport::ReadFile(program.UserSettingsFile());
        QSettings ini(program.UserSettingsFile(), QSettings::IniFormat);
        EXPECT_EQ(ini.value(QStringLiteral("Misc/Maximized")).toInt(), 1);
        EXPECT_EQ(QRect(QPoint(ini.value(QStringLiteral("Misc/PosX1")).toInt(),
                               ini.value(QStringLiteral("Misc/PosY1")).toInt()),
                        QPoint(ini.value(QStringLiteral("Misc/PosX2")).toInt() - 1,
                               ini.value(QStringLiteral("Misc/PosY2")).toInt() - 1)),
                  normal)
            << saved.toStdString();
    }
    XProgram program(x, scale);
    program.UserSettings(saved);
    ASSERT_TRUE(program.Start());
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    ASSERT_TRUE(testsupport::WaitFor([&] { return Maximized(main); }, 10000));
    ToggleMaximized(main);
    const QRect frame = WaitForFrame(main, normal);
    x.KeepScreen(QStringLiteral("placement-made-normal-scale-%1").arg(scale));
    EXPECT_TRUE(Near(frame, Scaled(normal, scale), 2)) << Describe(frame);
}

INSTANTIATE_TEST_SUITE_P(Scales, PlacementWindowTest, ::testing::Values(1.0, 2.0));

// A file that cannot be opened at start: its message box is in the middle of the screen (the main window
// never appears), offers no maximising or resizing, and ending it ends the program.
TEST(MessageBoxWindowTest, ABoxBeforeTheMainWindowIsCentredOnTheScreen)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    XProgram program(x);
    ASSERT_TRUE(program.Start({program.DocsDir() + QStringLiteral("/missing.tif")}));
    const WindowId box = program.WaitForWindow(QStringLiteral("^Fehler$"));
    ASSERT_NE(box, 0u) << program.Output().toStdString();
    // Within half a title bar: the frame is not known before the box is on the screen.
    EXPECT_LE((x.FrameGeometry(box).center() - x.Geometry(0).center()).manhattanLength(), 12)
        << Describe(x.FrameGeometry(box));
    const QString actions = x.Property(box, QStringLiteral("_NET_WM_ALLOWED_ACTIONS"));
    EXPECT_FALSE(actions.contains(QStringLiteral("MAXIMIZE"))) << actions.toStdString();
    EXPECT_FALSE(actions.contains(QStringLiteral("RESIZE"))) << actions.toStdString();
    x.KeepScreen(QStringLiteral("message-box-at-start"));
    ASSERT_TRUE(x.Activate(box));
    x.Keys({QStringLiteral("Return")});
    EXPECT_TRUE(program.WaitForExit(20000));
}

} // namespace
