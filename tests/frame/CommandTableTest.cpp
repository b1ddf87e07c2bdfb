#include "frame/CommandTable.h"
#include "core/CommandIds.h"
#include "core/HelpTopics.h"
#include "dialogs/DialogValidation.h"
#include "frame/GuiLook.h"
#include "frame/PageInput.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::map<int, bool> Enabling(const EnableState& s)
{
    std::map<int, bool> out;
    for (int id : {Cmd::FirstPage, Cmd::PreviousPage, Cmd::NextPage, Cmd::LastPage, Cmd::GoToPage,
                   Cmd::PageBox, Cmd::Print, Cmd::Copy, Cmd::RotateCw, Cmd::ZoomIn, Cmd::SaveAs,
                   Cmd::SendMail, Cmd::NextFile, Cmd::PreviousFile, Cmd::Undo, Cmd::FileOpen, Cmd::About}) {
        out[id] = IsCommandEnabled(FindCommand(id)->rule, s);
    }
    return out;
}

TEST(Enabling, OnePageDocument)
{
    EnableState s;
    s.pageShown = true;
    s.pageCount = 1;
    s.currentPage = 1;
    auto e = Enabling(s);
    for (int id :
         {Cmd::FirstPage, Cmd::PreviousPage, Cmd::NextPage, Cmd::LastPage, Cmd::GoToPage, Cmd::PageBox}) {
        EXPECT_FALSE(e[id]) << id;
    }
    for (int id : {Cmd::Print, Cmd::Copy, Cmd::RotateCw, Cmd::ZoomIn, Cmd::SaveAs, Cmd::SendMail}) {
        EXPECT_TRUE(e[id]) << id;
    }
    EXPECT_FALSE(e[Cmd::Undo]);
}

TEST(Enabling, TwelvePagesOnFirstMiddleAndLast)
{
    EnableState s;
    s.pageShown = true;
    s.pageCount = 12;
    s.currentPage = 1;
    auto e = Enabling(s);
    EXPECT_FALSE(e[Cmd::FirstPage]);
    EXPECT_FALSE(e[Cmd::PreviousPage]);
    EXPECT_TRUE(e[Cmd::NextPage]);
    EXPECT_TRUE(e[Cmd::LastPage]);
    EXPECT_TRUE(e[Cmd::GoToPage]);
    EXPECT_TRUE(e[Cmd::PageBox]);

    s.currentPage = 5;
    e = Enabling(s);
    for (int id : {Cmd::FirstPage, Cmd::PreviousPage, Cmd::NextPage, Cmd::LastPage}) {
        EXPECT_TRUE(e[id]) << id;
    }

    s.currentPage = 12;
    e = Enabling(s);
    EXPECT_TRUE(e[Cmd::FirstPage]);
    EXPECT_TRUE(e[Cmd::PreviousPage]);
    EXPECT_FALSE(e[Cmd::NextPage]);
    EXPECT_FALSE(e[Cmd::LastPage]);

    // No selection leaves next and last enabled.
    s.currentPage = 0;
    e = Enabling(s);
    EXPECT_TRUE(e[Cmd::NextPage]);
    EXPECT_FALSE(e[Cmd::FirstPage]);
}

TEST(Enabling, NothingDrawnDisablesEveryPageCommand)
{
    EnableState s;
    s.pageShown = false;
    s.pageCount = 12;
    s.currentPage = 5;
    auto e = Enabling(s);
    for (auto& [id, on] : e) {
        if (id == Cmd::FileOpen || id == Cmd::About) {
            EXPECT_TRUE(on) << id;
        } else {
            EXPECT_FALSE(on) << id;
        }
    }
}

TEST(Enabling, FileNavigationAtTheEndsOfTheFolder)
{
    EnableState s;
    s.pageShown = true;
    s.hasCurrentFile = true;
    s.isFirstFile = true; // one-file folder: first and last
    s.isLastFile = true;
    auto e = Enabling(s);
    EXPECT_FALSE(e[Cmd::NextFile]);
    EXPECT_FALSE(e[Cmd::PreviousFile]);
    s.isFirstFile = false; // the last file
    e = Enabling(s);
    EXPECT_FALSE(e[Cmd::NextFile]);
    EXPECT_TRUE(e[Cmd::PreviousFile]);
    s.isLastFile = false; // in the middle
    e = Enabling(s);
    EXPECT_TRUE(e[Cmd::NextFile]);
    EXPECT_TRUE(e[Cmd::PreviousFile]);
    s.hasCurrentFile = false; // not in the list at all: there is nowhere to step to
    e = Enabling(s);
    EXPECT_FALSE(e[Cmd::NextFile]);
    EXPECT_FALSE(e[Cmd::PreviousFile]);
}

