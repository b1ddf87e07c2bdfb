#include "XSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace xwin {

namespace {

std::unique_ptr<XSession> g_session;
QString g_skipReason = QStringLiteral("not started");
bool g_setupFault = false;

// Polls `done` every 50 ms until it holds or the deadline passes, without an event loop: the tools
// run as processes of their own.
bool Poll(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (done()) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
}

QString FindTool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

void EndProcess(QProcess* p)
{
    if (p == nullptr || p->state() == QProcess::NotRunning) {
        return;
    }
    p->terminate();
    if (!p->waitForFinished(3000)) {
        p->kill();
        p->waitForFinished(3000);
    }
}

} // namespace

XSession* XSession::Instance()
{
    return g_session.get();
}

QString XSession::SkipReason()
{
    return g_session ? QString() : g_skipReason;
}

bool XSession::SetupFault()
{
    return g_setupFault;
}

XSession* XSession::Start(QString* why)
{
    auto fail = [why](const QString& reason) -> XSession* {
        g_skipReason = reason;
        if (why != nullptr) {
            *why = reason;
        }
        return nullptr;
    };
    const QString xvfb = FindTool("Xvfb");
    if (xvfb.isEmpty()) {
        return fail(QStringLiteral("Xvfb is not installed (scripts/install-deps installs it)"));
    }
    std::unique_ptr<XSession> s(new XSession);
    if (!s->m_dir.isValid()) {
        return fail(QStringLiteral("no temporary folder"));
    }
    // A display of its own, well above those people and other tools use, and one whose lock file and
    // socket nobody holds: the server takes the lock itself, so a race with another run only moves on to
    // the next number, and no other server's socket is ever touched.
    QString err;
    for (int n = 110; n < 400 && s->m_display.isEmpty(); ++n) {
        const QString number = QString::number(n);
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
            QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
            continue;
        }
        s->m_server = std::make_unique<QProcess>();
        s->m_server->setProgram(xvfb);
        s->m_server->setArguments({u':' + number, QStringLiteral("-screen"), QStringLiteral("0"),
                                   QStringLiteral("1920x1200x24"), QStringLiteral("-nolisten"),
                                   QStringLiteral("tcp"), QStringLiteral("-noreset")});
        s->m_server->setStandardOutputFile(QProcess::nullDevice());
        s->m_server->start();
        if (!s->m_server->waitForStarted(5000)) {
            return fail(QStringLiteral("Xvfb does not start: ") + s->m_server->errorString());
        }
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        Poll([&] { return QFile::exists(socket) || s->m_server->state() == QProcess::NotRunning; }, 15000);
        if (s->m_server->state() == QProcess::Running && QFile::exists(socket)) {
            s->m_display = u':' + number;
        } else {
            err = QString::fromLocal8Bit(s->m_server->readAllStandardError()).trimmed();
            EndProcess(s->m_server.get());
            if (!err.contains(QStringLiteral("already"))) {
                break; // not a taken display: the server cannot run here
            }
        }
    }
    if (s->m_display.isEmpty()) {
        return fail(QStringLiteral("Xvfb could not open a display: ") + err.right(300));
    }

    // From here on the X server runs: what else is missing is a fault of the set-up, not a reason to skip.
    auto fault = [&](const QString& reason) {
        EndProcess(s->m_wm.get());
        EndProcess(s->m_server.get());
        g_setupFault = true;
        return fail(reason);
    };
    for (const char* tool : {"openbox", "xprop", "xwininfo", "xdotool", "xwd"}) {
        if (FindTool(tool).isEmpty()) {
            return fault(QString::fromLatin1(tool) +
                         QStringLiteral(" is not installed (run scripts/install-deps)"));
        }
    }
    for (const char* sub : {"cache", "config", "runtime"}) {
        QDir(s->Dir()).mkpath(QString::fromLatin1(sub));
    }
    QFile::setPermissions(s->Dir() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    s->m_wm = std::make_unique<QProcess>();
    s->m_wm->setProcessEnvironment(s->Environment());
    s->m_wm->setProgram(FindTool("openbox"));
    s->m_wm->setArguments({QStringLiteral("--sm-disable")});
    s->m_wm->setStandardOutputFile(QProcess::nullDevice());
    s->m_wm->setStandardErrorFile(QProcess::nullDevice());
    s->m_wm->start();
    // The window manager is ready once it has announced itself on the root window.
    const XSession& session = *s;
    const bool managed =
        Poll([&] { return session.Property(0, QStringLiteral("_NET_SUPPORTING_WM_CHECK")).contains(u'#'); },
             15000);
    if (!managed) {
        return fault(QStringLiteral("openbox did not start on ") + s->m_display);
    }
    g_session = std::move(s);
    return g_session.get();
}

