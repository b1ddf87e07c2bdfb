// The program natively on Wayland: a Weston compositor runs nested in the test's X server (so that keys
// reach the program through it) at output scale 1 and 2. The program must use Qt's Wayland platform, not
// X11, show page 1 whole, and leave the window position an X11 session saved where it is (Wayland tells no
// program where its window is), keeping the size.
#include "FramedFax.h"
#include "XSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

using namespace xwin;
using testsupport::Describe;

namespace {

class Weston
{
public:
    ~Weston() // Weston ends its own clients
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // Starts Weston with an output of `size` logical pixels at `scale` on the session's display, a light
    // background and no panel; false with the reason when it cannot run.
    bool Start(XSession& x, QSize size, int scale, QString* why)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("rt"));
        QFile::setPermissions(RuntimeDir(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        testsupport::WriteFile(
            m_dir.filePath(QStringLiteral("weston.ini")),
            "[core]\nidle-time=0\n[shell]\nbackground-color=0xffd0d0d0\npanel-position=none\n"
            "[input-method]\npath=/bin/true\n");
        QProcessEnvironment env = x.Environment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("weston")),
                        {QStringLiteral("--backend=x11-backend.so"), QStringLiteral("--socket=") + Socket(),
                         QStringLiteral("--width=%1").arg(size.width()),
                         QStringLiteral("--height=%1").arg(size.height()),
                         QStringLiteral("--scale=%1").arg(scale), QStringLiteral("--idle-time=0"),
                         QStringLiteral("--use-pixman"),
                         QStringLiteral("--config=") + m_dir.filePath(QStringLiteral("weston.ini")),
                         QStringLiteral("--log=") + m_dir.filePath(QStringLiteral("weston.log"))});
        const QString socket = RuntimeDir() + u'/' + Socket();
        const bool up =
            m_process.waitForStarted(10000) &&
            testsupport::WaitFor(
                [&] { return QFile::exists(socket) || m_process.state() == QProcess::NotRunning; }, 20000) &&
            QFile::exists(socket);
        if (!up) {
            *why = QString::fromLocal8Bit(m_process.readAll() +
                                          testsupport::ReadFile(m_dir.filePath(QStringLiteral("weston.log"))))
                       .right(600);
            return false;
        }
        // Its output is a window on the session's display (which names no process).
        m_window = x.WaitForWindow(QRegularExpression(QStringLiteral("^Weston Compositor")), 0, 20000);
        return true;
    }
    QString RuntimeDir() const { return m_dir.filePath(QStringLiteral("rt")); }
    QString Socket() const
    {
        return QStringLiteral("folivant-test-%1").arg(QCoreApplication::applicationPid());
    }
    WindowId Window() const { return m_window; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    WindowId m_window = 0;
};

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
    Weston weston;
    QString why;
    if (!weston.Start(x, QSize(800, 560), scale, &why)) {
        GTEST_SKIP() << "Weston cannot run here: " << why.toStdString();
    }
    ASSERT_NE(weston.Window(), 0u) << "Weston runs, but its output window is not on the screen";
    XProgram program(x);
    for (const char* name : {"DISPLAY", "QT_SCALE_FACTOR"}) {
        program.Environment(QString::fromLatin1(name), QString());
    }
    program.Environment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    program.Environment(QStringLiteral("WAYLAND_DISPLAY"), weston.Socket());
    program.Environment(QStringLiteral("XDG_RUNTIME_DIR"), weston.RuntimeDir());
    // Saved in an X11 session: a 600 x 400 window at 300, 200.
    program.UserSettings(
        "[Misc]\nAbout=1\nMaximized=0\nPosX1=300\nPosX2=900\nPosY1=200\nPosY2=600\n[Thumb]\nOn=0\n");
    ASSERT_TRUE(program.Start({MakeFramedFax(program.DocsDir() + QStringLiteral("/framed.tif"), 1)}));

    QImage shot;
    QRect page;
    const bool whole = testsupport::WaitFor(
        [&] {
            shot = x.Grab(weston.Window());
            page = FramedPage(shot, 100 * scale);
            return page.width() > 100 * scale && page.top() > 20 * scale &&
                   page.bottom() < shot.height() - 1 &&
                   std::abs(double(page.width()) / page.height() - kPageAspect) < 0.02;
        },
        30000);
    XSession::Keep(shot, QStringLiteral("wayland-scale-%1").arg(scale));
    EXPECT_TRUE(whole) << "not the whole page at output scale " << scale << ": " << Describe(page) << "\n"
                       << program.Output().toStdString();
    const QByteArray maps = testsupport::ReadFile(QStringLiteral("/proc/%1/maps").arg(program.Pid()));
    EXPECT_TRUE(maps.contains("platforms/libqwayland")) << "not on Qt's Wayland platform";
    EXPECT_FALSE(maps.contains("platforms/libqxcb")) << "on X11 (XWayland), not natively";

    // Ended through its menu, "Datei" > "Beenden" (menus need their time to open: tried again).
    for (int attempt = 0; attempt < 3 && !program.WaitForExit(attempt == 0 ? 0 : 8000); ++attempt) {
        ASSERT_TRUE(x.Activate(weston.Window()));
        x.Keys({QStringLiteral("Escape"), QStringLiteral("alt+d")});
        x.Keys({QStringLiteral("b")});
    }
    ASSERT_TRUE(program.WaitForExit(8000)) << program.Output().toStdString();
    QSettings ini(program.UserSettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Misc/PosX1")).toInt(), 300);
    EXPECT_EQ(ini.value(QStringLiteral("Misc/PosY1")).toInt(), 200);
    EXPECT_EQ(ini.value(QStringLiteral("Misc/PosX2")).toInt(), 900) << "the size was not kept";
    EXPECT_EQ(ini.value(QStringLiteral("Misc/PosY2")).toInt(), 600) << "the size was not kept";
    EXPECT_EQ(ini.value(QStringLiteral("Misc/Maximized")).toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(OutputScales, WaylandWindowTest, ::testing::Values(1, 2));

} // namespace
