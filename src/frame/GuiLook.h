#pragma once
// The eleven looks of the main window, chosen by the stored value "GuiLook" (1 ... 11, default 6).

// The look value of a style command; any other command gives 6.
int GuiLookFromCommand(int id);
// The command of a look value; any other value gives 0, which matches no menu item.
int CommandFromGuiLook(int value);

struct GuiLookInfo
{
    int value;
    int command;
    const char* name; // for humans and tests
};

// Makes the whole program use the look of `value` (Qt style, palette and a small style sheet). A value
// outside 1 ... 11 gives the Office 2007 look in the colour scheme chosen last in this run (blue unless
// another was chosen before).
void ApplyGuiLook(int value);
// The look that is in use, as applied last (for tests: its style name and scheme).
const char* CurrentGuiLookName();
