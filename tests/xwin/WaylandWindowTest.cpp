// The program natively on Wayland (a Weston nested in the X server) at output scale 1 and 2: page 1 whole,
// and the position an X11 session saved left alone (Wayland tells none), the size kept.
#include "FramedFax.h"
#include "XSession.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

using namespace xwin;

namespace {

// Starts Weston on the session's display with an output of `size` logical pixels at `scale`, a light
// background and no panel; its output window (which names no process), or 0 with the reason in *why.
WindowId StartWeston(XSession& x, Helpers& weston, QSize size, int scale, QString* why)
{
    const QString ini = weston.Dir() + QStringLiteral("/weston.ini");
    const QString log = weston.Dir() + QStringLiteral("/weston.log");
    testsupport::WriteFile(ini,
                           "[core]\nidle-time=0\n[shell]\nbackground-color=0xffd0d0d0\npanel-position=none\n"
                           "[input-method]\npath=/bin/true\n");
    weston.env.insert(QStringLiteral("XDG_RUNTIME_DIR"), weston.Dir() + QStringLiteral("/rt"));
    QDir(weston.Dir()).mkpath(QStringLiteral("rt"));
    QFile::setPermissions(weston.Dir() + QStringLiteral("/rt"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    weston.Start(QStandardPaths::findExecutable(QStringLiteral("weston")),
                 {"--backend=x11-backend.so", "--socket=wayland-test",
                  QString::asprintf("--width=%d", size.width()),
                  QString::asprintf("--height=%d", size.height()), QString::asprintf("--scale=%d", scale),
                  "--idle-time=0", "--use-pixman", "--config=" + ini, "--log=" + log});
    if (!weston.WaitForFile(weston.Dir() + QStringLiteral("/rt/wayland-test"), why)) {
        *why = ("no socket: " + *why + QString::fromLocal8Bit(testsupport::ReadFile(log))).right(600);
        return 0;
    }
    return x.WaitForWindow(QRegularExpression(QStringLiteral("^Weston Compositor")), 0, 20000);
}

class WaylandWindowTest : public ::testing::TestWithParam<int>
{
};

TEST_P(WaylandWindowTest, NativeWholePageAndTheSavedPositionLeftAlone)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const int scale = GetParam();
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty()) {
        GTEST_SKIP() << "Weston is not installed (scripts/install-deps installs it)";
    }
    Helpers weston(x);
    QString why;
    const WindowId output = StartWeston(x, weston, QSize(800, 560), scale, &why);
    if (!why.isEmpty()) {
        GTEST_SKIP() << "Weston cannot run here: " << why.toStdString();
    }
    ASSERT_NE(output, 0u) << "Weston runs, but its output window is not on the screen";
    XProgram program(x);
    program.SetEnvironment(weston.env);
    program.Environment(QStringLiteral("DISPLAY"), QString());
    program.Environment(QStringLiteral("QT_SCALE_FACTOR"), QString());
    program.Environment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    program.Environment(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-test"));
    // Saved in an X11 session: a 600 x 400 window at 300, 200.
    program.UserSettings(
        "[Misc]\nAbout=1\nMaximized=0\nPosX1=300\nPosX2=900\nPosY1=200\nPosY2=600\n[Thumb]\nOn=0\n");
    ASSERT_TRUE(program.Start({MakeFramedFax(program.DocsDir() + QStringLiteral("/framed.tif"), 1)}));

    QImage shot;
    QRect page;
    const bool whole = testsupport::WaitFor(
        [&] {
            shot = x.Grab(output);
            page = FramedPage(shot, 100 * scale);
            return page.width() > 100 * scale && page.top() > 20 * scale &&
                   page.bottom() < shot.height() - 1 &&
                   std::abs(double(page.width()) / page.height() - kPageAspect) < 0.02;
        },
        30000);
    XSession::Keep(shot, QStringLiteral("wayland-scale-%1").arg(scale));
    EXPECT_TRUE(whole) << "not the whole page at output scale " << scale << ": "
                       << testsupport::Describe(page) << "\n"
                       << program.Output().toStdString();
    const QByteArray maps = testsupport::ReadFile(QStringLiteral("/proc/%1/maps").arg(program.Pid()));
    EXPECT_TRUE(maps.contains("platforms/libqwayland")) << "not on Qt's Wayland platform";
    EXPECT_FALSE(maps.contains("platforms/libqxcb")) << "on X11 (XWayland), not natively";

    // Ended through its menu, "Datei" > "Beenden" (menus need their time to open: tried again).
    for (int attempt = 0; attempt < 3 && !program.WaitForExit(attempt == 0 ? 0 : 8000); ++attempt) {
        ASSERT_TRUE(x.Activate(output));
        x.Keys({QStringLiteral("Escape"), QStringLiteral("alt+d")});
        x.Keys({QStringLiteral("b")});
    }
    ASSERT_TRUE(program.WaitForExit(8000)) << program.Output().toStdString();
    QSettings ini(program.UserSettingsFile(), QSettings::IniFormat);
    QStringList stored;
    for (const char* key : {"PosX1", "PosY1", "PosX2", "PosY2", "Maximized"}) {
        stored << ini.value(QStringLiteral("Misc/") + QLatin1String(key)).toString();
    }
    EXPECT_EQ(stored.join(u' ').toStdString(), "300 200 900 600 0") << "position and size kept";
}

INSTANTIATE_TEST_SUITE_P(OutputScales, WaylandWindowTest, ::testing::Values(1, 2));

} // namespace
