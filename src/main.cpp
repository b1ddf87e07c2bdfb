#include "app/FolivantApp.h"
#include "core/SettingsStore.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folivant"));
    QApplication::setOrganizationName(QStringLiteral("Zentrel"));
    QIcon icon;
    for (int size : {32, 48, 64, 256}) {
        icon.addFile(QStringLiteral(":/icons/folivant-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);

    CFolivantApp app(CPlatform::CreateReal(), CSettingsStore::FromEnvironment(),
                     QCoreApplication::applicationDirPath());
    if (!app.InitInstance(QCoreApplication::arguments().mid(1), QDir::currentPath())) {
        return app.ExitInstance(app.ExitCode());
    }
    const int code = QApplication::exec();
    return app.ExitInstance(code);
}
