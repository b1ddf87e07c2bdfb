// Every look keeps the command icons and the About link readable: at least 4.5 : 1 against what they are
// drawn on, measured on the painted pixels of the real toolbar, menus and About dialog; and the pane with
// the keyboard focus shows it by a frame that stands out as well against the pane.
#include "core/CommandIds.h"
#include "dialogs/DiaAbout.h"
#include "dialogs/URLLinkButton.h"
#include "frame/GuiLook.h"
#include "frame/MainFrame.h"
#include "frame/ToolBarEx.h"
#include "pageview/ViewImage.h"
#include "platform/Contrast.h"
#include "platform/FocusFrame.h"
#include "support/AppHarness.h"
#include "thumbs/ListViewThumb.h"

#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

using testsupport::AppHarness;

namespace {

constexpr double kMinimum = 4.5;

// The colour most pixels of `area` have: the face the area is drawn on.
QColor Face(const QImage& image, const QRect& area)
{
    QMap<QRgb, int> count;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            ++count[image.pixel(x, y) | 0xff000000u];
        }
    }
    QRgb best = 0;
    int most = -1;
    for (auto it = count.cbegin(); it != count.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    }
    return QColor::fromRgb(best);
}

// The contrast of a solid icon against `face`: its opaque pixels carry the icon's colour, so the pixel
// of `area` that stands out most is that colour.
double IconContrast(const QImage& image, const QRect& area, const QColor& face)
{
    double best = 1.0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            best = std::max(best, ContrastRatio(QColor::fromRgb(image.pixel(x, y)), face));
        }
    }
    return best;
}

void CollectMenus(QMenu* menu, QList<QMenu*>& out)
{
    out << menu;
    for (QAction* a : menu->actions()) {
        if (a->menu() != nullptr) {
            CollectMenus(a->menu(), out);
        }
    }
}

struct LookCase
{
    int command;
    const char* name;
};

const LookCase kLooks[] = {
    {Cmd::LookWin2000, "Windows 2000"},
    {Cmd::LookOfficeXP, "Office XP"},
    {Cmd::LookWinXP, "Windows XP"},
    {Cmd::LookOffice2003, "Office 2003"},
    {Cmd::LookVS2005, "Visual Studio 2005"},
    {Cmd::LookVS2008, "Visual Studio 2008"},
    {Cmd::LookBlue, "Office 2007 Blue"},
    {Cmd::LookBlack, "Office 2007 Black"},
    {Cmd::LookSilver, "Office 2007 Silver"},
    {Cmd::LookAqua, "Office 2007 Aqua"},
    {Cmd::LookWin7, "Windows 7"},
};

