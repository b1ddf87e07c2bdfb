// What a screen reader reads of the program: every control named cleanly, the strip a list of pages with
// the current one selected, the page view saying page, count, zoom and turn, and the events that tell of
// a new page however it was chosen. Read through Qt's accessibility interfaces, as the platform bridge does.
#include "app/DiaHelp.h"
#include "core/CommandIds.h"
#include "dialogs/DiaPage.h"
#include "frame/ToolBarEx.h"
#include "pageview/ViewImage.h"
#include "platform/AccessibleEvents.h"
#include "platform/HelpWindow.h"
#include "support/AppHarness.h"
#include "thumbs/ListViewThumb.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using testsupport::AppHarness;

namespace {

QAccessibleInterface* Iface(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString Name(QAccessibleInterface* iface)
{
    return iface != nullptr ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
}

// What a person can reach or see and a screen reader could not name, and names that carry a key hint or an
// accelerator mark; each as a path of roles and names.
void Audit(QAccessibleInterface* iface, const QString& path, QStringList* problems)
{
    const QString name = Name(iface);
    const QString here = path + u'/' + QString::number(iface->role(), 16) + u':' + name;
    const QAccessible::State s = iface->state();
    if (name.contains(u'\t') || name.contains(u'&')) {
        problems->append(here + QStringLiteral(" (key hint or &)"));
    }
    // A named control's own inside (a text box's viewport) is no element of its own.
    const QAccessibleInterface* parent = iface->parent();
    const bool inside =
        iface->role() == QAccessible::Client && parent != nullptr && parent->state().focusable;
    const bool reachable = s.focusable || (iface->childCount() == 0 && !inside);
    if (!s.invisible && reachable && iface->role() != QAccessible::Separator && name.trimmed().isEmpty()) {
        problems->append(here + QStringLiteral(" (no name)"));
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface* child = iface->child(i)) {
            Audit(child, here, problems);
        }
    }
}

// Listens to the program's own accessibility events in place of a screen reader.
struct EventLog
{
    struct Entry
    {
        QObject* object;
        QAccessible::Event type;
        int child;
    };
    EventLog()
    {
        ListenToAccessibleEvents([this](QAccessibleEvent& e) {
            entries.push_back({e.object(), e.type(), e.child()});
        });
    }
    ~EventLog() { ListenToAccessibleEvents({}); }
    bool Has(QObject* object, QAccessible::Event type, int child = -1) const
    {
        return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) {
            return e.object == object && e.type == type && e.child == child;
        });
    }
    std::vector<Entry> entries;
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
    CListViewThumb* Strip() { return h.Frame().Strip(); }
    CViewImage* View() { return h.Frame().PageView(); }
    QString Expected(int page, const QString& turn = {})
    {
        return QStringLiteral("Seite %1 von 12, %2 %%3")
            .arg(page)
            .arg(static_cast<int>(View()->Zoom().GetZoomPercent()))
            .arg(turn);
    }

    AppHarness h;
};

