#include "app/Startup.h"

#include "app/DiaHelp.h"
#include "app/FolivantApp.h"
#include "core/CommandLineInfo.h"
#include "core/DataFolder.h"
#include "core/ExitStatus.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <malloc.h>
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

// The English texts when the user's settings ask for them; kept as long as the result lives.
std::unique_ptr<QTranslator> InstallLanguage()
{
    std::unique_ptr<QTranslator> english = CFolivantApp::LoadEnglish(
        CSettingsStore::FromEnvironment(), DataFolderFor(QCoreApplication::applicationDirPath()));
    if (english != nullptr) {
        QCoreApplication::installTranslator(english.get());
    }
    return english;
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

void TuneAllocator()
{
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
}

CFontWarmUp::CFontWarmUp()
    : m_thread([this](const std::stop_token& stop) {
          // Both are safe from any thread; whatever the main thread asks for meanwhile it waits for or,
          // for the configuration, loads itself (this thread's copy is then dropped).
          FcInit();
          std::unique_lock lock(m_mutex);
          if (!m_wake.wait(lock, stop, [this] { return m_applicationMade; })) {
              return; // ended before the application object was made
          }
          lock.unlock();
          QFontDatabase::families();
      })
{
}

void CFontWarmUp::ApplicationMade()
{
    {
        const std::lock_guard lock(m_mutex);
        m_applicationMade = true;
    }
    m_wake.notify_all();
}

void MakeHeadless(CPlatform& platform)
{
    platform.messageBox = std::make_unique<StderrMessageBox>();
    platform.dialogs = std::make_unique<NoDialogs>();
}

int ReportNoDisplay(int& argc, char** argv)
{
    QCoreApplication core(argc, argv);
    const std::unique_ptr<QTranslator> english = InstallLanguage();
    PrintLine(LoadString(Str::NoDisplay));
    return ToExitCode(ExitStatus::Failure);
}

InfoRequest FindInfoRequest(const QStringList& args)
{
    for (const QString& arg : args) {
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            return InfoRequest::Help;
        }
        if (arg == QStringLiteral("--version")) {
            return InfoRequest::Version;
        }
    }
    return InfoRequest::None;
}

int AnswerInfoRequest(InfoRequest request, int& argc, char** argv)
{
    QCoreApplication core(argc, argv);
    const std::unique_ptr<QTranslator> english = InstallLanguage();
    QString text;
    if (request == InfoRequest::Version) {
        text = ProductText() + u'\n';
    } else {
        const QString path = CommandLineHelpPath(DataFolderFor(QCoreApplication::applicationDirPath()));
        if (!ReadCommandLineHelp(path, &text)) {
            PrintLine(FormatString(Str::CmdHelpUnreadable, {path}));
            return ToExitCode(ExitStatus::Failure);
        }
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? ToExitCode(ExitStatus::Ok) : ToExitCode(ExitStatus::Failure);
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