TEST(LooksTest, IconsAndTheAboutLinkStandOutInEveryLook)
{
    AppHarness h;
    ASSERT_TRUE(h.Start({h.MakeFax("brief.tif", 3)}));
    h.Frame().Dispatch(Cmd::NextPage); // every page command enabled
    h.Settle();
    h.Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.Frame()));
    const QList<QAbstractScrollArea*> panes = {h.Frame().Strip(), h.Frame().PageView()};
    QList<QMenu*> menus;
    for (QAction* a : h.Frame().menuBar()->actions()) {
        if (a->menu() != nullptr) {
            CollectMenus(a->menu(), menus);
        }
    }
    ASSERT_GE(menus.size(), 5);

    for (const LookCase& look : kLooks) {
        SCOPED_TRACE(look.name);
        h.Frame().Dispatch(look.command);
        ASSERT_STREQ(CurrentGuiLookName(), look.name);

        // Toolbar: each enabled button's icon against the bar above and below it.
        const QImage bar = h.Frame().ToolBar()->grab().toImage();
        int icons = 0;
        for (QToolButton* b : h.Frame().ToolBar()->findChildren<QToolButton*>()) {
            if (b->icon().isNull() || !b->isEnabled() || !b->isVisible()) {
                continue;
            }
            const QRect r = b->geometry();
            const QRect icon(r.center() - QPoint(7, 7), QSize(15, 15));
            for (const QColor face : {QColor::fromRgb(bar.pixel(r.left() + 1, r.top() + 1)),
                                      QColor::fromRgb(bar.pixel(r.left() + 1, r.bottom() - 1))}) {
                EXPECT_GE(IconContrast(bar, icon, face), kMinimum)
                    << "toolbar icon " << b->defaultAction()->toolTip().toStdString() << " on "
                    << face.name().toStdString();
            }
            ++icons;
        }
        EXPECT_GE(icons, 15);

        // The focused pane's frame around it; the other pane's frame in the look's mid colour.
        for (QAbstractScrollArea* pane : panes) {
            pane->setFocus();
            for (QAbstractScrollArea* shown : panes) {
                const QImage shot = shown->grab().toImage();
                const QColor edge = QColor::fromRgb(shot.pixel(1, shot.height() / 2));
                const QColor frame = FocusFrameColor(shown->palette());
                EXPECT_EQ(edge.rgb() == frame.rgb(), shown == pane) << shown->objectName().toStdString();
                EXPECT_GE(ContrastRatio(frame, shown->palette().color(QPalette::Base)), kMinimum);
            }
        }

        // Menus: each enabled item's icon against the item's face, also while the item is selected.
        int menuIcons = 0;
        for (QMenu* menu : menus) {
            menu->adjustSize();
            for (QAction* a : menu->actions()) {
                if (a->icon().isNull() || !a->isEnabled() || !a->isVisible()) {
                    continue;
                }
                const QRect item = menu->actionGeometry(a);
                // The 16-pixel icon sits in the item's left column, before the text; the item runs
                // under the menu's frame.
                const QRect icon(item.left() + 2, item.top() + 1, 20, item.height() - 2);
                for (QAction* selected : {static_cast<QAction*>(nullptr), a}) {
                    menu->setActiveAction(selected);
                    const QImage image = menu->grab().toImage();
                    const QColor face = Face(image, item.adjusted(2, 2, -2, -2));
                    EXPECT_GE(IconContrast(image, icon, face), kMinimum)
                        << "menu icon " << a->text().toStdString() << (selected ? " selected" : "") << " on "
                        << face.name().toStdString();
                }
                ++menuIcons;
            }
            menu->setActiveAction(nullptr);
        }
        EXPECT_GE(menuIcons, 15);

        // The About link in each of its states, against the dialog's face behind it.
        CSettingsStore store = h.Store();
        testsupport::FakePlatform fakes;
        CDiaAbout about(store, *fakes.platform, h.ProgramDir());
        about.adjustSize();
        const QImage dialog = about.grab().toImage();
        CURLLinkButton* link = about.LinkButton();
        const QColor face = Face(dialog, QRect(link->mapTo(&about, QPoint(0, 0)), link->size()));
        for (const QColor& state : {link->linkColor, link->hoverColor, link->visitedColor}) {
            EXPECT_GE(ContrastRatio(state, face), kMinimum)
                << "link " << state.name().toStdString() << " on " << face.name().toStdString();
        }
    }
}

TEST(Contrast, RatiosAndTheNearestReadableColour)
{
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor("#777777"), Qt::white), 4.48, 0.01);
    // The pale selection colour that the link once took, on the Visual Studio 2008 face.
    const QColor face("#e9ecf0");
    EXPECT_LT(ContrastRatio(QColor("#c1d2ee"), face), 1.5);
    const QColor readable = WithContrast(QColor("#c1d2ee"), face);
    EXPECT_GE(ContrastRatio(readable, face), kMinimum);
    EXPECT_LT(ContrastRatio(readable, face), kMinimum + 0.1); // no darker than needed
    EXPECT_GT(readable.blue(), readable.red());               // still blue
    // Light on dark goes lighter; a colour that already reads well stays.
    EXPECT_GT(WithContrast(QColor("#800080"), QColor("#535353")).lightness(), QColor("#800080").lightness());
    EXPECT_EQ(WithContrast(QColor("#0a246a"), Qt::white), QColor("#0a246a"));
}

} // namespace
