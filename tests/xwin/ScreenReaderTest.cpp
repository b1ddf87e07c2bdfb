// What a screen reader reads of the running program over AT-SPI, the way Orca reads it: on a session bus
// of the test's own with the accessibility bus on it, the page view names the page shown, its count and
// zoom, and the page list has that page selected, also after Page Down. Skipped, with the reason, only
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

// A session bus and the accessibility bus launcher on it. Every process started on them carries a mark in
// its environment (the bus starts the accessibility registry by itself), and all of them are ended at the
// end, whoever started them.
class AccessibilityBus
{
public:
    explicit AccessibilityBus(const XSession& x) : m_env(x.Environment())
    {
        const QString launcher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        QProcess python;
        python.start(kPython, {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
        if (daemon.isEmpty() || !QFileInfo::exists(launcher) || !python.waitForFinished(20000) ||
            python.exitCode() != 0) {
            fault = QStringLiteral("dbus-daemon, at-spi2-core or python3-pyatspi missing "
                                   "(scripts/install-deps installs them)");
            return;
        }
        const QString socket = m_dir.File(QStringLiteral("bus"));
        m_env.insert(QStringLiteral("FOLIVANT_ATSPI_RUN"), m_dir.Path());
        m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + socket);
        m_env.insert(QStringLiteral("HOME"), m_dir.Path());
        m_env.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
        Start(daemon,
              {QStringLiteral("--config-file=/usr/share/dbus-1/session.conf"), QStringLiteral("--nofork"),
               QStringLiteral("--nopidfile"), QStringLiteral("--address=unix:path=") + socket});
        if (!testsupport::WaitFor([&] { return QFileInfo::exists(socket); }, 10000)) {
            skip = QStringLiteral("a D-Bus session bus cannot run here: ") + m_output;
            return;
        }
        Start(launcher, {QStringLiteral("--launch-immediately")});
    }
    ~AccessibilityBus()
    {
        for (int sig : {SIGTERM, SIGKILL}) {
            const QList<qint64> left = Marked();
            for (qint64 pid : left) {
                ::kill(static_cast<pid_t>(pid), sig);
            }
            testsupport::WaitFor([&] { return Marked().isEmpty(); }, 3000);
        }
        for (auto& p : m_processes) {
            p->waitForFinished(1000);
        }
    }
    const QProcessEnvironment& Environment() const { return m_env; }
    // What atspi-read.py reports of the application `app`.
    QStringList Read(const QString& app) const
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(kPython, {testsupport::SourceDir() + QStringLiteral("/tests/xwin/atspi-read.py"), app});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    QString fault; // the set-up is incomplete: the test fails
    QString skip;  // the bus cannot run here

private:
    void Start(const QString& program, const QStringList& args)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(m_env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(program, args);
        p->waitForStarted(10000);
        m_output += QString::fromLocal8Bit(p->readAll());
        m_processes.push_back(std::move(p));
    }
    // The processes carrying this bus's mark.
    QList<qint64> Marked() const
    {
        const QByteArray mark = "FOLIVANT_ATSPI_RUN=" + m_dir.Path().toLocal8Bit();
        QList<qint64> pids;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const qint64 pid = entry.toLongLong(&number);
            QFile environ(QStringLiteral("/proc/%1/environ").arg(entry));
            if (number && pid != QCoreApplication::applicationPid() && environ.open(QIODevice::ReadOnly) &&
                environ.readAll().split('\0').contains(mark)) {
                pids << pid;
            }
        }
        return pids;
    }

    testsupport::TempDir m_dir;
    QProcessEnvironment m_env;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QString m_output;
};

TEST(ScreenReaderTest, ThePageViewAndThePageListSayTheShownPage)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    AccessibilityBus bus(x);
    if (!bus.fault.isEmpty()) {
        FAIL() << bus.fault.toStdString();
    }
    if (!bus.skip.isEmpty()) {
        GTEST_SKIP() << bus.skip.toStdString();
    }
    XProgram program(x);
    program.UserSettings("[Misc]\nAbout=1\n");
    program.SetEnvironment(bus.Environment());
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