void XSession::Stop()
{
    g_session.reset();
}

XSession::~XSession()
{
    EndProcess(m_wm.get());
    EndProcess(m_server.get());
}

QProcessEnvironment XSession::Environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), Dir() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), Dir() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Dir() + QStringLiteral("/runtime"));
    // No session bus: nothing reaches the user's, and none is launched on demand and left running.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + Dir() + QStringLiteral("/no-bus"));
    return env;
}

QByteArray XSession::Tool(const QString& program, const QStringList& args, int timeoutMs, int* exitCode) const
{
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        ADD_FAILURE() << program.toStdString() << " " << args.join(u' ').toStdString() << " did not finish";
        if (exitCode != nullptr) {
            *exitCode = -1;
        }
        return {};
    }
    if (exitCode != nullptr) {
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    return p.readAllStandardOutput();
}

QString XSession::Property(WindowId w, const QString& name) const
{
    QStringList args;
    if (w == 0) {
        args << QStringLiteral("-root");
    } else {
        args << QStringLiteral("-id") << QString::number(w);
    }
    args << name;
    return QString::fromUtf8(Tool(QStringLiteral("xprop"), args)).trimmed();
}

QList<WindowId> XSession::Stacking() const
{
    QList<WindowId> ids;
    const QString line = Property(0, QStringLiteral("_NET_CLIENT_LIST_STACKING"));
    const qsizetype hash = line.indexOf(u'#');
    if (hash < 0) {
        return ids;
    }
    for (const QString& part : line.mid(hash + 1).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const WindowId id = part.trimmed().toUInt(&ok, 16);
        if (ok) {
            ids << id;
        }
    }
    return ids;
}

XSession::WindowInfo XSession::Info(WindowId w) const
{
    // One xprop for the three: "_NET_WM_NAME(UTF8_STRING) = "Folivant - Hilfe"", "_NET_WM_PID(CARDINAL) =
    // 1234", and "WM_STATE(WM_STATE):" followed by indented lines such as "window state: Normal".
    const QString text = QString::fromUtf8(Tool(
        QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w), QStringLiteral("_NET_WM_NAME"),
                                  QStringLiteral("_NET_WM_PID"), QStringLiteral("WM_STATE")}));
    WindowInfo info;
    for (const QString& line : text.split(u'\n')) {
        if (line.startsWith(QStringLiteral("_NET_WM_NAME("))) {
            const qsizetype first = line.indexOf(u'"');
            const qsizetype last = line.lastIndexOf(u'"');
            info.title = first >= 0 && last > first ? line.mid(first + 1, last - first - 1) : QString();
        } else if (line.startsWith(QStringLiteral("_NET_WM_PID("))) {
            info.pid = line.mid(line.indexOf(u'=') + 1).trimmed().toLongLong();
        } else if (line.contains(QStringLiteral("window state: Normal"))) {
            info.shown = true;
        }
    }
    return info;
}

QString XSession::Title(WindowId w) const
{
    return Info(w).title;
}

qint64 XSession::Pid(WindowId w) const
{
    return Info(w).pid;
}

int XSession::MotifFunctions(WindowId w) const
{
    constexpr int kAll = MotifResize | MotifMove | MotifMinimize | MotifMaximize | MotifClose;
    // _MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x26, 0x1e, 0x0, 0x0: flags, functions, decorations, ...
    const QString line = Property(w, QStringLiteral("_MOTIF_WM_HINTS"));
    const qsizetype eq = line.indexOf(u'=');
    const QStringList values = eq < 0 ? QStringList() : line.mid(eq + 1).split(u',');
    if (values.size() < 2 || (values.at(0).trimmed().toUInt(nullptr, 16) & 0x1) == 0) {
        return kAll;
    }
    const int functions = static_cast<int>(values.at(1).trimmed().toUInt(nullptr, 16));
    // Bit 0 turns the list round: everything except what is listed.
    return (functions & 0x1) != 0 ? kAll & ~functions : functions & kAll;
}

