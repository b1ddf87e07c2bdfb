// What a screen reader reads of the program, through Qt's accessibility interfaces.
#include "app/DiaHelp.h"
#include "core/CommandIds.h"
#include "dialogs/DiaPage.h"
#include "frame/ToolBarEx.h"
#include "pageview/ViewImage.h"
#include "platform/AccessibleEvents.h"
#include "support/AppHarness.h"
#include "thumbs/ListViewThumb.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <set>
#include <tuple>

namespace {

QAccessibleInterface* Iface(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString Name(QAccessibleInterface* iface)
{
    return iface != nullptr ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
}

// Paths (roles and names) of what a person can reach or see but a screen reader could not name (a named
// control's inside, a text box's viewport, is no element of its own), and of names with a key hint or "&".
void Audit(QAccessibleInterface* iface, const QString& path, QStringList* problems)
{
    const QString name = Name(iface);
    const QString here = path + u'/' + QString::number(iface->role(), 16) + u':' + name;
    const QAccessible::State s = iface->state();
    const QAccessibleInterface* parent = iface->parent();
    const bool inside =
        iface->role() == QAccessible::Client && parent != nullptr && parent->state().focusable;
    const bool reachable = s.focusable || (iface->childCount() == 0 && !inside);
    if (name.contains(u'\t') || name.contains(u'&') ||
        (!s.invisible && reachable && iface->role() != QAccessible::Separator && name.trimmed().isEmpty())) {
        problems->append(here);
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        Audit(iface->child(i), here, problems);
    }
}

// Listens to the program's own accessibility events in place of a screen reader.
struct EventLog
{
    EventLog()
    {
        ListenToAccessibleEvents([this](QAccessibleEvent& e) {
            events.insert({e.object(), e.type(), e.child()});
        });
    }
    ~EventLog() { ListenToAccessibleEvents({}); }
    bool Has(QObject* object, QAccessible::Event type, int child = -1) const
    {
        return events.count({object, type, child}) > 0;
    }
    std::set<std::tuple<QObject*, QAccessible::Event, int>> events;
};

class AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.Start());
        Open(QStringLiteral("a.tif"));
        h.Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&h.Frame()));
    }
    void Open(const QString& name)
    {
        ASSERT_TRUE(h.App().OpenDocumentFile(h.MakeFax(name, 12)));
        ASSERT_TRUE(testsupport::WaitFor([&] { return View()->IsPageDrawn() && View()->PageCount() == 12; }));
    }
    bool Shown(int page)
    {
        return testsupport::WaitFor([&] { return View()->ShownFrame() == page - 1 && !View()->IsLoading(); });
    }
    CListViewThumb* Strip() { return h.Frame().Strip(); }
    CViewImage* View() { return h.Frame().PageView(); }
    QComboBox* Box() { return h.Frame().ToolBar()->GetPageBox(); }
    QString Says(int page, const char* turn = "")
    {
        const int zoom = static_cast<int>(View()->Zoom().GetZoomPercent());
        return QStringLiteral("Seite %1 von 12, %2 %%3").arg(page).arg(zoom).arg(QString::fromUtf8(turn));
    }

    testsupport::AppHarness h;
};

TEST_F(AccessibilityTest, EveryControlHasACleanNameAndTabGoesThroughThePanes)
{
    QStringList problems;
    Audit(Iface(&h.Frame()), {}, &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    // The keys are the menu item's shortcut; a button is named without the "...".
    QAccessibleInterface* open = Iface(h.Frame().Action(Cmd::FileOpen));
    EXPECT_EQ(Name(open), QStringLiteral("Öffnen..."));
    EXPECT_EQ(open->text(QAccessible::Accelerator),
              QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText));
    EXPECT_EQ(Name(Iface(h.Frame().ToolBar()->widgetForAction(h.Frame().Action(Cmd::FileOpen)))), "Öffnen");
    // The page box is named by its label, says the page as its value and the page count after it.
    const auto labels = Iface(Box())->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(Name(labels.first().first) + Name(Iface(Box()->lineEdit())), QStringLiteral("SeiteSeite"));
    EXPECT_EQ(Iface(Box())->text(QAccessible::Value) + u' ' + Iface(Box())->text(QAccessible::Description),
              QStringLiteral("1 von 12"));
    // Tab and Shift+Tab go round the page box, the strip and the page view.
    const auto focused = [&] {
        QWidget* w = QApplication::focusWidget();
        return w == Box()->lineEdit() ? Box() : w;
    };
    Box()->setFocus(Qt::TabFocusReason);
    for (QWidget* next : QList<QWidget*>{Strip(), View(), Box(), Strip()}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), next) << focused()->metaObject()->className();
    }
    for (QWidget* back : QList<QWidget*>{Box(), View(), Strip()}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), back) << focused()->metaObject()->className();
    }
}

