#include "core/CommandIds.h"
#include "frame/GuiLook.h"

#include <array>

namespace {
constexpr std::array<GuiLookInfo, 11> kLooks{{
    {1, Cmd::LookWin2000, "Windows 2000"},
    {2, Cmd::LookOfficeXP, "Office XP"},
    {3, Cmd::LookWinXP, "Windows XP"},
    {4, Cmd::LookOffice2003, "Office 2003"},
    {5, Cmd::LookVS2005, "Visual Studio 2005"},
    {6, Cmd::LookVS2008, "Visual Studio 2008"},
    {7, Cmd::LookBlue, "Office 2007 Blue"},
    {8, Cmd::LookBlack, "Office 2007 Black"},
    {9, Cmd::LookSilver, "Office 2007 Silver"},
    {10, Cmd::LookAqua, "Office 2007 Aqua"},
    {11, Cmd::LookWin7, "Windows 7"},
}};
} // namespace

int GuiLookFromCommand(int id)
{
    for (const GuiLookInfo& l : kLooks) {
        if (l.command == id) {
            return l.value;
        }
    }
    return 6;
}

int CommandFromGuiLook(int value)
{
    for (const GuiLookInfo& l : kLooks) {
        if (l.value == value) {
            return l.command;
        }
    }
    return 0;
}