QRect XSession::Geometry(WindowId w) const
{
    const QStringList args = w == 0 ? QStringList{QStringLiteral("-root")}
                                    : QStringList{QStringLiteral("-id"), QString::number(w)};
    const QString text = QString::fromUtf8(Tool(QStringLiteral("xwininfo"), args));
    auto value = [&text](const QString& key) {
        const QRegularExpression re(QRegularExpression::escape(key) + QStringLiteral(":\\s*(-?\\d+)"));
        const QRegularExpressionMatch m = re.match(text);
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    };
    return {value(QStringLiteral("Absolute upper-left X")), value(QStringLiteral("Absolute upper-left Y")),
            value(QStringLiteral("Width")), value(QStringLiteral("Height"))};
}

QRect XSession::FrameGeometry(WindowId w) const
{
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const QString line = Property(w, QStringLiteral("_NET_FRAME_EXTENTS"));
    const qsizetype eq = line.indexOf(u'=');
    const QStringList e = eq < 0 ? QStringList() : line.mid(eq + 1).split(u',');
    const QRect inside = Geometry(w);
    if (e.size() != 4) {
        return inside;
    }
    return inside.marginsAdded(QMargins(e.at(0).trimmed().toInt(), e.at(2).trimmed().toInt(),
                                        e.at(1).trimmed().toInt(), e.at(3).trimmed().toInt()));
}

void XSession::NudgeWindowManager() const
{
    // A property change on the root window, which the window manager listens to and nobody else uses.
    Tool(QStringLiteral("xprop"),
         {QStringLiteral("-root"), QStringLiteral("-f"), QStringLiteral("_FOLIVANT_XWIN_NUDGE"),
          QStringLiteral("32c"), QStringLiteral("-set"), QStringLiteral("_FOLIVANT_XWIN_NUDGE"),
          QStringLiteral("1")});
}

qint64 CpuTime(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    // After the name in parentheses (which may hold blanks): state, ..., utime and stime as 12th and 13th.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (f.size() < 13 || f.at(0) == "Z" || f.at(0) == "X") {
        return -1;
    }
    return f.at(11).toLongLong() + f.at(12).toLongLong();
}

