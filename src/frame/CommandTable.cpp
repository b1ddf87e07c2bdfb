#include "frame/CommandTable.h"

#include "core/CommandIds.h"
#include "core/Strings.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// clang-format off
const std::vector<CommandInfo> kCommands = {
    {Cmd::FileOpen,      QT_TRANSLATE_NOOP("Menu", "Ö&ffnen...\tStrg+O"),            EnableRule::Always,  "open"},
    {Cmd::SaveAs,        QT_TRANSLATE_NOOP("Menu", "Speichern unter...\tStrg+S"),    EnableRule::Page,    "save-as"},
    {Cmd::NextFile,      QT_TRANSLATE_NOOP("Menu", "Nächste Datei\tStrg+N"),         EnableRule::FileNext, "next-file"},
    {Cmd::PreviousFile,  QT_TRANSLATE_NOOP("Menu", "Vorhergehende Datei\tStrg+V"),   EnableRule::FilePrevious, "previous-file"},
    {Cmd::SendMail,      QT_TRANSLATE_NOOP("Menu", "Senden per Mail..."),            EnableRule::Page,    "mail"},
    {Cmd::Print,         QT_TRANSLATE_NOOP("Menu", "&Drucken...\tStrg+P"),           EnableRule::Page,    "print"},
    {Cmd::PrintSetup,    QT_TRANSLATE_NOOP("Menu", "Drucker&einrichtung..."),        EnableRule::Always,  nullptr},
    {Cmd::RecentFirst,   QT_TRANSLATE_NOOP("Menu", "Letzte Datei"),                  EnableRule::Always,  nullptr},
    {Cmd::Exit,          QT_TRANSLATE_NOOP("Menu", "&Beenden"),                      EnableRule::Always,  nullptr},
    {Cmd::Undo,          QT_TRANSLATE_NOOP("Menu", "&Rückgängig\tStrg+Z"),           EnableRule::Disabled, nullptr},
    {Cmd::Copy,          QT_TRANSLATE_NOOP("Menu", "&Kopieren\tStrg+C"),             EnableRule::Page,    "copy"},
    {Cmd::RotateCw,      QT_TRANSLATE_NOOP("Menu", "&Drehen 90°\tR | Pfeil rechts"), EnableRule::Page,    "rotate-cw"},
    {Cmd::RotateCcw,     QT_TRANSLATE_NOOP("Menu", "Drehen -90°\tL | Pfeil links"),  EnableRule::Page,    "rotate-ccw"},
    {Cmd::FirstPage,     QT_TRANSLATE_NOOP("Menu", "&Erste Seite\tHome"),            EnableRule::Back,    "first-page"},
    {Cmd::PreviousPage,  QT_TRANSLATE_NOOP("Menu", "&Vorhergehende Seite\tPage Up"), EnableRule::Back,    "previous-page"},
    {Cmd::PageBox,       QT_TRANSLATE_NOOP("Menu", "Bestimmte Seite anzeigen"),      EnableRule::Pages,   "go-to-page"},
    {Cmd::GoToPage,      QT_TRANSLATE_NOOP("Menu", "&Gehe zu..."),                   EnableRule::Pages,   nullptr},
    {Cmd::NextPage,      QT_TRANSLATE_NOOP("Menu", "&Nächste Seite\tPage down"),     EnableRule::Forward, "next-page"},
    {Cmd::LastPage,      QT_TRANSLATE_NOOP("Menu", "&Letzte Seite\tEnd"),            EnableRule::Forward, "last-page"},
    {Cmd::WholeWidth,    QT_TRANSLATE_NOOP("Menu", "Ganze Breite"),                  EnableRule::Page,    "whole-width"},
    {Cmd::WholePage,     QT_TRANSLATE_NOOP("Menu", "Gan&ze Seite"),                  EnableRule::Page,    "whole-page"},
    {Cmd::ZoomOut,       QT_TRANSLATE_NOOP("Menu", "Ve&rkleinern\t- | Strg + -"),    EnableRule::Page,    "zoom-out"},
    {Cmd::ZoomIn,        QT_TRANSLATE_NOOP("Menu", "&Vergrössern\t+ | Strg + +"),    EnableRule::Page,    "zoom-in"},
    {Cmd::ActualPixels,  QT_TRANSLATE_NOOP("Menu", "Tatsächliche &Pixel"),           EnableRule::Page,    "actual-pixels"},
    {Cmd::ThumbOptions,  QT_TRANSLATE_NOOP("Menu", "&Vorschaubilder..."),            EnableRule::Always,  nullptr},
    {Cmd::ImageOptions,  QT_TRANSLATE_NOOP("Menu", "&Hauptbild..."),                 EnableRule::Always,  nullptr},
    {Cmd::LanguageOptions, QT_TRANSLATE_NOOP("Menu", "S&prache..."),                 EnableRule::Always,  nullptr},
    {Cmd::LookWin2000,   QT_TRANSLATE_NOOP("Menu", "Windows &2000"),                 EnableRule::Style,   nullptr},
    {Cmd::LookOfficeXP,  QT_TRANSLATE_NOOP("Menu", "Office &XP"),                    EnableRule::Style,   nullptr},
    {Cmd::LookWinXP,     QT_TRANSLATE_NOOP("Menu", "&Windows XP"),                   EnableRule::Style,   nullptr},
    {Cmd::LookOffice2003, QT_TRANSLATE_NOOP("Menu", "Office 200&3"),                 EnableRule::Style,   nullptr},
    {Cmd::LookVS2005,    QT_TRANSLATE_NOOP("Menu", "Visual Studio 200&5"),           EnableRule::Style,   nullptr},
    {Cmd::LookVS2008,    QT_TRANSLATE_NOOP("Menu", "Visual Studio 200&8"),           EnableRule::Style,   nullptr},
    {Cmd::LookBlue,      QT_TRANSLATE_NOOP("Menu", "&Blue Style"),                   EnableRule::Style,   nullptr},
    {Cmd::LookBlack,     QT_TRANSLATE_NOOP("Menu", "B&lack Style"),                  EnableRule::Style,   nullptr},
    {Cmd::LookSilver,    QT_TRANSLATE_NOOP("Menu", "&Silver Style"),                 EnableRule::Style,   nullptr},
    {Cmd::LookAqua,      QT_TRANSLATE_NOOP("Menu", "&Aqua Style"),                   EnableRule::Style,   nullptr},
    {Cmd::LookWin7,      QT_TRANSLATE_NOOP("Menu", "Windows 7"),                     EnableRule::Style,   nullptr},
    {Cmd::HelpContents,  QT_TRANSLATE_NOOP("Menu", "Inhalt..."),                     EnableRule::Always,  "help"},
    {Cmd::HelpSupport,   QT_TRANSLATE_NOOP("Menu", "Support..."),                    EnableRule::Always,  nullptr},
    {Cmd::About,         QT_TRANSLATE_NOOP("Menu", "Inf&o über Folivant..."),        EnableRule::Always,  nullptr},
    {Cmd::NextPane,      nullptr,                                                    EnableRule::Always,  nullptr},
    {Cmd::PreviousPane,  nullptr,                                                    EnableRule::Always,  nullptr},
};

