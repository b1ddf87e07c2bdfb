#include "app/CommandLineInfo.h"
#include "frame/MainFrame.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    CCustomCommandLineInfo commandLine;
    ParseCommandLine(commandLine, QCoreApplication::arguments().mid(1), QDir::currentPath());

    CMainFrame frame;
    frame.SetCommandLine(&commandLine);
    frame.show();
    return QApplication::exec();
}
