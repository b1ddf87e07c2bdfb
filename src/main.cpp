#include "app/FolivantApp.h"
#include "app/Startup.h"
#include "core/SettingsStore.h"
#include "platform/Icons.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScopeGuard>

#include <optional>

int main(int argc, char* argv[])
{
    TuneAllocator();
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    if (const InfoRequest info = FindInfoRequest(args); info != InfoRequest::None) {
        return AnswerInfoRequest(info, argc, argv);
    }
    const StartMode mode = ChooseStartMode(EnvironmentNamesADisplay(), args, QDir::currentPath());
    if (mode == StartMode::NoDisplay) {
        return ReportNoDisplay(argc, argv);
    }
    if (mode == StartMode::Headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::optional<CFontWarmUp> fonts(std::in_place);
    std::optional<CPlatformStartGuard> guard(std::in_place);
    QApplication qapp(argc, argv);
    guard.reset();
    fonts->ApplicationMade();
    DecodeFolivantIconsAhead(); // while the window's other parts are made
    const auto endFontsFirst = qScopeGuard([&fonts] { fonts.reset(); });
    QApplication::setApplicationName(QStringLiteral("Folivant"));
    QApplication::setOrganizationName(QStringLiteral("Zentrel"));
    std::unique_ptr<CPlatform> platform = CPlatform::CreateReal();
    if (mode == StartMode::Headless) {
        MakeHeadless(*platform);
    }
    CFolivantApp app(std::move(platform), CSettingsStore::FromEnvironment(),
                     QCoreApplication::applicationDirPath());
    // The icon (four images, handed to the window system at every size) once the window is complete.
    QObject::connect(&app, &CFolivantApp::startupShown, &app, [] {
        QIcon icon;
        for (int size : {32, 48, 64, 256}) {
            icon.addFile(QStringLiteral(":/icons/folivant-%1.png").arg(size));
        }
        QApplication::setWindowIcon(icon);
    });
    if (!app.InitInstance(QCoreApplication::arguments().mid(1), QDir::currentPath())) {
        return app.ExitInstance(app.ExitCode());
    }
    const int code = QApplication::exec();
    return app.ExitInstance(code);
}
