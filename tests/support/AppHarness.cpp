#include "support/AppHarness.h"

#include "frame/MainFrame.h"

#include <QDir>
#include <QTest>

namespace testsupport {

AppHarness::AppHarness()
{
    QDir().mkpath(DocsDir());
    QDir().mkpath(ProgramDir());
}

AppHarness::~AppHarness()
{
    if (m_app != nullptr) {
        Stop();
    }
}

void AppHarness::MachineSettings(const QByteArray& ini)
{
    WriteFile(MachineFile(), ini);
}
void AppHarness::UserSettings(const QByteArray& ini)
{
    WriteFile(UserFile(), ini);
}

CSettingsStore AppHarness::Store() const
{
    return {MachineFile(), UserFile()};
}

bool AppHarness::Start(const QStringList& args, bool settle)
{
    m_app = std::make_unique<CFolivantApp>(std::move(fakes.platform), Store(), ProgramDir());
    const bool ok = m_app->InitInstance(args, DocsDir());
    if (!settle) {
        return ok;
    }
    // A document opened at start-up fills its strip once page 1 has been painted.
    if (ok && m_app->MainFrame() != nullptr) {
        (void)QTest::qWaitFor([this] { return !m_app->MainFrame()->IsStartupPending(); }, 5000);
    }
    Settle();
    return ok;
}

int AppHarness::Stop()
{
    const int code = m_app->ExitInstance(m_app->ExitCode());
    m_app.reset();
    return code;
}

QString AppHarness::MakeFax(const QString& name, int pages, FaxDocSpec desc)
{
    desc.pages = pages;
    const QString path = DocsDir() + u'/' + name;
    QString error;
    EXPECT_TRUE(WriteTiffDocument(path, desc, &error)) << error.toStdString();
    return path;
}

void AppHarness::Settle(int ms)
{
    QTest::qWait(ms);
}

} // namespace testsupport