const std::vector<int> kToolbar = {
    Cmd::FileOpen, Cmd::SaveAs, Cmd::SendMail, 0,
    Cmd::Copy, 0,
    Cmd::RotateCcw, Cmd::RotateCw, 0,
    Cmd::FirstPage, Cmd::PreviousPage, Cmd::PageBox, Cmd::NextPage, Cmd::LastPage, 0,
    Cmd::WholeWidth, Cmd::WholePage, Cmd::ZoomOut, Cmd::ZoomIn, Cmd::ActualPixels, 0,
    Cmd::Print, 0,
    Cmd::PreviousFile, Cmd::NextFile,
};

// The accelerator table in its order. Entries whose command has no handler (cut, paste) are listed so
// that they keep their keys from later entries, as they always have.
struct Accel { QKeyCombination key; int id; };
const Accel kAccelerators[] = {
    {Qt::CTRL | Qt::Key_N, Cmd::NextFile},
    {Qt::CTRL | Qt::Key_V, Cmd::PreviousFile},
    {Qt::CTRL | Qt::Key_C, Cmd::Copy},
    {Qt::CTRL | Qt::Key_Insert, Cmd::Copy},
    {Qt::SHIFT | Qt::Key_Delete, 57635},
    {Qt::CTRL | Qt::Key_X, 57635},
    {Qt::CTRL | Qt::Key_V, 57637},
    {Qt::SHIFT | Qt::Key_Insert, 57637},
    {Qt::ALT | Qt::Key_Backspace, Cmd::Undo},
    {Qt::CTRL | Qt::Key_Z, Cmd::Undo},
    {Qt::CTRL | Qt::Key_O, Cmd::FileOpen},
    {Qt::CTRL | Qt::Key_S, Cmd::SaveAs},
    {QKeyCombination(Qt::Key_F6), Cmd::NextPane},
    {QKeyCombination(Qt::Key_Home), Cmd::FirstPage},
    {QKeyCombination(Qt::Key_End), Cmd::LastPage},
    {QKeyCombination(Qt::Key_Down), Cmd::NextPage},
    {QKeyCombination(Qt::Key_PageDown), Cmd::NextPage},
    {QKeyCombination(Qt::Key_PageUp), Cmd::PreviousPage},
    {QKeyCombination(Qt::Key_Up), Cmd::PreviousPage},
    {Qt::SHIFT | Qt::Key_F6, Cmd::PreviousPane},
    {QKeyCombination(Qt::Key_R), Cmd::RotateCw},
    {QKeyCombination(Qt::Key_Right), Cmd::RotateCw},
    {QKeyCombination(Qt::Key_L), Cmd::RotateCcw},
    {QKeyCombination(Qt::Key_Left), Cmd::RotateCcw},
    {QKeyCombination(Qt::Key_Plus), Cmd::ZoomIn},
    {QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus), Cmd::ZoomIn},
    {QKeyCombination(Qt::Key_Minus), Cmd::ZoomOut},
    {QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus), Cmd::ZoomOut},
    {Qt::CTRL | Qt::Key_M, Cmd::SendMail},
    // The menu promises Strg+P for printing; the key prints.
    {Qt::CTRL | Qt::Key_P, Cmd::Print},
};