TEST_F(AccessibilityTest, EveryControlHasACleanName)
{
    QStringList problems;
    Audit(Iface(&h.Frame()), {}, &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();

    // Menu items and buttons: the text without key hint and "&"; the keys as the item's shortcut.
    QAccessibleInterface* open = Iface(h.Frame().Action(Cmd::FileOpen));
    EXPECT_EQ(Name(open), QStringLiteral("Öffnen..."));
    EXPECT_EQ(open->text(QAccessible::Accelerator),
              QKeySequence(Qt::CTRL | Qt::Key_O).toString(QKeySequence::NativeText));
    EXPECT_EQ(Name(Iface(h.Frame().ToolBar()->widgetForAction(h.Frame().Action(Cmd::RotateCw)))),
              QStringLiteral("Drehen 90°"));

    // The page box: named by its label, the page number its value, the page count after it.
    QComboBox* box = h.Frame().ToolBar()->GetPageBox();
    QAccessibleInterface* boxIface = Iface(box);
    const auto labels = boxIface->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(Name(labels.first().first), QStringLiteral("Seite"));
    EXPECT_EQ(box->accessibleName(), QStringLiteral("Seite"));
    EXPECT_EQ(Name(Iface(box->lineEdit())), QStringLiteral("Seite"));
    EXPECT_EQ(boxIface->text(QAccessible::Value), QStringLiteral("1"));
    EXPECT_EQ(boxIface->text(QAccessible::Description), QStringLiteral("von 12"));
}

TEST_F(AccessibilityTest, TheStripIsAListOfPagesAndTheViewSaysWhatItShows)
{
    QAccessibleInterface* list = Iface(Strip());
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(Name(list), QStringLiteral("Seiten"));
    ASSERT_EQ(list->childCount(), 12);
    QAccessibleInterface* third = list->child(2);
    EXPECT_EQ(third->role(), QAccessible::ListItem);
    EXPECT_EQ(Name(third), QStringLiteral("Seite 3 / 12"));
    EXPECT_EQ(list->indexOfChild(third), 2);
    EXPECT_EQ(list->child(2), third); // kept, not made anew
    EXPECT_TRUE(list->child(0)->state().selected);
    EXPECT_FALSE(third->state().selected);
    EXPECT_FALSE(list->child(0)->state().focused); // the page view has the focus
    Strip()->setFocus();
    EXPECT_TRUE(list->child(0)->state().focused);
    EXPECT_EQ(list->focusChild(), list->child(0));
    // Pressing an item shows its page.
    third->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(Strip()->GetCurrentPage(), 3);

    ASSERT_TRUE(testsupport::WaitFor([&] { return View()->ShownFrame() == 2 && !View()->IsLoading(); }));
    QAccessibleInterface* view = Iface(View());
    EXPECT_EQ(view->role(), QAccessible::Graphic);
    EXPECT_EQ(Name(view), Expected(3));
    EXPECT_EQ(view->text(QAccessible::Description), Expected(3));
    h.Frame().Dispatch(Cmd::RotateCw);
    EXPECT_EQ(Name(view), Expected(3, QStringLiteral(", gedreht 90°")));
    // While the next page is decoded the view is busy.
    h.Frame().Dispatch(Cmd::NextPage);
    EXPECT_TRUE(view->state().busy);
    ASSERT_TRUE(testsupport::WaitFor([&] { return !View()->IsLoading(); }));
    EXPECT_FALSE(view->state().busy);
    EXPECT_EQ(Name(view), Expected(4));
}

// However the page is chosen, the strip selects its item and makes it the active one (focused too while the
// strip has the keyboard focus), and the page view tells its new name: in the view itself, or, while the
// view has the focus, as a new page that takes the focus.
TEST_F(AccessibilityTest, EveryPageChangeIsAnnounced)
{
    QComboBox* box = h.Frame().ToolBar()->GetPageBox();
    QStringList entered;
    h.fakes.dialogs->handler = [](QDialog& d) {
        auto& page = dynamic_cast<CDiaPage&>(d);
        page.Edit()->setText(QStringLiteral("9"));
        page.accept();
        return page.result();
    };
    struct Way
    {
        const char* name;
        std::function<void()> choose;
        int page;
        QWidget* focus;
    };
    const Way ways[] = {
        {"Page Down in the page view", [&] { QTest::keyClick(View(), Qt::Key_PageDown); }, 2, View()},
        {"End in the strip", [&] { QTest::keyClick(Strip(), Qt::Key_End); }, 12, Strip()},
        {"a click on a thumbnail",
         [&] {
             const QRect item = Strip()->visualRect(Strip()->Model()->index(10));
             QTest::mouseClick(Strip()->viewport(), Qt::LeftButton, {}, item.center());
         },
         11, Strip()},
        {"the page box",
         [&] {
             box->lineEdit()->setText(QStringLiteral("5"));
             QTest::keyClick(box, Qt::Key_Return);
         },
         5, box},
        {"go to", [&] { h.Frame().Dispatch(Cmd::GoToPage); }, 9, View()},
        {"the next file", [&] { Open(QStringLiteral("b.tif")); }, 1, View()},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        way.focus->setFocus();
        EventLog log;
        way.choose();
        ASSERT_EQ(Strip()->GetCurrentPage(), way.page);
        const int row = way.page - 1;
        EXPECT_TRUE(log.Has(Strip(), QAccessible::Selection, row));
        EXPECT_TRUE(log.Has(Strip(), QAccessible::ActiveDescendantChanged, row));
        EXPECT_EQ(log.Has(Strip(), QAccessible::Focus, row), way.focus == Strip());
        ASSERT_TRUE(
            testsupport::WaitFor([&] { return View()->ShownFrame() == row && !View()->IsLoading(); }));
        EXPECT_TRUE(log.Has(View(), QAccessible::NameChanged));
        EXPECT_EQ(Name(Iface(View())), Expected(way.page));
        EXPECT_EQ(log.Has(View(), QAccessible::Focus, 0), way.focus == View());
        if (way.focus == View()) {
            EXPECT_EQ(Name(Iface(View())->focusChild()), Expected(way.page));
        }
    }
    // The page object the focus leaves keeps what it said: screen readers compare the two by name.
    EventLog log;
    View()->setFocus();
    QAccessibleInterface* left = Iface(View())->focusChild();
    const QString said = Name(left);
    QTest::keyClick(View(), Qt::Key_PageDown);
    ASSERT_TRUE(testsupport::WaitFor([&] { return View()->ShownFrame() == 1 && !View()->IsLoading(); }));
    EXPECT_EQ(Name(left), said);
    EXPECT_EQ(Name(Iface(View())->focusChild()), Expected(2));
    // Zoom and turn are told too.
    log.entries.clear();
    h.Frame().Dispatch(Cmd::ZoomIn);
    EXPECT_TRUE(log.Has(View(), QAccessible::NameChanged));
    EXPECT_EQ(Name(Iface(View())), Expected(2));
}

// Tab goes from the page box to the strip, the page view and back to the page box; Shift+Tab the other way.
TEST_F(AccessibilityTest, TabReachesThePageBoxTheStripAndThePageViewInOrder)
{
    QComboBox* box = h.Frame().ToolBar()->GetPageBox();
    const auto focused = [&]() -> QWidget* {
        QWidget* w = QApplication::focusWidget();
        return w == box->lineEdit() ? box : w;
    };
    box->setFocus(Qt::TabFocusReason);
    const QList<QWidget*> order = {Strip(), View(), box, Strip()};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), next) << focused()->metaObject()->className();
    }
    for (auto it = order.rbegin() + 1; it != order.rend(); ++it) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), *it) << focused()->metaObject()->className();
    }
}

// Every dialog names its controls, and at a font half as large again as the desktop's (150 %) shows every
// text whole.
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
            if (!w->isVisible() ||
                (qobject_cast<QLabel*>(w) == nullptr && qobject_cast<QAbstractButton*>(w) == nullptr)) {
                continue;
            }
            const int height =
                w->hasHeightForWidth() ? w->heightForWidth(w->width()) : w->minimumSizeHint().height();
            if (w->width() < w->minimumSizeHint().width() || w->height() < height) {
                problems << name + QStringLiteral(": cut ") + Name(Iface(w));
            }
        }
        return int(QDialog::Rejected);
    };
    h.fakes.dialogs->handler = audit;
    for (int id : {int(Cmd::GoToPage), int(Cmd::ThumbOptions), int(Cmd::ImageOptions),
                   int(Cmd::LanguageOptions), int(Cmd::About)}) {
        h.Frame().Dispatch(id);
    }
    EXPECT_EQ(h.fakes.dialogs->ran.size(), 5);
    CDiaHelp help(h.ProgramDir());
    audit(help);
    QApplication::setFont(normal);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
}

} // namespace
