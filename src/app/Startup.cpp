#include "app/Startup.h"

#include "app/FolivantApp.h"
#include "core/CommandLineInfo.h"
#include "core/DataFolder.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

void PrintLine(const QString& text)
{
    QString line = text;
    line.replace(u'\n', u' ');
    std::fprintf(stderr, "folivant: %s\n", qPrintable(line));
    std::fflush(stderr);
}

class StderrMessageBox : public IMessageBox
{
public:
    void Show(QWidget*, const QString& text, const QString&, Icon) override { PrintLine(text); }
};

class NoDialogs : public IDialogRunner
{
public:
    int Exec(QDialog&) override { return QDialog::Rejected; }
};

struct HeldMessage
{
    QtMsgType type;
    QString text;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
};

std::vector<HeldMessage>& Held()
{
    static std::vector<HeldMessage> held;
    return held;
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt found no platform it could start; it would abort next.
        PrintLine(LoadString(Str::NoDisplay));
        std::_Exit(1);
    }
    Held().push_back({type, text, context.file, context.line, context.function, context.category});
}

} // namespace

bool EnvironmentNamesADisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name)) {
            return true;
        }
    }
    return false;
}

StartMode ChooseStartMode(bool hasDisplay, const QStringList& args, const QString& workingDir)
{
    if (hasDisplay) {
        return StartMode::Desktop;
    }
    CCustomCommandLineInfo cmd;
    ParseCommandLine(cmd, args, workingDir);
    return cmd.IsPrint() && cmd.IsQuit() && !cmd.IsHelpRequested() ? StartMode::Headless
                                                                   : StartMode::NoDisplay;
}

void MakeHeadless(CPlatform& platform)
{
    platform.messageBox = std::make_unique<StderrMessageBox>();
    platform.dialogs = std::make_unique<NoDialogs>();
}

int ReportNoDisplay(int& argc, char** argv)
{
    QCoreApplication core(argc, argv);
    const std::unique_ptr<QTranslator> english = CFolivantApp::LoadEnglish(
        CSettingsStore::FromEnvironment(), DataFolderFor(QCoreApplication::applicationDirPath()));
    if (english != nullptr) {
        QCoreApplication::installTranslator(english.get());
    }
    PrintLine(LoadString(Str::NoDisplay));
    return 1;
}

CPlatformStartGuard::CPlatformStartGuard() : m_previous(qInstallMessageHandler(HoldMessage)) {}

CPlatformStartGuard::~CPlatformStartGuard()
{
    qInstallMessageHandler(m_previous);
    for (HeldMessage& m : Held()) {
        const QMessageLogContext context(m.file.isEmpty() ? nullptr : m.file.constData(), m.line,
                                         m.function.isEmpty() ? nullptr : m.function.constData(),
                                         m.category.isEmpty() ? nullptr : m.category.constData());
        qt_message_output(m.type, context, m.text);
    }
    Held().clear();
}
