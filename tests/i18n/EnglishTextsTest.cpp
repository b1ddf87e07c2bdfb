// The built FolivantEng.qm loaded the way the program loads it: the string table, the menus and the
// dialogs speak English, the files it names exist beside the program, and each menu keeps distinct
// accelerators in both languages.
#include "TsFile.h"

#include "app/DiaHelp.h"
#include "core/AccessibleText.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "dialogs/DiaOptions.h"
#include "dialogs/DiaPage.h"
#include "frame/CommandTable.h"
#include "support/FakePlatform.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

// Installs the built English translation for one test and removes it again: translators are
// process-wide.
class English
{
public:
    English()
    {
        m_loaded = m_translator.load(QStringLiteral(FOLIVANT_QM_FILE));
        if (m_loaded) {
            QCoreApplication::installTranslator(&m_translator);
        }
    }
    ~English()
    {
        if (m_loaded) {
            QCoreApplication::removeTranslator(&m_translator);
        }
    }
    bool Loaded() const { return m_loaded; }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};

#define REQUIRE_ENGLISH(e) ASSERT_TRUE((e).Loaded()) << "cannot load " FOLIVANT_QM_FILE

QStringList ButtonTexts(const QWidget& w)
{
    QStringList texts;
    for (const QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
        texts << b->text();
    }
    return texts;
}

TEST(EnglishTexts, StringTableMessagesAndFormats)
{
    English english;
    REQUIRE_ENGLISH(english);
    EXPECT_EQ(LoadString(Str::Error), "Error");
    EXPECT_EQ(LoadString(Str::RangeSyntax), "Syntax error in parameter /r.");
    EXPECT_EQ(LoadString(Str::ListSyntax), "Syntax error in parameter /i.");
    EXPECT_EQ(LoadString(Str::Product), "Folivant V1.15");
    EXPECT_EQ(FormatString(Str::ThumbLabel, {"2", "5"}), "Page 2 / 5");
    EXPECT_EQ(FormatString(Str::CopyFailed, {"/a.tif", "/b.tif"}),
              "An error occurred while copying the file '/a.tif' to '/b.tif'.");
    EXPECT_EQ(FormatString(Str::WrongFormat, {"/x.txt"}), "The selected file '/x.txt' has a wrong format. ");
    EXPECT_EQ(LoadString(Str::DialogIntegerRange).arg(100).arg(500), "Enter an integer between 100 and 500.");
    // What a screen reader says.
    EXPECT_EQ(PageViewText(3, 12, 35.0, 1), "Page 3 of 12, 35 %, rotated 90°");
    EXPECT_EQ(StripAccessibleName() + u' ' + PageBoxAccessibleName() + u' ' + PageBoxDescription(12),
              "Pages Page of 12");
    // Names of settings are the same in both languages.
    EXPECT_EQ(LoadString(Str::SectionMisc), "Misc");
    EXPECT_EQ(LoadString(Str::SettingAbout), "About");
}

TEST(EnglishTexts, CommandPromptsAndToolTips)
{
    English english;
    REQUIRE_ENGLISH(english);
    EXPECT_EQ(CommandPrompt(Cmd::NextPage), "Show the next page");
    EXPECT_EQ(CommandToolTip(Cmd::NextPage), "Next Page");
    EXPECT_EQ(CommandToolTip(Cmd::RotateCcw), "Rotate -90°");
    EXPECT_EQ(CommandToolTip(Cmd::NextFile), "Load and show the next file in the folder.");
    EXPECT_EQ(CommandPrompt(Cmd::RecentFirst + 2), "Open this document.");
}

TEST(EnglishTexts, MenuTitlesItemsAndKeyHints)
{
    English english;
    REQUIRE_ENGLISH(english);
    QStringList titles;
    for (const MenuDef& def : MenuBarLayout()) {
        titles << MenuTitle(def.title);
    }
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Page", "&View", "&Options", "&?"}));
    EXPECT_EQ(CommandMenuText(Cmd::FileOpen), "&Open...\tCtrl+O");
    EXPECT_EQ(CommandMenuText(Cmd::RotateCw), "&Rotate 90°\tR | Right arrow");
    EXPECT_EQ(CommandMenuText(Cmd::NextPage), "&Next Page\tPage Down");
    EXPECT_EQ(CommandMenuText(Cmd::ZoomIn), "Zoom &In\t+ | Ctrl + +");
    EXPECT_EQ(CommandMenuText(Cmd::About), "&About Folivant...");
}

