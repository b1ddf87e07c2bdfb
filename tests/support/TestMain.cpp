// Test main: every test runs headless with a Qt application object of the right kind.
#include "support/TestSupport.h"

#ifdef FOLIVANT_TEST_WIDGETS
#include <QApplication>
using TestApplication = testsupport::TestApplication<QApplication>;
#else
#include <QGuiApplication>
using TestApplication = testsupport::TestApplication<QGuiApplication>;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::EndTestsAtFatalFailures();
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