const std::vector<MenuDef> kMenuBar = {
    {QT_TRANSLATE_NOOP("Menu", "&Datei"),
     {{Cmd::FileOpen, nullptr, {}}, {0, nullptr, {}}, {Cmd::SaveAs, nullptr, {}}, {0, nullptr, {}},
      {Cmd::NextFile, nullptr, {}}, {Cmd::PreviousFile, nullptr, {}}, {0, nullptr, {}},
      {Cmd::SendMail, nullptr, {}}, {0, nullptr, {}},
      {Cmd::Print, nullptr, {}}, {Cmd::PrintSetup, nullptr, {}}, {0, nullptr, {}},
      {Cmd::RecentFirst, nullptr, {}}, {0, nullptr, {}},
      {Cmd::Exit, nullptr, {}}}},
    {QT_TRANSLATE_NOOP("Menu", "&Bearbeiten"),
     {{Cmd::Undo, nullptr, {}}, {0, nullptr, {}}, {Cmd::Copy, nullptr, {}}}},
    {QT_TRANSLATE_NOOP("Menu", "&Seite"),
     {{Cmd::RotateCw, nullptr, {}}, {Cmd::RotateCcw, nullptr, {}}, {0, nullptr, {}},
      {Cmd::FirstPage, nullptr, {}}, {Cmd::PreviousPage, nullptr, {}}, {Cmd::GoToPage, nullptr, {}},
      {Cmd::NextPage, nullptr, {}}, {Cmd::LastPage, nullptr, {}}}},
    {QT_TRANSLATE_NOOP("Menu", "&Ansicht"),
     {{Cmd::WholeWidth, nullptr, {}}, {Cmd::WholePage, nullptr, {}}, {Cmd::ZoomOut, nullptr, {}},
      {Cmd::ZoomIn, nullptr, {}}, {Cmd::ActualPixels, nullptr, {}}}},
    {QT_TRANSLATE_NOOP("Menu", "&Optionen"),
     {{Cmd::ThumbOptions, nullptr, {}}, {Cmd::ImageOptions, nullptr, {}}, {Cmd::LanguageOptions, nullptr, {}},
      {-1, QT_TRANSLATE_NOOP("Menu", "&Benutzeroberfläche"),
       {{Cmd::LookWin2000, nullptr, {}}, {Cmd::LookOfficeXP, nullptr, {}}, {Cmd::LookWinXP, nullptr, {}},
        {Cmd::LookOffice2003, nullptr, {}}, {Cmd::LookVS2005, nullptr, {}}, {Cmd::LookVS2008, nullptr, {}},
        {-1, QT_TRANSLATE_NOOP("Menu", "Office 200&7"),
         {{Cmd::LookBlue, nullptr, {}}, {Cmd::LookBlack, nullptr, {}}, {Cmd::LookSilver, nullptr, {}},
          {Cmd::LookAqua, nullptr, {}}}},
        {Cmd::LookWin7, nullptr, {}}}}}},
    {QT_TRANSLATE_NOOP("Menu", "&?"),
     {{Cmd::HelpContents, nullptr, {}}, {0, nullptr, {}}, {Cmd::HelpSupport, nullptr, {}}, {0, nullptr, {}},
      {Cmd::About, nullptr, {}}}},
};
// clang-format on

} // namespace

