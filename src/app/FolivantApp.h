#pragma once
// The application object: prepares the program in a fixed order (settings, language, document, command
// line, main window, title, the command-line run, the start-up About box, the file dialog's folder),
// owns opening files through the file dialog and the recent-file list, and clears up at exit.

#include "core/CommandLineInfo.h"
#include "core/SettingsStore.h"
#include "document/FolivantDoc.h"
#include "document/RecentFileList.h"
#include "frame/FrameHost.h"
#include "print/PrintSetup.h"

#include <QObject>
#include <QString>

#include <memory>

class CMainFrame;
class QTranslator;
struct CPlatform;

class CFolivantApp : public QObject, public CFrameHost
{
    Q_OBJECT
public:
    CFolivantApp(std::unique_ptr<CPlatform> platform, CSettingsStore store, QString programFolder);
    ~CFolivantApp() override;

    // Start-up; false ends the program (ExitCode() says how).
    bool InitInstance(const QStringList& args, const QString& workingDir);
    // Exit: releases the language and deletes the user's "Workspace" section. Returns `code`.
    int ExitInstance(int code);
    // The exit status of a command-line run that ended start-up (ExitStatus): 0 printed or help shown.
    int ExitCode() const { return m_exitCode; }

    // The English translation from `dataFolder` when the settings ask for English and it loads.
    static std::unique_ptr<QTranslator> LoadEnglish(const CSettingsStore& store, const QString& dataFolder);

    QString GetProgramFolder() const { return m_programFolder; }
    // Help book, command-line help, logo and translation: beside the program or in ../share/folivant.
    QString DataFolder() const { return m_dataFolder; }
    QString HelpBookFolder() const override;
    bool IsEnglish() const { return m_english; }

    // Opens `path` as the document: the file must be readable (nothing is read here); on failure a
    // message names it and the previous document, views and folder list stay as they were.
    bool OpenDocumentFile(const QString& path) override;
    void OnFileOpen() override;
    QStringList RecentFileEntries() const override { return m_recent.Entries(); }
    void OnOpenRecentFile(int index) override;
    void OnPrintSetup() override;
    const CPrintSetup& PrintSetup() const override { return m_printSetup; }
    void OnAppAbout() override;

    CFolivantDoc& Document() override { return m_doc; }
    CSettingsStore& Settings() { return m_store; }
    CPlatform& Platform() { return *m_platform; }
    CRecentFileList& RecentFiles() { return m_recent; }
    CCustomCommandLineInfo& CommandLine() { return m_commandLine; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    const QString& OpenFolder() const { return m_openFolder; }

Q_SIGNALS:
    // Start-up is over: the document's page 1 painted and its strip filled, no document opened, or a
    // dialog of start-up (command line, About) about to show. Work that can wait until then (the window
    // icon) waits for it. Emitted once.
    void startupShown();

private:
    void LoadLanguage();
    void OnStartupShown();
    bool RunCommandLine();

    std::unique_ptr<CPlatform> m_platform;
    CSettingsStore m_store;
    QString m_programFolder;
    QString m_dataFolder;
    CCustomCommandLineInfo m_commandLine;
    QString m_openFolder;
    CFolivantDoc m_doc;
    CRecentFileList m_recent;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QTranslator> m_translator;
    std::unique_ptr<QTranslator> m_qtTranslator;
    CPrintSetup m_printSetup;
    bool m_english = false;
    bool m_startupShown = false;
    int m_exitCode = 0;
};
