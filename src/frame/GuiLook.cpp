#include "frame/GuiLook.h"

#include "platform/Contrast.h"
#include "platform/Icons.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

struct Look
{
    const char* name;
    const char* style;     // Qt style
    const char* window;    // window and button face
    const char* base;      // page view and list background
    const char* text;      // window text
    const char* highlight; // selection
    const char* highlightedText;
    const char* barTop; // menu bar, toolbar and status bar gradient
    const char* barBottom;
    const char* barBorder;
};

// clang-format off
const Look kWin2000    {"Windows 2000",       "Windows", "#d4d0c8", "#ffffff", "#000000", "#0a246a", "#ffffff", "#d4d0c8", "#d4d0c8", "#808080"};
const Look kOfficeXP   {"Office XP",          "Fusion",  "#f9f8f7", "#ffffff", "#000000", "#b6bdd2", "#000000", "#fcfcf9", "#efedde", "#acaaa5"};
const Look kWinXP      {"Windows XP",         "Fusion",  "#ece9d8", "#ffffff", "#000000", "#316ac5", "#ffffff", "#f6f5ee", "#dcd8c6", "#aca899"};
const Look kOffice2003 {"Office 2003",        "Fusion",  "#d6e6fb", "#ffffff", "#000000", "#ffd295", "#000000", "#ddecfe", "#81a9e2", "#3b619c"};
const Look kVS2005     {"Visual Studio 2005", "Fusion",  "#f5f4ef", "#ffffff", "#000000", "#c1d2ee", "#000000", "#fafaf9", "#d6d3ce", "#a5a29c"};
const Look kVS2008     {"Visual Studio 2008", "Fusion",  "#e9ecf0", "#ffffff", "#000000", "#c1d2ee", "#000000", "#fafbfc", "#c4cbdb", "#8e9bb5"};
const Look kBlue       {"Office 2007 Blue",   "Fusion",  "#bfdbff", "#ffffff", "#15428b", "#ffe28f", "#000000", "#e3efff", "#afd2ff", "#6593cf"};
const Look kBlack      {"Office 2007 Black",  "Fusion",  "#535353", "#f3f3f3", "#f0f0f0", "#ffd85c", "#000000", "#6a6a6a", "#2b2b2b", "#101010"};
const Look kSilver     {"Office 2007 Silver", "Fusion",  "#d0d4dd", "#ffffff", "#000000", "#ffe28f", "#000000", "#f3f4f6", "#c5c9d1", "#8b9097"};
const Look kAqua       {"Office 2007 Aqua",   "Fusion",  "#c9d9e6", "#ffffff", "#000000", "#ffe28f", "#000000", "#eaf3fa", "#a8c4da", "#6f8ea8"};
const Look kWin7       {"Windows 7",          "Fusion",  "#f0f0f0", "#ffffff", "#000000", "#3399ff", "#ffffff", "#fcfcfd", "#dae6f4", "#a0afc3"};
// clang-format on

// The Office 2007 colour scheme stays what was chosen last in this run.
const Look* g_office2007 = &kBlue;
const Look* g_current = nullptr;

QPalette MakePalette(const Look& l)
{
    QPalette p;
    const QColor window(QString::fromLatin1(l.window));
    const QColor text(QString::fromLatin1(l.text));
    const QColor base(QString::fromLatin1(l.base));
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base.darker(104));
    p.setColor(QPalette::Text, base.lightness() > 128 ? QColor(Qt::black) : QColor(Qt::white));
    p.setColor(QPalette::Highlight, QColor(QString::fromLatin1(l.highlight)));
    p.setColor(QPalette::HighlightedText, QColor(QString::fromLatin1(l.highlightedText)));
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Midlight, window.lighter(115));
    p.setColor(QPalette::Mid, window.darker(130));
    p.setColor(QPalette::Dark, window.darker(160));
    p.setColor(QPalette::Shadow, window.darker(250));
    p.setColor(QPalette::Disabled, QPalette::WindowText,
               window.lightness() > 128 ? window.darker(170) : window.lighter(170));
    p.setColor(QPalette::Disabled, QPalette::ButtonText,
               window.lightness() > 128 ? window.darker(170) : window.lighter(170));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return p;
}

// Pop-up menus draw on a face of their own (a lightened base colour) and the item under the mouse on the
// selection colour. In a dark look the face follows the bars, so that the command icons, tinted for the
// dark toolbar, and the light text stay readable; and in every look the selection is made light or dark
// enough for the icons and the text on it, which take the icons' colour.
QPalette MakeMenuPalette(const Look& l)
{
    QPalette p = MakePalette(l);
    const QColor ink = p.color(QPalette::ButtonText);
    if (ink.lightness() > 128) {
        const QColor window(QString::fromLatin1(l.window));
        p.setColor(QPalette::Base, window);
        p.setColor(QPalette::Text, ink);
        p.setColor(QPalette::Disabled, QPalette::Text, window.lighter(170));
    }
    // Styles shade the selection a little: a margin above the 4.5 : 1 the icons need.
    p.setColor(QPalette::Highlight, WithContrast(p.color(QPalette::Highlight), ink, 5.0));
    p.setColor(QPalette::HighlightedText, ink);
    return p;
}

QString MakeStyleSheet(const Look& l)
{
    const QString bar = QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)")
                            .arg(QString::fromLatin1(l.barTop), QString::fromLatin1(l.barBottom));
    const QString border = QString::fromLatin1(l.barBorder);
    const QString text = QString::fromLatin1(l.text);
    return QStringLiteral("QMenuBar { background: %1; color: %3; border-bottom: 1px solid %2; }"
                          "QMenuBar::item:selected { background: %4; color: %5; }"
                          "QToolBar { background: %1; border: 1px solid %2; spacing: 2px; padding: 1px; }"
                          "QStatusBar { background: %1; color: %3; border-top: 1px solid %2; }"
                          "QStatusBar QLabel { color: %3; }"
                          "QSplitter::handle { background: %2; }")
        .arg(bar, border, text, QString::fromLatin1(l.highlight), QString::fromLatin1(l.highlightedText));
}

const Look& LookFor(int value)
{
    switch (value) {
    case 1:
        return kWin2000;
    case 2:
        return kOfficeXP;
    case 3:
        return kWinXP;
    case 4:
        return kOffice2003;
    case 5:
        return kVS2005;
    case 6:
        return kVS2008;
    case 7:
        g_office2007 = &kBlue;
        break;
    case 8:
        g_office2007 = &kBlack;
        break;
    case 9:
        g_office2007 = &kSilver;
        break;
    case 10:
        g_office2007 = &kAqua;
        break;
    case 11:
        return kWin7;
    default:
        break;
    }
    return *g_office2007;
}

} // namespace

void ApplyGuiLook(int value)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Look& look = LookFor(value);
    if (QStyle* style = QStyleFactory::create(QString::fromLatin1(look.style))) {
        QApplication::setStyle(style);
    }
    QApplication::setPalette(MakePalette(look));
    QApplication::setPalette(MakeMenuPalette(look), "QMenu");
    qApp->setStyleSheet(MakeStyleSheet(look));
    ResetFolivantIcons();
    g_current = &look;
    QApplication::restoreOverrideCursor();
}

const char* CurrentGuiLookName()
{
    return g_current == nullptr ? "" : g_current->name;
}
