#pragma once
// A whole program for widget tests: the real application object on temporary settings files, a program
// folder of its own and fake platform services; documents are generated on demand.

#include "app/FolivantApp.h"
#include "frame/MainFrame.h"
#include "support/FakePlatform.h"
#include "support/TestSupport.h"

#include "FaxWriter.h"

namespace testsupport {

class AppHarness
{
public:
    AppHarness();
    ~AppHarness();

    // Settings to start with (INI text), before Start().
    void MachineSettings(const QByteArray& ini);
    void UserSettings(const QByteArray& ini);

    // Starts the program like the command line would; returns InitInstance's result. Unless `settle` is
    // false, returns once a document opened at start-up has its page 1 painted and its strip filled.
    bool Start(const QStringList& args = {}, bool settle = true);
    // Ends it like closing the window; returns the exit code.
    int Stop();

    // A generated fax in the harness's documents folder.
    QString MakeFax(const QString& name, int pages, FaxDocSpec desc = {});
    // Lets queued reports arrive and the window paint.
    void Settle(int ms = 50);

    CFolivantApp& App() { return *m_app; }
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    CSettingsStore Store() const;
    QString Dir() const { return m_dir.Path(); }
    QString DocsDir() const { return m_dir.File(QStringLiteral("docs")); }
    QString ProgramDir() const { return m_dir.File(QStringLiteral("program")); }
    QString UserFile() const { return m_dir.File(QStringLiteral("user/Folivant.conf")); }
    QString MachineFile() const { return m_dir.File(QStringLiteral("machine/Folivant.conf")); }

    FakePlatform fakes;

private:
    TempDir m_dir;
    std::unique_ptr<CFolivantApp> m_app;
    CPlatform* m_platform = nullptr;
};

} // namespace testsupport
