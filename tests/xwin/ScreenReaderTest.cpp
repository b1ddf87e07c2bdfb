// What a screen reader reads of the running program over AT-SPI, the way Orca reads it: on a session bus
// of the test's own with the accessibility bus on it, the page view names the page shown with the page count
// and zoom, and the page list has that page selected, also after Page Down. Skipped, with the reason, only
// where the bus cannot run; the bus and everything started on it end with the test.
#include "XSession.h"

#include "FaxWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>

using namespace xwin;

namespace {

// Debian's own interpreter, for which python3-pyatspi is installed (another python3 may come first on PATH).
const QString kPython = QStringLiteral("/usr/bin/python3");

// A session bus with the accessibility bus launcher on it. Everything started on them carries a mark in its
// environment (the buses start the accessibility registry by themselves) and is ended with the bus.
class AccessibilityBus
{
public:
    explicit AccessibilityBus(const XSession& x) : env(x.Environment())
    {
        const QString launcher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !QFileInfo::exists(launcher) || !QFileInfo::exists(kPython)) {
            fault =
                QStringLiteral("dbus-daemon or at-spi2-core missing (scripts/install-deps installs them)");
            return;
        }
        const QString socket = m_dir.File(QStringLiteral("bus"));
        env.insert(QStringLiteral("FOLIVANT_ATSPI_RUN"), m_dir.Path());
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + socket);
        env.insert(QStringLiteral("HOME"), m_dir.Path());
        Start(daemon,
              {QStringLiteral("--config-file=/usr/share/dbus-1/session.conf"), QStringLiteral("--nofork"),
               QStringLiteral("--nopidfile"), QStringLiteral("--address=unix:path=") + socket});
        if (!testsupport::WaitFor([&] { return QFileInfo::exists(socket); }, 10000)) {
            skip = QStringLiteral("a D-Bus session bus cannot run here: ") + m_processes[0]->readAll();
            return;
        }
        Start(launcher, {QStringLiteral("--launch-immediately")});
    }
    ~AccessibilityBus()
    {
        for (int sig : {SIGTERM, SIGKILL}) {
            for (qint64 pid : Marked()) {
                ::kill(static_cast<pid_t>(pid), sig);
            }
            testsupport::WaitFor([&] { return Marked().isEmpty(); }, 3000);
        }
    }
    // What atspi-read.py tells of the application `app`.
    QStringList Read(const QString& app) const
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kPython, {testsupport::SourceDir() + QStringLiteral("/tests/xwin/atspi-read.py"), app});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).split(u'\n');
    }

    QProcessEnvironment env;
    QString fault; // the set-up is incomplete: the test fails
    QString skip;  // the bus cannot run here

private:
    void Start(const QString& program, const QStringList& args)
    {
        m_processes.push_back(std::make_unique<QProcess>());
        m_processes.back()->setProcessEnvironment(env);
        m_processes.back()->setProcessChannelMode(QProcess::MergedChannels);
        m_processes.back()->start(program, args);
    }
    QList<qint64> Marked() const
    {
        const QByteArray mark = "FOLIVANT_ATSPI_RUN=" + m_dir.Path().toLocal8Bit();
        QList<qint64> pids;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile environ(QStringLiteral("/proc/%1/environ").arg(entry));
            if (entry.toLongLong() > 0 && entry.toLongLong() != QCoreApplication::applicationPid() &&
                environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(mark)) {
                pids << entry.toLongLong();
            }
        }
        return pids;
    }

    testsupport::TempDir m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST(ScreenReaderTest, ThePageViewAndThePageListSayTheShownPage)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    AccessibilityBus bus(x);
    ASSERT_TRUE(bus.fault.isEmpty()) << bus.fault.toStdString();
    if (!bus.skip.isEmpty()) {
        GTEST_SKIP() << bus.skip.toStdString();
    }
    XProgram program(x);
    program.UserSettings("[Misc]\nAbout=1\n");
    program.SetEnvironment(bus.env);
    program.SetEnvironmentValue(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    FaxDocSpec desc;
    desc.pages = 12;
    const QString fax = program.DocsDir() + QStringLiteral("/zwoelf.tif");
    QString error;
    ASSERT_TRUE(WriteTiffDocument(fax, desc, &error)) << error.toStdString();
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();

    QStringList read;
    const auto says = [&](int page) {
        const QRegularExpression view(QStringLiteral("^image\tSeite %1 von 12, \\d+ %$").arg(page));
        const QString list = QStringLiteral("list\tSeiten\tSeite %1 / 12").arg(page);
        return testsupport::WaitFor(
            [&] {
                read = bus.Read(QStringLiteral("folivant"));
                return !read.filter(view).isEmpty() && read.contains(list);
            },
            30000);
    };
    EXPECT_TRUE(says(1)) << read.join(u'\n').toStdString();
    ASSERT_TRUE(x.Activate(main));
    x.Keys({QStringLiteral("Next")});
    EXPECT_TRUE(says(2)) << read.join(u'\n').toStdString();
}

} // namespace
