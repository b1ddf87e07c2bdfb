#include "app/FolivantApp.h"

#include "app/DiaHelp.h"
#include "core/DataFolder.h"
#include "core/Options.h"
#include "core/Strings.h"
#include "dialogs/DiaAbout.h"
#include "dialogs/DiaBase.h"

#include "frame/MainFrame.h"
#include "platform/Platform.h"
#include "platform/PrintBackend.h"
#include "print/PrintModule.h"
#include "print/PrintReport.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <utility>

namespace {
QString Misc()
{
    return LoadString(Str::SectionMisc);
}
} // namespace

CFolivantApp::CFolivantApp(std::unique_ptr<CPlatform> platform, CSettingsStore store, QString programFolder)
    : m_platform(std::move(platform)), m_store(std::move(store)), m_programFolder(std::move(programFolder)),
      m_dataFolder(DataFolderFor(m_programFolder)), m_recent(m_store)
{
}

CFolivantApp::~CFolivantApp()
{
    m_frame.reset();
}

QString CFolivantApp::HelpBookFolder() const
{
    return m_dataFolder + u'/' + LoadString(Str::HelpBook);
}

std::unique_ptr<QTranslator> CFolivantApp::LoadEnglish(const CSettingsStore& store, const QString& dataFolder)
{
    COptionLanguage language;
    language.LoadSettings(store);
    if (!language.IsEnglish()) {
        return nullptr;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("FolivantEng.qm"), dataFolder)) {
        return nullptr;
    }
    return translator;
}

void CFolivantApp::LoadLanguage()
{
    m_translator = LoadEnglish(m_store, m_dataFolder);
    m_english = m_translator != nullptr;
    if (m_english) {
        QCoreApplication::installTranslator(m_translator.get());
    }
    if (!m_english) {
        // The program's own texts are German; Qt's dialogs and buttons speak German too.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.get());
            m_qtTranslator = std::move(qt);
        }
    }
}

bool CFolivantApp::InitInstance(const QStringList& args, const QString& workingDir)
{
    m_recent.Load();
    LoadLanguage();

    ParseCommandLine(m_commandLine, args, workingDir);
    const bool batch = m_commandLine.IsBatch();
    const bool valid = batch && !m_commandLine.IsHelpRequested() && m_commandLine.Validate();
    // Runs that end the program right away (help, errors, quiet printing) never show the window.
    const bool endsAtOnce = batch && (!valid || (m_commandLine.IsPrint() && m_commandLine.IsQuit()));

    m_frame = std::make_unique<CMainFrame>(*this, m_store, *m_platform);
    if (!endsAtOnce) {
        // Page 1 first: its view is sized before the page is requested, and the recent-file list is
        // written once the page is on the screen (the settings file is rewritten at every write).
        m_frame->OpenBeforeShowing();
        m_recent.HoldWrites();
        connect(m_frame.get(), &CMainFrame::startupShown, this, &CFolivantApp::OnStartupShown);
    }
    if (m_commandLine.GetShellCommand() == CCommandLineInfo::FileOpen) {
        const QString file = m_commandLine.GetFileName();
        if (!OpenDocumentFile(file)) {
            m_exitCode = 1;
            return false;
        }
        // Started from the file manager or a terminal: next and previous file step through its folder.
        if (!endsAtOnce) {
            m_frame->ListFolderOf(file);
        }
    }
    m_frame->SetCommandLine(&m_commandLine);
    if (!endsAtOnce) {
        m_frame->ShowInitially();
    }
    m_frame->OnWholePage();
    m_frame->UpdateTitle();

    // A dialog of start-up comes with everything put off until page 1 is painted.
    if (batch) {
        if (!(m_commandLine.IsPrint() && m_commandLine.IsQuit())) {
            OnStartupShown(); // a quiet print run shows no window
        }
        if (!RunCommandLine()) {
            return false;
        }
    }
    if (m_store.ReadString(Misc(), LoadString(Str::SettingAbout)) == QStringLiteral("0")) {
        OnStartupShown();
        OnAppAbout();
    }
    m_openFolder = m_store.ReadString(QStringLiteral("Misc"), QStringLiteral("FolderFileOpen"));
    if (!m_frame->IsStartupPending()) {
        QMetaObject::invokeMethod(this, &CFolivantApp::OnStartupShown, Qt::QueuedConnection);
    }
    return true;
}

void CFolivantApp::OnStartupShown()
{
    if (std::exchange(m_startupShown, true)) {
        return;
    }
    m_recent.WriteHeld();
    if (m_frame != nullptr) {
        disconnect(m_frame.get(), &CMainFrame::startupShown, this, &CFolivantApp::OnStartupShown);
    }
    Q_EMIT startupShown();
}

