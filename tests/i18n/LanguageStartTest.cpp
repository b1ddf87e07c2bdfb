// The language choice at start-up: with [Misc] Language=1 the program loads FolivantEng.qm from its own
// data folder (beside it, or ../share/folivant when installed) and speaks English; without a loadable
// translation it stays German and says nothing.
#include "app/DiaHelp.h"
#include "core/CommandIds.h"
#include "core/Strings.h"
#include "support/AppHarness.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

using testsupport::AppHarness;

namespace {

void CopyTranslationInto(const AppHarness& h)
{
    const QString target = h.ProgramDir() + QStringLiteral("/FolivantEng.qm");
    ASSERT_TRUE(QFile::copy(QStringLiteral(FOLIVANT_QM_FILE), target)) << "cannot copy " FOLIVANT_QM_FILE;
}

QStringList StatusIndicators(AppHarness& h)
{
    QStringList texts;
    for (const QLabel* l : h.Frame().statusBar()->findChildren<QLabel*>()) {
        if (!l->text().isEmpty()) {
            texts << l->text();
        }
    }
    return texts;
}

TEST(LanguageStart, EnglishWhenTheTranslationLiesInTheProgramFolder)
{
    AppHarness h;
    CopyTranslationInto(h);
    h.UserSettings("[Misc]\nLanguage=1\n");
    ASSERT_TRUE(h.Start());
    EXPECT_TRUE(h.App().IsEnglish());
    EXPECT_EQ(LoadString(Str::Error), "Error");
    EXPECT_EQ(LoadString(Str::Product), "Folivant V1.15");
    EXPECT_EQ(h.Frame().Menu(0)->title(), "&File");
    EXPECT_EQ(h.Frame().Menu(3)->title(), "&View");
    EXPECT_EQ(h.Frame().Action(Cmd::Print)->text(), "&Print...\tCtrl+P");
    EXPECT_EQ(h.Frame().Action(Cmd::FirstPage)->toolTip(), "First Page");
    EXPECT_EQ(h.Frame().Action(Cmd::FirstPage)->statusTip(), "Show the first page");
    EXPECT_TRUE(StatusIndicators(h).contains("CAP"));
    EXPECT_TRUE(h.App().HelpBookFolder().endsWith("/help/en"));
    EXPECT_TRUE(h.fakes.messages->shown.empty());

    // A page label of the strip, once a document is open.
    const QString fax = h.MakeFax("letter.tif", 2);
    ASSERT_TRUE(h.App().OpenDocumentFile(fax));
    h.Settle();
    EXPECT_EQ(h.Frame().windowTitle(), " letter.tif - Folivant V1.15");

    // Exit removes the translation again.
    h.Stop();
    EXPECT_EQ(LoadString(Str::Error), "Fehler");
}

TEST(LanguageStart, GermanWithoutAMessageWhenTheTranslationIsMissing)
{
    AppHarness h; // nothing in the program folder
    h.UserSettings("[Misc]\nLanguage=1\n");
    ASSERT_TRUE(h.Start());
    EXPECT_FALSE(h.App().IsEnglish());
    EXPECT_EQ(LoadString(Str::Error), "Fehler");
    EXPECT_EQ(h.Frame().Menu(0)->title(), "&Datei");
    EXPECT_TRUE(StatusIndicators(h).contains("UF"));
    EXPECT_TRUE(h.App().HelpBookFolder().endsWith("/help/de"));
    EXPECT_TRUE(h.fakes.messages->shown.empty());
    EXPECT_TRUE(h.fakes.dialogs->ran.isEmpty());
}

TEST(LanguageStart, GermanWhenTheTranslationCannotBeLoaded)
{
    AppHarness h;
    testsupport::WriteFile(h.ProgramDir() + "/FolivantEng.qm", "not a translation");
    h.UserSettings("[Misc]\nLanguage=1\n");
    ASSERT_TRUE(h.Start());
    EXPECT_FALSE(h.App().IsEnglish());
    EXPECT_EQ(h.Frame().Menu(0)->title(), "&Datei");
    EXPECT_TRUE(h.fakes.messages->shown.empty());
}

TEST(LanguageStart, GermanForEveryOtherLanguageValue)
{
    for (const char* value : {"0", "2", "-1", "en"}) {
        AppHarness h;
        CopyTranslationInto(h);
        h.UserSettings(QByteArray("[Misc]\nLanguage=") + value + "\n");
        ASSERT_TRUE(h.Start());
        EXPECT_FALSE(h.App().IsEnglish()) << value;
        EXPECT_EQ(h.Frame().Menu(0)->title(), "&Datei") << value;
    }
}

TEST(LanguageStart, TheAdministratorsLanguageCounts)
{
    AppHarness h;
    CopyTranslationInto(h);
    h.MachineSettings("[Misc]\nLanguage=1\n");
    h.UserSettings("[Misc]\nLanguage=0\n");
    ASSERT_TRUE(h.Start());
    EXPECT_TRUE(h.App().IsEnglish());
    EXPECT_EQ(h.Frame().Menu(0)->title(), "&File");
}

TEST(LanguageStart, AnInstalledProgramFindsItsFilesInTheShareFolder)
{
    // bin/folivant with its files in share/folivant, as the package and cmake --install lay them out.
    for (const QString args : {"", "/?"}) {
        AppHarness h;
        const QString share = QDir::cleanPath(h.ProgramDir() + "/../share/folivant");
        ASSERT_TRUE(QDir().mkpath(share));
        ASSERT_TRUE(QFile::copy(QStringLiteral(FOLIVANT_QM_FILE), share + "/FolivantEng.qm"));
        testsupport::WriteFile(share + "/FolivantCmndArgumentsEng.txt", "Usage: folivant\n");
        h.UserSettings("[Misc]\nLanguage=1\n");
        QString help;
        h.fakes.dialogs->handler = [&](QDialog& d) {
            help = dynamic_cast<CDiaHelp&>(d).HelpText();
            return QDialog::Rejected;
        };
        EXPECT_EQ(h.Start(args.isEmpty() ? QStringList{} : QStringList{args}), args.isEmpty());
        EXPECT_EQ(h.App().DataFolder(), share);
        EXPECT_TRUE(h.App().IsEnglish());
        EXPECT_EQ(h.App().HelpBookFolder(), share + "/help/en");
        if (!args.isEmpty()) {
            EXPECT_EQ(help, "Usage: folivant\n");
        }
    }
}

} // namespace
