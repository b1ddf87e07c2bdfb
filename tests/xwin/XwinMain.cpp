// Test main of the real-window tests: the X session first, then the application object on it.
#include "XSession.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::EndTestsAtFatalFailures();
    QString why;
    if (xwin::XSession* session = xwin::XSession::Start(&why)) {
        // The tests' own windows (progress window, dialogs) appear on the same screen as the program's.
        const QProcessEnvironment env = session->Environment();
        for (const char* name :
             {"DISPLAY", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"}) {
            qputenv(name, env.value(QString::fromLatin1(name)).toLocal8Bit());
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!xwin::XSession::SetupFault()) {
            // ctest lists the test as skipped on this line.
            std::fprintf(stderr, "REAL-WINDOW TESTS SKIPPED: %s\n", qPrintable(why));
        }
    }
    int result = 0;
    {
        testsupport::TestApplication<QApplication> app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    xwin::XSession::Stop();
    return result;
}