bool IsCommandEnabled(EnableRule rule, const EnableState& s)
{
    switch (rule) {
    case EnableRule::Always:
    case EnableRule::Style:
        return true;
    case EnableRule::Disabled:
        return false;
    case EnableRule::Page:
        return s.pageShown;
    case EnableRule::Pages:
        return s.pageShown && s.pageCount > 1;
    case EnableRule::Forward:
        return s.stripExists && s.pageShown && s.pageCount > 1 && s.currentPage < s.pageCount;
    case EnableRule::Back:
        return s.stripExists && s.pageShown && s.pageCount > 1 && s.currentPage > 1;
    case EnableRule::FileNext:
        return s.pageShown && s.hasCurrentFile && !s.isLastFile;
    case EnableRule::FilePrevious:
        return s.pageShown && s.hasCurrentFile && !s.isFirstFile;
    }
    return false;
}

const std::vector<CommandInfo>& AllCommands()
{
    return kCommands;
}

const CommandInfo* FindCommand(int id)
{
    auto it =
        std::find_if(kCommands.begin(), kCommands.end(), [id](const CommandInfo& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

QString CommandMenuText(int id)
{
    const CommandInfo* c = FindCommand(id);
    return c == nullptr || c->menuText == nullptr ? QString()
                                                  : QCoreApplication::translate("Menu", c->menuText);
}

namespace {
QString PromptPart(int id, bool toolTip)
{
    const QString text =
        LoadString(id >= Cmd::RecentFirst && id <= Cmd::RecentLast ? int(Cmd::RecentFirst) : id);
    const qsizetype nl = text.indexOf(u'\n');
    if (toolTip) {
        return nl < 0 ? QString() : text.mid(nl + 1);
    }
    return nl < 0 ? text : text.left(nl);
}
} // namespace

QString CommandPrompt(int id)
{
    return PromptPart(id, false);
}
QString CommandToolTip(int id)
{
    return PromptPart(id, true);
}

const std::vector<int>& ToolbarLayout()
{
    return kToolbar;
}

QList<QKeySequence> CommandKeys(int id)
{
    QList<QKeySequence> keys;
    QList<QKeyCombination> taken;
    for (const Accel& a : kAccelerators) {
        if (taken.contains(a.key)) {
            continue; // an earlier entry has this key
        }
        taken << a.key;
        if (a.id == id) {
            keys << QKeySequence(a.key);
        }
    }
    return keys;
}

const std::vector<MenuDef>& MenuBarLayout()
{
    return kMenuBar;
}

QString MenuTitle(const char* sourceText)
{
    return QCoreApplication::translate("Menu", sourceText);
}
