#pragma once
// Real-window tests: a private X server (Xvfb) with a window manager (openbox), the real program running
// in it, and the X tools a person's desktop would answer to (window list and stacking order, keys,
// screen grabs). Everything waits for windows with generous deadlines instead of sleeping.
//
// One session per test executable (started by the test main before the QApplication, which then runs on
// the same display). Tests that need it start with XWIN_REQUIRE_SESSION(): where Xvfb cannot run at all
// they are skipped with the reason, and the executable prints the marker ctest reports as skipped.

#include "support/TestSupport.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace xwin {

using WindowId = quint32;

class XSession
{
public:
    // The session of this executable; null before Start() or when it failed.
    static XSession* Instance();
    // Starts Xvfb and openbox; on failure returns null and sets *why.
    static XSession* Start(QString* why);
    static void Stop();
    // Why the session could not start (empty while it runs).
    static QString SkipReason();
    // The X server ran but the rest of the set-up (window manager, tools) failed: tests fail, not skip.
    static bool SetupFault();

    ~XSession();
    QString Display() const { return m_display; }
    // A folder of the session's own: caches and runtime folders of everything started in it.
    QString Dir() const { return m_dir.path(); }
    // Environment for a process on this display: DISPLAY, its own cache, config and runtime folders.
    QProcessEnvironment Environment() const;

    // Runs an X tool (xprop, xdotool, xwd...) on the display; its standard output. A tool that does not
    // finish within `timeoutMs` (generous: the machine may be busy) is killed and the test fails.
    QByteArray Tool(const QString& program, const QStringList& args, int timeoutMs = 20000,
                    int* exitCode = nullptr) const;

    // The managed top-level windows, bottom to top (the window manager's stacking order).
    QList<WindowId> Stacking() const;
    struct WindowInfo
    {
        QString title;
        qint64 pid = 0;
        bool shown = false; // mapped by the window manager
    };
    WindowInfo Info(WindowId w) const;
    QString Title(WindowId w) const;
    qint64 Pid(WindowId w) const;
    // One of the window's properties as xprop prints it ("_NET_WM_ALLOWED_ACTIONS(ATOM) = ...").
    QString Property(WindowId w, const QString& name) const;
    // What the window asks the window manager to offer (_MOTIF_WM_HINTS functions), as Motif* bits; all of
    // them when it asks for nothing in particular.
    enum MotifFunction
    {
        MotifResize = 0x2,
        MotifMove = 0x4,
        MotifMinimize = 0x8,
        MotifMaximize = 0x10,
        MotifClose = 0x20,
    };
    int MotifFunctions(WindowId w) const;
    // The window's inside on the screen, in screen pixels; the whole screen for 0.
    QRect Geometry(WindowId w) const;
    // The window with the frame the window manager put around it.
    QRect FrameGeometry(WindowId w) const;
    // The first managed window of process `pid` (0: any) whose title matches, once the window manager
    // has mapped it; 0 after the deadline.
    WindowId WaitForWindow(const QRegularExpression& title, qint64 pid = 0, int timeoutMs = 30000) const;
    bool WaitForNoWindow(const QRegularExpression& title, qint64 pid = 0, int timeoutMs = 30000) const;

    // Openbox sometimes leaves a window's request to be shown unanswered until the next event reaches it
    // (seen right after it started): waiting for a window therefore nudges it now and then.
    void NudgeWindowManager() const;
    // Gives the window the focus (through the window manager); false if it does not get it.
    bool Activate(WindowId w) const;
    // Key presses on the focused window, in xdotool's names ("F1", "alt+o", "Escape").
    void Keys(const QStringList& keys) const;
    // A click at a point of the window's inside.
    void Click(WindowId w, QPoint at) const;

    QImage GrabScreen() const;
    // The window's inside as the screen shows it.
    QImage Grab(WindowId w) const;
    // Saves `image` (or the whole screen) as `name`.png into the folder FOLIVANT_XWIN_SHOTS names, for
    // people to look at.
    static void Keep(const QImage& image, const QString& name);
    void KeepScreen(const QString& name) const;

private:
    XSession() = default;
    QTemporaryDir m_dir;
    QString m_display;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_wm;
};

// The real program (build/folivant) on the session, with settings of its own in a temporary folder.
class XProgram
{
public:
    explicit XProgram(XSession& session, double scale = 1.0);
    ~XProgram(); // ends the program if it still runs

    // Settings to start with (INI text), before Start().
    void UserSettings(const QByteArray& ini);
    QString UserSettingsFile() const;
    // An environment variable for the program (an empty value removes it), before Start().
    void Environment(const QString& name, const QString& value) { m_environment.insert(name, value); }
    void MachineSettings(const QByteArray& ini);
    // The environment to start in (the session's by default), and single values on top of it.
    void SetEnvironment(const QProcessEnvironment& env) { m_env = env; }
    void SetEnvironmentValue(const QString& name, const QString& value) { m_env.insert(name, value); }
    bool Start(const QStringList& args = {});
    qint64 Pid() const;
    // The main window ("... - Folivant V1.15"), waiting for it.
    WindowId MainWindow(int timeoutMs = 30000);
    WindowId WaitForWindow(const QString& titlePattern, int timeoutMs = 30000) const;
    bool WaitForExit(int timeoutMs = 30000);
    // After the program ended by itself: its exit status (a sanitizer's report makes it non-zero).
    int ExitCode() const;
    QString Output(); // what it wrote to stdout and stderr so far
    QString DocsDir() const;

private:
    XSession& m_session;
    QProcessEnvironment m_env;
    double m_scale;
    testsupport::TempDir m_dir;
    QProcess m_process;
    QByteArray m_output;
    QMap<QString, QString> m_environment;
};

// The CPU time process `pid` has used so far, in clock ticks, all its threads together; -1 once it has
// ended. While it grows the program is still at work on what a test waits for; a test that sees the
// same wrong screen while it stands still need not wait any longer.
qint64 CpuTime(qint64 pid);

// An image as xwd writes it at depth 24 (three or four bytes a pixel); null for anything else.
QImage ReadXwd(const QByteArray& data);

// The bounding box of the pixels of `image` inside `area` for which `take` holds; empty if none.
QRect BoundingBox(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& take);
// How many pixels of `area` satisfy `take`.
int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& take);

} // namespace xwin

#define XWIN_REQUIRE_SESSION()                                                                               \
    do {                                                                                                     \
        if (::xwin::XSession::SetupFault())                                                                  \
            FAIL() << "real-window tests: " << ::xwin::XSession::SkipReason().toStdString();                 \
        if (::xwin::XSession::Instance() == nullptr)                                                         \
            GTEST_SKIP() << "no X server for real-window tests: "                                            \
                         << ::xwin::XSession::SkipReason().toStdString();                                    \
    } while (0)