WindowId XSession::WaitForWindow(const QRegularExpression& title, qint64 pid, int timeoutMs) const
{
    WindowId found = 0;
    Poll(
        [&] {
            if (pid != 0 && CpuTime(pid) < 0) {
                return true; // a program that has ended shows no more windows
            }
            NudgeWindowManager();
            for (WindowId w : Stacking()) {
                const WindowInfo info = Info(w);
                if (info.shown && title.match(info.title).hasMatch() && (pid == 0 || info.pid == pid)) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool XSession::WaitForNoWindow(const QRegularExpression& title, qint64 pid, int timeoutMs) const
{
    return Poll(
        [&] {
            for (WindowId w : Stacking()) {
                const WindowInfo info = Info(w);
                if (title.match(info.title).hasMatch() && (pid == 0 || info.pid == pid)) {
                    return false;
                }
            }
            return true;
        },
        timeoutMs);
}

bool XSession::Activate(WindowId w) const
{
    const QString xdotool = QStringLiteral("xdotool");
    return Poll(
        [&] {
            Tool(xdotool, {QStringLiteral("windowactivate"), QString::number(w)});
            return Tool(xdotool, {QStringLiteral("getactivewindow")}).trimmed().toUInt() == w;
        },
        5000);
}

void XSession::Keys(const QStringList& keys) const
{
    Tool(QStringLiteral("xdotool"),
         QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keys);
}

void XSession::Click(WindowId w, QPoint at) const
{
    const QString xdotool = QStringLiteral("xdotool");
    Tool(xdotool,
         {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(w),
          QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

QImage XSession::GrabScreen() const
{
    const QByteArray png =
        Tool(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"),
                                        QStringLiteral("root"), QStringLiteral("png:-")});
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

QImage ReadXwd(const QByteArray& data)
{
    // The header: 25 big-endian 32-bit fields, then the window name, the colour map and the pixels.
    constexpr int kFields = 25;
    if (data.size() < kFields * 4) {
        return {};
    }
    auto field = [&data](int i) {
        const auto* b = reinterpret_cast<const uchar*>(data.constData() + 4 * i);
        return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
    };
    const quint32 headerSize = field(0);
    const quint32 format = field(2);
    const int width = static_cast<int>(field(4));
    const int height = static_cast<int>(field(5));
    const quint32 byteOrder = field(7);
    const quint32 bitsPerPixel = field(11);
    const qsizetype bytesPerLine = field(12);
    const quint32 redMask = field(14);
    const quint32 colours = field(19);
    const qsizetype start = headerSize + qsizetype(colours) * 12;
    // Only what Xvfb writes at depth 24: ZPixmap, red in the high bits, three or four bytes a pixel.
    const int step = static_cast<int>(bitsPerPixel / 8);
    if (format != 2 || (bitsPerPixel != 24 && bitsPerPixel != 32) || redMask != 0xff0000u || width <= 0 ||
        height <= 0 || bytesPerLine < qsizetype(width) * step ||
        data.size() < start + bytesPerLine * height) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(data.constData() + start + bytesPerLine * y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uchar* p = row + step * x;
            const uchar* last = p + step - 1;
            const quint32 v = byteOrder == 0
                                  ? quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16
                                  : quint32(last[0]) | quint32(last[-1]) << 8 | quint32(last[-2]) << 16;
            out[x] = 0xff000000u | v;
        }
    }
    return image;
}

QImage XSession::Grab(WindowId w) const
{
    // What the screen shows inside the window. xwd is cheap, which counts on a busy machine; reading the
    // window itself rather than the root is also right where the window manager's frame and the window
    // differ in format.
    QImage image = ReadXwd(
        Tool(QStringLiteral("xwd"), {QStringLiteral("-id"), QString::number(w), QStringLiteral("-silent")}));
    if (image.isNull()) {
        const QRect r = Geometry(w);
        image = r.isEmpty() ? QImage() : GrabScreen().copy(r);
    }
    return image;
}

void XSession::KeepScreen(const QString& name) const
{
    if (!qEnvironmentVariableIsEmpty("FOLIVANT_XWIN_SHOTS")) {
        Keep(GrabScreen(), name);
    }
}

void XSession::Keep(const QImage& image, const QString& name)
{
    const QString dir = qEnvironmentVariable("FOLIVANT_XWIN_SHOTS");
    if (!dir.isEmpty() && !image.isNull()) {
        QDir().mkpath(dir);
        image.save(dir + u'/' + name + QStringLiteral(".png"));
    }
}

// ---- the program ----

XProgram::XProgram(XSession& session, double scale)
    : m_session(session), m_env(session.Environment()), m_scale(scale)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QDir().mkpath(DocsDir());
}

XProgram::~XProgram()
{
    EndProcess(&m_process);
}

void XProgram::UserSettings(const QByteArray& ini)
{
    testsupport::WriteFile(UserSettingsFile(), ini);
}

QString XProgram::UserSettingsFile() const
{
    return m_dir.File(QStringLiteral("config/Zentrel/Folivant.conf"));
}

void XProgram::MachineSettings(const QByteArray& ini)
{
    testsupport::WriteFile(m_dir.File(QStringLiteral("machine.conf")), ini);
}

bool XProgram::Start(const QStringList& args)
{
    QProcessEnvironment env = m_env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(m_scale));
    env.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    env.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.File(QStringLiteral("config")));
    env.insert(QStringLiteral("FOLIVANT_MACHINE_CONFIG"), m_dir.File(QStringLiteral("machine.conf")));
    for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it) {
        if (it.value().isEmpty()) {
            env.remove(it.key());
        } else {
            env.insert(it.key(), it.value());
        }
    }
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(m_dir.Path());
    m_process.start(testsupport::BinaryDir() + QStringLiteral("/folivant"), args);
    return m_process.waitForStarted(10000);
}

qint64 XProgram::Pid() const
{
    return m_process.processId();
}

WindowId XProgram::MainWindow(int timeoutMs)
{
    return WaitForWindow(QStringLiteral("Folivant V"), timeoutMs);
}

WindowId XProgram::WaitForWindow(const QString& titlePattern, int timeoutMs) const
{
    return m_session.WaitForWindow(QRegularExpression(titlePattern), Pid(), timeoutMs);
}

bool XProgram::WaitForExit(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

int XProgram::ExitCode() const
{
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QString XProgram::Output()
{
    m_output += m_process.readAll();
    return QString::fromLocal8Bit(m_output);
}

QString XProgram::DocsDir() const
{
    return m_dir.File(QStringLiteral("docs"));
}

// ---- pixels ----

QRect BoundingBox(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& take)
{
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (take(image.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& take)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += take(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

} // namespace xwin