TEST(Keys, AcceleratorTableOrderDecides)
{
    EXPECT_EQ(CommandKeys(Cmd::PreviousFile), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_V)}));
    EXPECT_EQ(CommandKeys(Cmd::Copy), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_C),
                                                           QKeySequence(Qt::CTRL | Qt::Key_Insert)}));
    EXPECT_EQ(CommandKeys(Cmd::NextPage),
              (QList<QKeySequence>{QKeySequence(Qt::Key_Down), QKeySequence(Qt::Key_PageDown)}));
    EXPECT_EQ(CommandKeys(Cmd::PreviousPage),
              (QList<QKeySequence>{QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::Key_Up)}));
    EXPECT_EQ(CommandKeys(Cmd::RotateCw),
              (QList<QKeySequence>{QKeySequence(Qt::Key_R), QKeySequence(Qt::Key_Right)}));
    EXPECT_EQ(CommandKeys(Cmd::RotateCcw),
              (QList<QKeySequence>{QKeySequence(Qt::Key_L), QKeySequence(Qt::Key_Left)}));
    EXPECT_EQ(CommandKeys(Cmd::Print), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_P)}));
    EXPECT_EQ(CommandKeys(Cmd::SendMail), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_M)}));
    EXPECT_EQ(CommandKeys(Cmd::Undo).size(), 2);
    EXPECT_EQ(CommandKeys(Cmd::NextPane), (QList<QKeySequence>{QKeySequence(Qt::Key_F6)}));
    EXPECT_EQ(CommandKeys(Cmd::PreviousPane), (QList<QKeySequence>{QKeySequence(Qt::SHIFT | Qt::Key_F6)}));
    EXPECT_EQ(CommandKeys(Cmd::ZoomIn).size(), 2);
    EXPECT_EQ(CommandKeys(Cmd::ZoomIn).first(), QKeySequence(Qt::Key_Plus));
    // No command is bound to a key that another command has.
    QList<QKeySequence> seen;
    for (const CommandInfo& c : AllCommands()) {
        for (const QKeySequence& k : CommandKeys(c.id)) {
            EXPECT_FALSE(seen.contains(k)) << k.toString().toStdString();
            seen << k;
        }
    }
}

TEST(Toolbar, ButtonsInTheirPlaces)
{
    std::vector<int> buttons;
    for (int id : ToolbarLayout()) {
        if (id != 0) {
            buttons.push_back(id);
        }
    }
    const std::vector<int> expected = {Cmd::FileOpen,  Cmd::SaveAs,       Cmd::SendMail,  Cmd::Copy,
                                       Cmd::RotateCcw, Cmd::RotateCw,     Cmd::FirstPage, Cmd::PreviousPage,
                                       Cmd::PageBox,   Cmd::NextPage,     Cmd::LastPage,  Cmd::WholeWidth,
                                       Cmd::WholePage, Cmd::ZoomOut,      Cmd::ZoomIn,    Cmd::ActualPixels,
                                       Cmd::Print,     Cmd::PreviousFile, Cmd::NextFile};
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(std::count(ToolbarLayout().begin(), ToolbarLayout().end(), 0), 6);
}

TEST(Texts, MenuPromptAndToolTip)
{
    EXPECT_EQ(CommandMenuText(Cmd::FileOpen), "Ö&ffnen...\tStrg+O");
    EXPECT_EQ(CommandMenuText(Cmd::ZoomOut), "Ve&rkleinern\t- | Strg + -");
    EXPECT_EQ(CommandPrompt(Cmd::FileOpen), "Öffnet ein bestehendes Dokument.");
    EXPECT_EQ(CommandToolTip(Cmd::FileOpen), "Öffnen");
    EXPECT_EQ(CommandToolTip(Cmd::RotateCcw), "-90° drehen");
    EXPECT_EQ(CommandPrompt(Cmd::HelpSupport), "Angaben über den Support von Folivant.");
    EXPECT_EQ(CommandToolTip(Cmd::HelpSupport), "");
    EXPECT_EQ(CommandPrompt(Cmd::RecentFirst + 3), "Öffnet dieses Dokument.");
    EXPECT_EQ(CommandPrompt(Cmd::GoToPage), ""); // no string: no prompt
    EXPECT_EQ(CommandPrompt(Cmd::LookAqua), "");
}

TEST(Menus, FileMenuOrderWithSeparators)
{
    const MenuDef& file = MenuBarLayout().front();
    std::vector<int> ids;
    for (const MenuItem& m : file.items) {
        ids.push_back(m.id);
    }
    const std::vector<int> expected = {Cmd::FileOpen,     0, Cmd::SaveAs,      0, Cmd::NextFile,
                                       Cmd::PreviousFile, 0, Cmd::SendMail,    0, Cmd::Print,
                                       Cmd::PrintSetup,   0, Cmd::RecentFirst, 0, Cmd::Exit};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(MenuBarLayout().size(), 6u);
}

