#pragma once
// The command set as data: menu texts with key hints, toolbar order, keys and enabling rules. The main
// window builds its menus, toolbar and shortcuts from these tables; the rules are plain functions.

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

enum class EnableRule
{
    Always,
    Page,         // a page is shown
    Pages,        // a page is shown and there is more than one page
    Forward,      // ... and the current page is before the last
    Back,         // ... and the current page is after the first
    FileNext,     // a page is shown and the open file is not the last of the folder list
    FilePrevious, // a page is shown and the open file is not the first of the folder list
    Style,        // visual style: always enabled, the current one carries the radio mark
    Disabled,     // no handler
};

struct CommandInfo
{
    int id;
    const char* menuText; // German source text; "\t" separates the key hint
    EnableRule rule;
    const char* iconName; // res/icons/<name>-16.png, or nullptr
};

// The state the enabling rules read.
struct EnableState
{
    bool pageShown = false; // the page view has drawn the current page
    int pageCount = 1;      // from the strip's last fill
    int currentPage = 0;    // 1-based; 0 when nothing is selected
    bool stripExists = true;
    bool hasCurrentFile = false; // the open file is in the folder list
    bool isFirstFile = false;
    bool isLastFile = false;
};

bool IsCommandEnabled(EnableRule rule, const EnableState& state);
const CommandInfo* FindCommand(int id);
const std::vector<CommandInfo>& AllCommands();
// The translated menu text of a command ("&Datei" items keep their "&" and "\t" hint).
QString CommandMenuText(int id);
// The status-bar prompt and the tool tip (the text before and after "\n" of the command's string).
QString CommandPrompt(int id);
QString CommandToolTip(int id);

// The toolbar from left to right; 0 marks a separator.
const std::vector<int>& ToolbarLayout();
// The keys of a command in the order of the accelerator table. Keys that an earlier entry of the table
// already takes are not listed for later commands (Ctrl+V is "Vorhergehende Datei", never paste).
QList<QKeySequence> CommandKeys(int id);

// A menu of the menu bar.
struct MenuItem
{
    int id;           // 0: separator; -1: submenu
    const char* text; // for submenus
    std::vector<MenuItem> children;
};
struct MenuDef
{
    const char* title;
    std::vector<MenuItem> items;
};
const std::vector<MenuDef>& MenuBarLayout();
QString MenuTitle(const char* sourceText);