TEST_F(AccessibilityTest, TheStripIsAListOfPagesAndTheViewSaysWhatItShows)
{
    QAccessibleInterface* list = Iface(Strip());
    ASSERT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(Name(list), QStringLiteral("Seiten"));
    ASSERT_EQ(list->childCount(), 12);
    QAccessibleInterface* third = list->child(2);
    EXPECT_EQ(third->role(), QAccessible::ListItem);
    EXPECT_EQ(Name(third), QStringLiteral("Seite 3 / 12"));
    EXPECT_EQ(list->indexOfChild(third), 2);
    EXPECT_EQ(list->child(2), third); // kept, not made anew
    EXPECT_TRUE(list->child(0)->state().selected && !third->state().selected);
    EXPECT_FALSE(list->child(0)->state().focused); // the page view has the focus
    Strip()->setFocus();
    EXPECT_TRUE(list->child(0)->state().focused);
    EXPECT_EQ(list->focusChild(), list->child(0));
    third->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); // shows its page
    ASSERT_TRUE(Shown(3));

    QAccessibleInterface* view = Iface(View());
    EXPECT_EQ(view->role(), QAccessible::Graphic);
    EXPECT_EQ(Name(view), Says(3));
    EXPECT_EQ(view->text(QAccessible::Description), Says(3));
    h.Frame().Dispatch(Cmd::RotateCw);
    EXPECT_EQ(Name(view), Says(3, ", gedreht 90°"));
    h.Frame().Dispatch(Cmd::NextPage);
    EXPECT_TRUE(view->state().busy); // while the page is decoded
    ASSERT_TRUE(Shown(4));
    EXPECT_FALSE(view->state().busy);
    EXPECT_EQ(Name(view), Says(4));
}

// However the page is chosen, the strip selects and activates its item and the view tells its new name; a
// focused view moves the focus to a new page object, as screen readers speak a new focus.
TEST_F(AccessibilityTest, EveryPageChangeIsAnnounced)
{
    h.fakes.dialogs->handler = [](QDialog& d) {
        dynamic_cast<CDiaPage&>(d).Edit()->setText(QStringLiteral("9"));
        d.accept();
        return d.result();
    };
    const auto eleventh = [&] {
        return Strip()->visualRect(Strip()->Model()->index(10)).center();
    };
    const struct
    {
        const char* name;
        std::function<void()> choose;
        int page;
        QWidget* focus;
    } ways[] = {
        {"Page Down", [&] { QTest::keyClick(View(), Qt::Key_PageDown); }, 2, View()},
        {"End in the strip", [&] { QTest::keyClick(Strip(), Qt::Key_End); }, 12, Strip()},
        {"a click", [&] { QTest::mouseClick(Strip()->viewport(), Qt::LeftButton, {}, eleventh()); }, 11,
         Strip()},
        {"the page box", [&] { QTest::keyClicks(Box(), QStringLiteral("\b\b5\r")); }, 5, Box()},
        {"go to", [&] { h.Frame().Dispatch(Cmd::GoToPage); }, 9, View()},
        {"the next file", [&] { Open(QStringLiteral("b.tif")); }, 1, View()},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        way.focus->setFocus();
        EventLog log;
        way.choose();
        const int row = way.page - 1;
        ASSERT_TRUE(Shown(way.page));
        EXPECT_TRUE(log.Has(Strip(), QAccessible::Selection, row));
        EXPECT_TRUE(log.Has(Strip(), QAccessible::ActiveDescendantChanged, row));
        EXPECT_EQ(log.Has(Strip(), QAccessible::Focus, row), way.focus == Strip());
        EXPECT_TRUE(log.Has(View(), QAccessible::NameChanged));
        EXPECT_EQ(Name(Iface(View())), Says(way.page));
        EXPECT_EQ(log.Has(View(), QAccessible::Focus, 0), way.focus == View());
    }
    // The page object the focus left keeps its name: screen readers compare the two by name.
    EventLog log;
    QAccessibleInterface* left = Iface(View())->focusChild();
    const QString said = Name(left);
    QTest::keyClick(View(), Qt::Key_PageDown);
    ASSERT_TRUE(Shown(2));
    EXPECT_EQ(Name(left), said);
    EXPECT_EQ(Name(Iface(View())->focusChild()), Says(2));
    log.events.clear();
    h.Frame().Dispatch(Cmd::ZoomIn);
    EXPECT_TRUE(log.Has(View(), QAccessible::NameChanged));
    EXPECT_EQ(Name(Iface(View())), Says(2));
}

// Every dialog names its controls and, at a font half as large again as the desktop's, shows its texts whole.
TEST_F(AccessibilityTest, EveryDialogNamesItsControlsAndShowsLargeTextWhole)
{
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.5);
    QApplication::setFont(large);
    QStringList problems;
    const auto audit = [&](QDialog& d) {
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        const QString name = QString::fromLatin1(d.metaObject()->className());
        Audit(Iface(&d), name, &problems);
        for (QWidget* w : d.findChildren<QWidget*>()) {
            const bool text =
                qobject_cast<QLabel*>(w) != nullptr || qobject_cast<QAbstractButton*>(w) != nullptr;
            const int height =
                w->hasHeightForWidth() ? w->heightForWidth(w->width()) : w->minimumSizeHint().height();
            if (text && w->isVisible() &&
                (w->width() < w->minimumSizeHint().width() || w->height() < height)) {
                problems << name + QStringLiteral(": cut ") + Name(Iface(w));
            }
        }
        return int(QDialog::Rejected);
    };
    h.fakes.dialogs->handler = audit;
    for (int id : {Cmd::GoToPage, Cmd::ThumbOptions, Cmd::ImageOptions, Cmd::LanguageOptions, Cmd::PrintSetup,
                   Cmd::About}) {
        h.Frame().Dispatch(id);
    }
    EXPECT_EQ(h.fakes.dialogs->ran.size(), 6);
    CDiaHelp help(h.ProgramDir());
    audit(help);
    QApplication::setFont(normal);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
}

} // namespace