TEST(PageInput, AcceptsNumbersWithBlanksAndRefusesTheRest)
{
    int page = -99;
    EXPECT_TRUE(ParsePageInput("12", &page));
    EXPECT_EQ(page, 12);
    EXPECT_TRUE(ParsePageInput("  12 ", &page));
    EXPECT_EQ(page, 12);
    EXPECT_TRUE(ParsePageInput("-3", &page));
    EXPECT_EQ(page, 1);
    EXPECT_TRUE(ParsePageInput("0", &page));
    EXPECT_EQ(page, 1);
    EXPECT_TRUE(ParsePageInput("   ", &page));
    EXPECT_EQ(page, 1);
    EXPECT_TRUE(ParsePageInput("99999999999", &page));
    EXPECT_EQ(page, 2147483647);
    page = 42;
    for (const char* bad : {"", "-", "1-2", "+3", "3.0", "abc", "3a", "\t3", " - 3"}) {
        EXPECT_FALSE(ParsePageInput(QString::fromLatin1(bad), &page)) << bad;
    }
    EXPECT_EQ(page, 42); // a refusal keeps the last accepted value
}

TEST(HelpTopics, TopicTable)
{
    EXPECT_EQ(HelpPageForTopic(1), "dia_option_thumb.html");
    EXPECT_EQ(HelpPageForTopic(2), "win_main.html");
    EXPECT_EQ(HelpPageForTopic(3), "win_thumb.html");
    EXPECT_EQ(HelpPageForTopic(4), "win_image.html");
    EXPECT_EQ(HelpPageForTopic(7), "support.html");
    EXPECT_EQ(HelpPageForTopic(8), "dia_about.html");
    EXPECT_EQ(HelpPageForTopic(9), "dia_option_image.html");
    EXPECT_EQ(HelpPageForTopic(10), "dia_option_language.html");
    EXPECT_EQ(HelpPageForTopic(11), "printing.html");
    for (unsigned t : {0u, 5u, 6u, 12u, 9999u}) {
        EXPECT_EQ(HelpPageForTopic(t), "") << t;
        EXPECT_FALSE(IsHelpTopicIgnored(t));
    }
    EXPECT_TRUE(IsHelpTopicIgnored(10000));
    EXPECT_TRUE(IsHelpTopicIgnored(static_cast<unsigned>(-1)));
}

TEST(GuiLookTable, CommandsAndValues)
{
    const std::vector<std::pair<int, int>> table = {
        {1, Cmd::LookWin2000}, {2, Cmd::LookOfficeXP}, {3, Cmd::LookWinXP}, {4, Cmd::LookOffice2003},
        {5, Cmd::LookVS2005},  {6, Cmd::LookVS2008},   {7, Cmd::LookBlue},  {8, Cmd::LookBlack},
        {9, Cmd::LookSilver},  {10, Cmd::LookAqua},    {11, Cmd::LookWin7}};
    for (auto [value, id] : table) {
        EXPECT_EQ(GuiLookFromCommand(id), value);
        EXPECT_EQ(CommandFromGuiLook(value), id);
    }
    EXPECT_EQ(GuiLookFromCommand(32821), 6);
    EXPECT_EQ(GuiLookFromCommand(0), 6);
    EXPECT_EQ(CommandFromGuiLook(0), 0);
    EXPECT_EQ(CommandFromGuiLook(12), 0);
}

TEST(DialogValidation, IntegerFieldMessages)
{
    int v = 0;
    EXPECT_EQ(ReadIntField(" 150 ", 100, 500, &v), IntFieldResult::Ok);
    EXPECT_EQ(v, 150);
    EXPECT_EQ(ReadIntField("+100", 100, 500, &v), IntFieldResult::Ok);
    EXPECT_EQ(ReadIntField("99", 100, 500, &v), IntFieldResult::OutOfRange);
    EXPECT_EQ(ReadIntField("501", 100, 500, &v), IntFieldResult::OutOfRange);
    EXPECT_EQ(ReadIntField("99999999999999999999", 100, 500, &v), IntFieldResult::OutOfRange);
    EXPECT_EQ(ReadIntField("abc", 100, 500, &v), IntFieldResult::NotInteger);
    EXPECT_EQ(ReadIntField("", 1, 1000, &v), IntFieldResult::NotInteger);
    EXPECT_EQ(ReadIntField("1 2", 1, 1000, &v), IntFieldResult::NotInteger);
    EXPECT_EQ(IntFieldMessage(IntFieldResult::NotInteger, 1, 1000), "Geben Sie eine ganze Zahl ein.");
    EXPECT_EQ(IntFieldMessage(IntFieldResult::OutOfRange, 100, 500),
              "Geben Sie eine ganze Zahl zwischen 100 und 500 ein.");
}

} // namespace