bool CFolivantApp::RunCommandLine()
{
    CCustomCommandLineInfo& cmd = m_commandLine;
    if (cmd.IsHelpRequested() || !cmd.Validate()) {
        if (!cmd.IsHelpRequested()) {
            // Scripts see the reason too, with the file and the printer it was meant for.
            const QString printer = cmd.IsPrint() ? m_platform->print->DefaultPrinterName() : QString();
            std::fprintf(stderr, "%s\n",
                         qPrintable(FailureLine(cmd.GetMessage(), cmd.GetBatchFile(), printer)));
            std::fflush(stderr);
            m_exitCode = ToExitCode(cmd.IsFileRejected() ? ExitStatus::File : ExitStatus::CommandLine);
        }
        CDiaHelp dialog(m_dataFolder);
        dialog.SetMessage(cmd.GetMessage());
        m_platform->dialogs->Exec(dialog);
        return false;
    }
    if (cmd.IsPrint()) {
        const ExitStatus status = m_frame->PrintFromCommandLine();
        if (cmd.IsQuit()) {
            m_exitCode = ToExitCode(status);
            return false;
        }
    }
    return true;
}

int CFolivantApp::ExitInstance(int code)
{
    m_frame.reset();      // saves the placement and stops the loader
    m_recent.WriteHeld(); // ended before the first page was painted
    if (m_translator != nullptr) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
    if (m_qtTranslator != nullptr) {
        QCoreApplication::removeTranslator(m_qtTranslator.get());
        m_qtTranslator.reset();
    }
    m_store.DeleteProfileSection(QString::fromLatin1(Settings::kWorkspace));
    return code;
}

bool CFolivantApp::OpenDocumentFile(const QString& path)
{
    if (!CanOpenForReading(path)) {
        // "The current document stays open" only when there is one.
        const int text = m_doc.GetPathName().isEmpty() ? Str::CannotOpenFileAlone : Str::CannotOpenFile;
        m_platform->messageBox->Show(m_frame.get(), FormatString(text, {path}), LoadString(Str::Error),
                                     IMessageBox::Stop);
        return false;
    }
    m_doc.SetPathName(path);
    m_recent.Add(path);
    if (m_frame != nullptr) {
        m_frame->OnInitialUpdate();
    }
    return true;
}

void CFolivantApp::OnFileOpen()
{
    QSize size = ReadFileDialogSize(m_store);
    const QString path = m_platform->fileDialog->GetOpenFileName(m_frame.get(), m_openFolder,
                                                                 LoadString(Str::OpenFilter), size);
    SaveFileDialogSize(m_store, size);
    if (path.isEmpty()) {
        return;
    }
    if (!IsTiffFile(path)) {
        m_platform->messageBox->Show(m_frame.get(), FormatString(Str::WrongFormat, {path}),
                                     LoadString(Str::Error), IMessageBox::Stop);
        return;
    }
    const QFileInfo info(path);
    m_openFolder = info.absolutePath();
    m_store.WriteProfileString(QStringLiteral("Misc"), QStringLiteral("FolderFileOpen"), m_openFolder);
    if (!IsFolderListSuppressed(m_store) && m_frame != nullptr) {
        m_frame->Data().BuildFolderList(m_openFolder, info.fileName());
    }
    OpenDocumentFile(path);
}

void CFolivantApp::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recent.Entries().size()) {
        return;
    }
    const QString entry = m_recent.Entries().at(index);
    if (OpenDocumentFile(entry)) {
        if (m_frame != nullptr) {
            m_frame->ListFolderOf(entry);
        }
    } else {
        m_recent.Remove(index);
        if (m_frame != nullptr) {
            m_frame->Data().ClearFolderList();
        }
    }
    if (m_frame != nullptr) {
        m_frame->UpdateCommandStates();
    }
}

void CFolivantApp::OnPrintSetup()
{
    // Kept for this run: the print dialogs start from it, quiet printing never uses it.
    QString whyNot;
    IPrintModule* printing = PrintModule(&whyNot);
    if (printing == nullptr) {
        m_platform->messageBox->Show(m_frame.get(), PrintUnavailableMessage(whyNot), LoadString(Str::Error),
                                     IMessageBox::Stop);
        return;
    }
    printing->RunPrintSetup(m_printSetup, m_frame.get(), *m_platform->dialogs, [this](CDiaBase& dialog) {
        if (m_frame != nullptr) {
            connect(&dialog, &CDiaBase::helpRequested, m_frame.get(), &CMainFrame::OnHelpRequest);
        }
    });
}

void CFolivantApp::OnAppAbout()
{
    CDiaAbout dialog(m_store, *m_platform, m_dataFolder, m_frame.get());
    if (m_frame != nullptr) {
        connect(&dialog, &CDiaAbout::helpRequested, m_frame.get(), &CMainFrame::OnHelpRequest);
    }
    m_platform->dialogs->Exec(dialog);
}