// Every menu of the menu bar, and every submenu, with its texts in the language in use.
void CollectMenus(const std::vector<MenuItem>& items, const QString& title,
                  std::vector<std::pair<QString, QStringList>>* out)
{
    QStringList texts;
    for (const MenuItem& item : items) {
        if (item.id == -1) {
            texts << MenuTitle(item.text);
            CollectMenus(item.children, MenuTitle(item.text), out);
        } else if (item.id != 0) {
            texts << CommandMenuText(item.id);
        }
    }
    out->emplace_back(title, texts);
}

QStringList AcceleratorClashes()
{
    std::vector<std::pair<QString, QStringList>> menus;
    QStringList titles;
    for (const MenuDef& def : MenuBarLayout()) {
        titles << MenuTitle(def.title);
        CollectMenus(def.items, MenuTitle(def.title), &menus);
    }
    menus.emplace_back(QStringLiteral("menu bar"), titles);
    QStringList clashes;
    for (const auto& [title, texts] : menus) {
        QMap<QChar, QString> taken;
        for (const QString& text : texts) {
            const QChar key = i18ntest::AcceleratorOf(text);
            if (key.isNull()) {
                continue;
            }
            if (taken.contains(key)) {
                clashes << QStringLiteral("%1: \"%2\" and \"%3\"").arg(title, taken.value(key), text);
            }
            taken.insert(key, text);
        }
    }
    return clashes;
}

TEST(EnglishTexts, EachMenuHasDistinctAcceleratorsInBothLanguages)
{
    const QStringList german = AcceleratorClashes();
    EXPECT_TRUE(german.isEmpty()) << german.join(u'\n').toStdString();
    English english;
    REQUIRE_ENGLISH(english);
    ASSERT_EQ(CommandMenuText(Cmd::Exit), "E&xit");
    const QStringList clashes = AcceleratorClashes();
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
}

TEST(EnglishTexts, FilesNamedByTheTranslationLieBesideTheProgram)
{
    English english;
    REQUIRE_ENGLISH(english);
    const QString folder = QFileInfo(QStringLiteral(FOLIVANT_QM_FILE)).absolutePath();
    EXPECT_EQ(LoadString(Str::HelpBook), "help/en");
    EXPECT_TRUE(
        QFileInfo(folder + u'/' + LoadString(Str::HelpBook) + QStringLiteral("/index.html")).isFile());
    EXPECT_EQ(LoadString(Str::CmdArgumentsFile), "FolivantCmndArgumentsEng.txt");
    EXPECT_TRUE(QFileInfo(folder + u'/' + LoadString(Str::CmdArgumentsFile)).isFile());
    EXPECT_EQ(LoadString(Str::LogoFile), "FolivantLogo.bmp");
}

TEST(EnglishTexts, DialogsSpeakEnglish)
{
    English english;
    REQUIRE_ENGLISH(english);
    testsupport::TempDir dir;
    CSettingsStore store(dir.File("machine.conf"), dir.File("user.conf"));
    testsupport::FakePlatform fakes;

    CDiaOptionLanguage language(store);
    EXPECT_EQ(language.windowTitle(), "Language options");
    QStringList languageButtons = ButtonTexts(language);
    languageButtons.sort();
    EXPECT_EQ(languageButtons, QStringList({"Cancel", "English", "German", "OK"}));

    CDiaOptionThumb thumb(store, *fakes.platform);
    EXPECT_EQ(thumb.windowTitle(), "Thumbnail options");
    const QStringList thumbButtons = ButtonTexts(thumb);
    for (const char* text :
         {"Show thumbnails", "Low", "Medium", "High", "Vertical", "Horizontal", "Cancel"}) {
        EXPECT_TRUE(thumbButtons.contains(text)) << text;
    }

    CDiaPage page(*fakes.platform);
    EXPECT_EQ(page.windowTitle(), "Show page");

    // The command-line window reads the English overview beside the program.
    const QString folder = QFileInfo(QStringLiteral(FOLIVANT_QM_FILE)).absolutePath();
    CDiaHelp help(folder);
    EXPECT_EQ(help.windowTitle(), "Folivant Command-Line Parameters");
    EXPECT_TRUE(help.HelpText().startsWith("Usage")) << help.HelpText().left(80).toStdString();
}

} // namespace
