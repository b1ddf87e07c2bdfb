#include "app/FolivantApp.h"
#include "app/SettingsStore.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folivant"));
    QApplication::setOrganizationName(QStringLiteral("Zentrel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/folivant.png")));

    CFolivantApp app(CPlatform::CreateReal(), CSettingsStore::FromEnvironment(), QCoreApplication::applicationDirPath());
    if (!app.InitInstance(QCoreApplication::arguments().mid(1), QDir::currentPath())) {
        return app.ExitInstance(app.ExitCode());
    }
    const int code = QApplication::exec();
    return app.ExitInstance(code);
}
