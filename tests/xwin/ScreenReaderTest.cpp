// What a screen reader (Orca) reads over AT-SPI, on a private session bus: the page view and the page list
// name the page shown, also after Page Down. Skipped, with the reason, only where the bus cannot run.
#include "FramedFax.h"
#include "XSession.h"

#include <QFileInfo>
#include <QStandardPaths>

using namespace xwin;

namespace {

// Debian's own interpreter, for which python3-pyatspi is installed (another python3 may come first on PATH).
const QString kPython = QStringLiteral("/usr/bin/python3");

TEST(ScreenReaderTest, ThePageViewAndThePageListSayTheShownPage)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    const QString launcher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    ASSERT_TRUE(!daemon.isEmpty() && QFileInfo::exists(launcher) && QFileInfo::exists(kPython))
        << "dbus-daemon or at-spi2-core missing (scripts/install-deps installs them)";
    // The launcher starts the accessibility bus and its registry by itself.
    Helpers bus(x);
    const QString socket = bus.Dir() + QStringLiteral("/bus");
    bus.env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + socket);
    bus.env.insert(QStringLiteral("HOME"), bus.Dir());
    bus.Start(daemon,
              {QStringLiteral("--config-file=/usr/share/dbus-1/session.conf"), QStringLiteral("--nofork"),
               QStringLiteral("--nopidfile"), QStringLiteral("--address=unix:path=") + socket});
    QString why;
    if (!bus.WaitForFile(socket, &why, 10000)) {
        GTEST_SKIP() << "a D-Bus session bus cannot run here: " << why.toStdString();
    }
    bus.Start(launcher, {QStringLiteral("--launch-immediately")});

    XProgram program(x);
    program.UserSettings("[Misc]\nAbout=1\n");
    program.SetEnvironment(bus.env);
    program.Environment(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    ASSERT_TRUE(program.Start({MakeFramedFax(program.DocsDir() + QStringLiteral("/zwoelf.tif"), 12)}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();

    // What atspi-read.py tells of the program, until it says page `page`.
    QStringList read;
    const auto says = [&](int page) {
        const QRegularExpression view(QStringLiteral("^image\tSeite %1 von 12, \\d+ %$").arg(page));
        const QString list = QStringLiteral("list\tSeiten\tSeite %1 / 12").arg(page);
        return testsupport::WaitFor(
            [&] {
                QProcess p;
                p.setProcessEnvironment(bus.env);
                p.start(kPython, {testsupport::SourceDir() + QStringLiteral("/tests/xwin/atspi-read.py"),
                                  QStringLiteral("folivant")});
                p.waitForFinished(30000);
                read = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).split(u'\n');
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
