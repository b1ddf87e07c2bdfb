// The main window with the whole program behind it: layout, placement, keys, page navigation, the page
// box, go to, hidden commands, help and looks.
#include "core/CommandIds.h"
#include "dialogs/DiaPage.h"
#include "frame/GuiLook.h"
#include "frame/ToolBarEx.h"
#include "imaging/TiffImage.h"
#include "pageview/ViewImage.h"
#include "support/AppHarness.h"
#include "support/StripScreen.h"
#include "thumbs/ListViewThumb.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>

#include <atomic>
#include <chrono>
#include <mutex>

using testsupport::AppHarness;

namespace {

class FrameTest : public ::testing::Test
{
protected:
    void Open(AppHarness& h, int pages, const QString& name = QStringLiteral("doc.tif"))
    {
        FaxDocSpec desc;
        desc.width = 864;
        desc.height = 1146;
        const QString path = h.MakeFax(name, pages, desc);
        ASSERT_TRUE(h.App().OpenDocumentFile(path));
        ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
        h.Settle();
    }
    void Activate(AppHarness& h)
    {
        h.Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&h.Frame()));
    }
    int Current(AppHarness& h) { return h.Frame().Strip()->GetCurrentPage(); }
    QString BoxText(AppHarness& h) { return h.Frame().ToolBar()->GetPageBox()->currentText(); }
};

TEST_F(FrameTest, TheStripBesideOrAboveThePageView)
{
    AppHarness h;
    h.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=700\n");
    ASSERT_TRUE(h.Start());
    // The pane holds a thumbnail with the spacing on both sides beside the scroll bar.
    EXPECT_EQ(h.Frame().Splitter()->orientation(), Qt::Horizontal);
    CListViewThumb* strip = h.Frame().Strip();
    EXPECT_EQ(h.Frame().Splitter()->sizes().at(0), strip->PaneExtent(150));
    EXPECT_GE(strip->width() - 2 * strip->frameWidth() - strip->verticalScrollBar()->sizeHint().width(),
              22 + 150 + 22);

    AppHarness top;
    top.UserSettings(
        "[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=700\n[Thumb]\nAlign=1\nWidth=100\n");
    ASSERT_TRUE(top.Start());
    EXPECT_EQ(top.Frame().Splitter()->orientation(), Qt::Vertical);
    CListViewThumb* above = top.Frame().Strip();
    EXPECT_EQ(top.Frame().Splitter()->sizes().at(0), above->PaneExtent(100));
    EXPECT_GE(above->height() - 2 * above->frameWidth() - above->horizontalScrollBar()->sizeHint().height(),
              22 + 141 + 22);

    // Thumbnails 500 wide above the page: the strip takes half the room at most, whatever the window's
    // size or the bar's position; the page view keeps the other half.
    AppHarness wide;
    wide.UserSettings(
        "[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=700\n[Thumb]\nAlign=1\nWidth=500\n");
    ASSERT_TRUE(wide.Start());
    QSplitter* split = wide.Frame().Splitter();
    for (int height : {700, 450}) {
        wide.Frame().resize(wide.Frame().width(), height);
        wide.Settle();
        // The bar dragged to the bottom.
        QSplitterHandle* bar = split->handle(1);
        const QPoint from = bar->rect().center();
        QTest::mousePress(bar, Qt::LeftButton, {}, from);
        QTest::mouseMove(bar, from + QPoint(0, split->height()));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(0, split->height()));
        EXPECT_LE(split->sizes().at(0), split->height() / 2) << height;
        EXPECT_GE(wide.Frame().PageView()->height(), split->height() / 2 - split->handleWidth()) << height;
    }

    // Thumbnails off: the page view fills the client area, and paging still works.
    AppHarness off;
    off.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=700\n[Thumb]\nOn=0\n");
    ASSERT_TRUE(off.Start());
    Open(off, 4);
    EXPECT_FALSE(off.Frame().Strip()->isVisible());
    EXPECT_EQ(off.Frame().PageView()->width(), off.Frame().Splitter()->width());
    off.Frame().Dispatch(Cmd::LastPage);
    EXPECT_EQ(Current(off), 4);
    EXPECT_EQ(off.App().Document().GetTitle(), "doc.tif");
}

TEST_F(FrameTest, PlacementIsSavedAndRestored)
{
    {
        AppHarness h;
        h.UserSettings("[Misc]\nMaximized=0\n");
        ASSERT_TRUE(h.Start());
        // Within the headless screen (800 x 800): a rectangle reaching beyond it would be moved onto it.
        // The window's frame rectangle is stored (the offscreen platform's frame is 2 pixels wide).
        h.Frame().setGeometry(102, 52, 596, 496);
        h.Settle();
        EXPECT_EQ(h.Frame().frameGeometry(), QRect(100, 50, 600, 500));
        h.Stop();
        const CSettingsStore s = h.Store();
        EXPECT_EQ(s.GetProfileInt("Misc", "PosX1", 0), 100);
        EXPECT_EQ(s.GetProfileInt("Misc", "PosX2", 0), 700);
        EXPECT_EQ(s.GetProfileInt("Misc", "PosY1", 0), 50);
        EXPECT_EQ(s.GetProfileInt("Misc", "PosY2", 0), 550);
        EXPECT_EQ(s.GetProfileInt("Misc", "Maximized", -1), 0);

        AppHarness again;
        again.UserSettings(testsupport::ReadFile(h.UserFile()));
        ASSERT_TRUE(again.Start());
        EXPECT_EQ(again.Frame().frameGeometry(), QRect(100, 50, 600, 500));
        EXPECT_FALSE(again.Frame().isMaximized());
    }
    {
        // An inverted rectangle is not used.
        AppHarness h;
        h.UserSettings("[Misc]\nMaximized=0\nPosX1=500\nPosX2=400\nPosY1=10\nPosY2=300\n");
        ASSERT_TRUE(h.Start());
        EXPECT_NE(h.Frame().geometry().x(), 500);
        EXPECT_NE(h.Frame().width(), 100);
    }
    {
        // Closing while minimised keeps the previous placement.
        AppHarness h;
        h.UserSettings("[Misc]\nMaximized=0\nPosX1=10\nPosX2=610\nPosY1=20\nPosY2=420\n");
        ASSERT_TRUE(h.Start());
        h.Frame().showMinimized();
        h.Settle();
        if (h.Frame().isMinimized()) {
            h.Stop();
            EXPECT_EQ(h.Store().GetProfileInt("Misc", "PosX2", 0), 610);
        }
    }
}

TEST_F(FrameTest, PageKeysWorkAlsoInTheStripAndUpdateThePageBox)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 12);
    Activate(h);
    h.Frame().Strip()->setFocus();
    QTest::keyClick(h.Frame().Strip(), Qt::Key_End);
    EXPECT_EQ(Current(h), 12);
    EXPECT_EQ(BoxText(h), "12");
    QTest::keyClick(h.Frame().Strip(), Qt::Key_Up);
    QTest::keyClick(h.Frame().Strip(), Qt::Key_PageUp);
    EXPECT_EQ(Current(h), 10);
    QTest::keyClick(h.Frame().Strip(), Qt::Key_Home);
    EXPECT_EQ(Current(h), 1);
    QTest::keyClick(h.Frame().Strip(), Qt::Key_Down);
    EXPECT_EQ(Current(h), 2);
    EXPECT_EQ(BoxText(h), "2");
    EXPECT_EQ(h.Frame().windowTitle(), " doc.tif - Folivant V1.15");
    // R and the right arrow turn the page.
    QTest::keyClick(h.Frame().Strip(), Qt::Key_R);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 1);
    QTest::keyClick(h.Frame().Strip(), Qt::Key_Left);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 0);
    // F6 moves the focus between the panes.
    QTest::keyClick(h.Frame().Strip(), Qt::Key_F6);
    EXPECT_TRUE(h.Frame().PageView()->hasFocus());
    QTest::keyClick(h.Frame().PageView(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(h.Frame().Strip()->hasFocus());
}

// Opening shows page 1 while the strip counts the pages, and the thumbnails come after it: the page is
// decoded once, whether it arrives before the strip selects it or after, and a page that is slow to come
// holds the strip up only briefly.
TEST_F(FrameTest, OpeningDecodesPageOneOnceAndTheStripDoesNotWaitForeverForIt)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.Frame()));
    CPageRenderWorker* worker = h.Frame().PageView()->RenderWorker();
    std::atomic<int> loads{0};
    std::mutex gate;
    worker->SetBeforeLoad([&](const CPageRequest&) {
        ++loads;
        std::lock_guard<std::mutex> wait(gate);
    });
    Open(h, 30);
    EXPECT_EQ(loads.load(), 1);
    EXPECT_EQ(h.Frame().Strip()->GetPageCount(), 30);

    // Page 1 held back: the strip fills anyway, and the page shows once it comes, decoded once.
    loads = 0;
    gate.lock();
    FaxDocSpec desc;
    ASSERT_TRUE(h.App().OpenDocumentFile(h.MakeFax(QStringLiteral("held.tif"), 7, desc)));
    EXPECT_EQ(h.Frame().Strip()->GetPageCount(), 7);
    EXPECT_EQ(h.Frame().Strip()->GetCurrentPage(), 1);
    EXPECT_FALSE(h.Frame().PageView()->IsPageDrawn());
    gate.unlock();
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
    h.Settle();
    EXPECT_EQ(loads.load(), 1);
    worker->SetBeforeLoad({});
}

TEST_F(FrameTest, EnablingFollowsThePage)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 12);
    h.Frame().UpdateCommandStates();
    EXPECT_FALSE(h.Frame().Action(Cmd::FirstPage)->isEnabled());
    EXPECT_TRUE(h.Frame().Action(Cmd::LastPage)->isEnabled());
    EXPECT_TRUE(h.Frame().ToolBar()->GetPageBox()->isEnabled());
    h.Frame().Dispatch(Cmd::LastPage);
    EXPECT_TRUE(h.Frame().Action(Cmd::FirstPage)->isEnabled());
    EXPECT_FALSE(h.Frame().Action(Cmd::NextPage)->isEnabled());
    EXPECT_FALSE(h.Frame().Action(Cmd::Undo)->isEnabled());

    Open(h, 1, QStringLiteral("one.tif"));
    h.Frame().UpdateCommandStates();
    for (int id : {Cmd::FirstPage, Cmd::PreviousPage, Cmd::NextPage, Cmd::LastPage, Cmd::GoToPage}) {
        EXPECT_FALSE(h.Frame().Action(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(h.Frame().ToolBar()->GetPageBox()->isEnabled());
    for (int id : {Cmd::Print, Cmd::Copy, Cmd::RotateCw, Cmd::ZoomIn, Cmd::SaveAs}) {
        EXPECT_TRUE(h.Frame().Action(id)->isEnabled()) << id;
    }
}

TEST_F(FrameTest, ThePageBoxTakesTypedNumbersAndListChoices)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 5);
    Activate(h);
    QComboBox* box = h.Frame().ToolBar()->GetPageBox();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->count(), 5);
    const auto type = [&](const QString& text) {
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    };
    type("7");
    EXPECT_EQ(Current(h), 5);
    type(" 3 ");
    EXPECT_EQ(Current(h), 3);
    type("0");
    EXPECT_EQ(Current(h), 1);
    type("4");
    type("abc");
    EXPECT_EQ(Current(h), 4);
    ASSERT_EQ(h.fakes.messages->shown.size(), 1u);
    EXPECT_EQ(h.fakes.messages->shown[0].text, "Erwartete Eingabe: Ganzzahl.");
    EXPECT_EQ(h.fakes.messages->shown[0].caption, "Information");
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == box || focus == box->lineEdit()); // the focus went back into the box
    type("");
    EXPECT_EQ(h.fakes.messages->shown.size(), 2u);

    // Typing keeps its keys in the box: "R" and the arrows do not turn or page.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_R);
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 0);
    EXPECT_EQ(Current(h), 4);

    // A choice from the list.
    Q_EMIT box->activated(1);
    EXPECT_EQ(Current(h), 2);
    h.Frame().OnPageBoxSelect(-1);
    EXPECT_EQ(Current(h), 2);
}

// The page box shows the largest page number whole: 1200 reads 1200, not 200.
TEST_F(FrameTest, ThePageBoxShowsTheLargestPageNumberWhole)
{
    AppHarness h;
    h.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=700\n");
    ASSERT_TRUE(h.Start());
    FaxDocSpec desc;
    desc.width = 216;
    desc.height = 286;
    desc.paintPage = [](QImage&, int) {
    }; // blank pages: 1200 of them are written quickly
    ASSERT_TRUE(h.App().OpenDocumentFile(h.MakeFax(QStringLiteral("lang.tif"), 1200, desc)));
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
    h.Frame().Dispatch(Cmd::LastPage);
    QComboBox* box = h.Frame().ToolBar()->GetPageBox();
    ASSERT_EQ(box->currentText(), "1200");
    QLineEdit* edit = box->lineEdit();
    edit->setCursorPosition(0); // scrolled as far left as it goes: any digit cut off stays cut off
    const QRect text = edit->fontMetrics().tightBoundingRect(QStringLiteral("1200"));
    QRect shown;
    testsupport::WaitForSettled(
        [&] {
            h.Settle();
            shown = testsupport::DarkBox(testsupport::OnScreen(edit), edit->rect());
            return std::abs(shown.width() - text.width()) <= 2;
        },
        shown);
    EXPECT_LE(std::abs(shown.width() - text.width()), 2)
        << "shown " << testsupport::Describe(shown) << ", the text takes " << text.width();
    EXPECT_GT(shown.left(), 0);
    EXPECT_LT(shown.right(), edit->width() - 1);
    // Room for five digits at least, whatever the document.
    EXPECT_GE(edit->width(), 5 * edit->fontMetrics().horizontalAdvance(QLatin1Char('8')));
}

// Exactly one label shows the selection colour on the screen - the current page's, scrolled into view
// with its thumbnail - after every way of changing the page, with large thumbnails in both arrangements.
TEST_F(FrameTest, OnlyTheCurrentPagesThumbnailIsHighlighted)
{
    for (int align : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "align " << align);
        AppHarness h;
        h.UserSettings(QStringLiteral("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=750\n"
                                      "[Thumb]\nWidth=%2\nAlign=%1\n")
                           .arg(align)
                           // Above the page the strip takes half the window's height at most.
                           .arg(align == 0 ? 300 : 180)
                           .toUtf8());
        ASSERT_TRUE(h.Start());
        FaxDocSpec desc;
        desc.width = 864;
        desc.height = 1146;
        h.MakeFax(QStringLiteral("b.tif"), 5, desc);
        // Opened through the file dialog, so that the folder's files can be paged through.
        h.fakes.files->answers.push_back(h.MakeFax(QStringLiteral("a.tif"), 12, desc));
        h.Frame().Dispatch(Cmd::FileOpen);
        ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
        Activate(h);
        CListViewThumb* strip = h.Frame().Strip();
        const auto check = [&](const char* how) {
            testsupport::ExpectOnlyLabelHighlighted(*strip, Current(h) - 1, how);
        };
        check("open");
        strip->setFocus();
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_Up, Qt::Key_Home, Qt::Key_PageDown}) {
            QTest::keyClick(strip, key);
            check(qPrintable(QKeySequence(key).toString()));
        }
        QTest::keyClick(h.Frame().PageView(), Qt::Key_End);
        check("End in the page view");
        strip->scrollTo(strip->Model()->index(4));
        QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, strip->ThumbnailRect(4).center());
        EXPECT_EQ(Current(h), 5);
        check("click");
        QComboBox* box = h.Frame().ToolBar()->GetPageBox();
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, "9");
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(Current(h), 9);
        check("page box");
        h.fakes.dialogs->handler = [&](QDialog& d) {
            dynamic_cast<CDiaPage&>(d).Edit()->setText("3");
            d.accept();
            return int(QDialog::Accepted);
        };
        h.Frame().Dispatch(Cmd::GoToPage);
        EXPECT_EQ(Current(h), 3);
        check("go to");
        // To the other file of the folder and back, whichever way it lies.
        const bool bIsNext = !h.Frame().Data().IsLastFile();
        h.Frame().Dispatch(bIsNext ? Cmd::NextFile : Cmd::PreviousFile);
        ASSERT_EQ(h.App().Document().GetTitle(), "b.tif");
        check("other file");
        h.Frame().Dispatch(Cmd::LastPage);
        h.Frame().Dispatch(bIsNext ? Cmd::PreviousFile : Cmd::NextFile);
        ASSERT_EQ(h.App().Document().GetTitle(), "a.tif");
        check("back to the first file");
    }
}

// Ctrl with plus or minus on the number pad zooms like the toolbar's buttons, whichever pane has the focus.
TEST_F(FrameTest, KeypadZoomKeysInBothPanes)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 2);
    Activate(h);
    CViewImage* view = h.Frame().PageView();
    for (QWidget* pane : {static_cast<QWidget*>(view), static_cast<QWidget*>(h.Frame().Strip())}) {
        SCOPED_TRACE(pane->objectName().toStdString());
        pane->setFocus();
        const double before = view->Zoom().GetZoomPercent();
        QTest::keyClick(pane, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        const double in = view->Zoom().GetZoomPercent();
        EXPECT_GT(in, before);
        QTest::keyClick(pane, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_LT(view->Zoom().GetZoomPercent(), in);
        // The same steps as the toolbar's buttons.
        h.Frame().Action(Cmd::ZoomIn)->trigger();
        EXPECT_EQ(view->Zoom().GetZoomPercent(), in);
        h.Frame().Action(Cmd::ZoomOut)->trigger();
    }
}

TEST_F(FrameTest, GoToAsksForANumberBetweenOneAndAThousand)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 12);
    h.Frame().Dispatch(Cmd::LastPage);
    h.Frame().Dispatch(Cmd::PreviousPage);
    QStringList entered = {"0", "1001", "x", "50"};
    QString shownFirst;
    h.fakes.dialogs->handler = [&](QDialog& d) {
        auto& page = dynamic_cast<CDiaPage&>(d);
        shownFirst = page.Edit()->text();
        for (const QString& text : entered) {
            page.Edit()->setText(text);
            page.accept();
            if (page.result() == QDialog::Accepted) {
                return int(QDialog::Accepted);
            }
        }
        return int(QDialog::Rejected);
    };
    h.Frame().Dispatch(Cmd::GoToPage);
    EXPECT_EQ(shownFirst, "11");
    ASSERT_EQ(h.fakes.messages->shown.size(), 3u);
    EXPECT_EQ(h.fakes.messages->shown[0].text, "Geben Sie eine ganze Zahl zwischen 1 und 1000 ein.");
    EXPECT_EQ(h.fakes.messages->shown[1].text, "Geben Sie eine ganze Zahl zwischen 1 und 1000 ein.");
    EXPECT_EQ(h.fakes.messages->shown[2].text, "Geben Sie eine ganze Zahl ein.");
    EXPECT_EQ(Current(h), 12); // 50 is clamped to the last page

    entered = {"9"};
    h.Frame().Dispatch(Cmd::GoToPage);
    EXPECT_EQ(Current(h), 9);
    h.fakes.dialogs->handler = nullptr; // cancel
    h.Frame().Dispatch(Cmd::GoToPage);
    EXPECT_EQ(Current(h), 9);
}

TEST_F(FrameTest, RotationIsKeptPerPageUntilTheFileIsOpenedAgain)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 5);
    h.Frame().Strip()->SelectPage(3);
    h.Frame().Dispatch(Cmd::RotateCw);
    h.Frame().Strip()->SelectPage(4);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 0);
    h.Frame().Strip()->SelectPage(3);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 1);
    ASSERT_TRUE(testsupport::WaitFor([&] { return !h.Frame().PageView()->IsLoading(); }));
    EXPECT_EQ(h.Frame().PageView()->Zoom().GetPageWidth(), 1146 * 204 / 196);
    ASSERT_TRUE(h.App().OpenDocumentFile(h.App().Document().GetPathName()));
    h.Frame().Strip()->SelectPage(3);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 0);
}

TEST_F(FrameTest, CopyFromTheStripCopiesTheShownPage)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 2);
    Activate(h);
    h.Frame().Strip()->setFocus();
    QTest::keyClick(h.Frame().Strip(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.fakes.clipboard->calls == 1; })); // prepared on a worker
    EXPECT_EQ(h.fakes.clipboard->image.size(), QSize(864, 1146 * 204 / 196));
}

TEST_F(FrameTest, HiddenCommandsLeaveMenuToolbarAndSomeKeys)
{
    AppHarness h;
    h.MachineSettings("[Misc]\nHideSaveAs=1\nHideDocNavigation=1\nHideSendMail=1\n");
    ASSERT_TRUE(h.Start());
    QMenu* file = h.Frame().Menu(0);
    QList<int> ids;
    for (QAction* a : file->actions()) {
        ids << (a->isSeparator() ? 0 : a->data().toInt());
    }
    EXPECT_FALSE(ids.contains(Cmd::SaveAs));
    EXPECT_FALSE(ids.contains(Cmd::NextFile));
    EXPECT_FALSE(ids.contains(Cmd::PreviousFile));
    EXPECT_FALSE(ids.contains(Cmd::SendMail));
    ASSERT_GE(ids.size(), 4);
    EXPECT_EQ(ids.at(0), Cmd::FileOpen);
    EXPECT_EQ(ids.at(1), 0);
    EXPECT_EQ(ids.at(2), 0); // the separators around the file navigation stay
    for (QAction* a : h.Frame().ToolBar()->actions()) {
        EXPECT_NE(a->data().toInt(), Cmd::SaveAs);
        EXPECT_NE(a->data().toInt(), Cmd::NextFile);
        EXPECT_NE(a->data().toInt(), Cmd::SendMail);
    }
    Open(h, 2);
    Activate(h);
    QTest::keyClick(&h.Frame(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(h.fakes.files->saveInitialPaths.isEmpty()); // Save As does nothing
    QTest::keyClick(&h.Frame(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(h.fakes.mail->sent.size(), 1); // mail still goes out by its key

    // The same buttons stay away after the toolbar is laid out anew.
    AppHarness plain;
    plain.MachineSettings("[Misc]\nHideSendMail=1\n");
    ASSERT_TRUE(plain.Start());
    bool mailButton = false;
    for (QAction* a : plain.Frame().ToolBar()->actions()) {
        mailButton |= a->data().toInt() == Cmd::SendMail;
    }
    EXPECT_FALSE(mailButton);
}

TEST_F(FrameTest, HelpTopicsOpenTheirPages)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    Open(h, 2);
    Activate(h);
    h.Frame().Strip()->setFocus();
    QTest::keyClick(h.Frame().Strip(), Qt::Key_F1);
    h.Frame().PageView()->setFocus();
    QTest::keyClick(h.Frame().PageView(), Qt::Key_F1);
    h.Frame().Dispatch(Cmd::HelpContents);
    h.Frame().Dispatch(Cmd::HelpSupport);
    h.Frame().OnHelpRequest(0);
    h.Frame().OnHelpRequest(10000);
    EXPECT_EQ(h.fakes.help->pages,
              (QStringList{"win_thumb.html", "win_image.html", "win_main.html", "support.html", ""}));
    EXPECT_EQ(h.fakes.help->folders.value(0), h.ProgramDir() + "/help/de");
}

TEST_F(FrameTest, LooksAreMarkedSavedAndAppliedAtStart)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    EXPECT_TRUE(h.Frame().Action(Cmd::LookVS2008)->isChecked());
    EXPECT_STREQ(CurrentGuiLookName(), "Visual Studio 2008");
    h.Frame().Dispatch(Cmd::LookAqua);
    EXPECT_EQ(h.Store().GetProfileInt("Misc", "GuiLook", 0), 10);
    EXPECT_STREQ(CurrentGuiLookName(), "Office 2007 Aqua");
    EXPECT_TRUE(h.Frame().Action(Cmd::LookAqua)->isChecked());
    EXPECT_FALSE(h.Frame().Action(Cmd::LookVS2008)->isChecked());

    // Out-of-range values give the Office 2007 look in the scheme chosen last, and no mark.
    AppHarness odd;
    odd.UserSettings("[Misc]\nGuiLook=12\n");
    ASSERT_TRUE(odd.Start());
    EXPECT_STREQ(CurrentGuiLookName(), "Office 2007 Aqua");
    for (int id = Cmd::LookWin2000; id <= Cmd::LookWin7; ++id) {
        if (QAction* a = odd.Frame().Action(id)) {
            EXPECT_FALSE(a->isChecked()) << id;
        }
    }
}

TEST(GuiLooks, ElevenDistinguishableLooks)
{
    QSet<QString> seen;
    for (int v = 1; v <= 11; ++v) {
        ApplyGuiLook(v);
        const QString key = QApplication::style()->name() +
                            QApplication::palette().color(QPalette::Window).name() + qApp->styleSheet();
        seen.insert(key);
    }
    EXPECT_EQ(seen.size(), 11);
    ApplyGuiLook(7);
    ApplyGuiLook(0);
    EXPECT_STREQ(CurrentGuiLookName(), "Office 2007 Blue");
}

} // namespace

namespace {
TEST(Toolbar, EveryButtonHasItsIconAndFitsTheWindow)
{
    AppHarness h;
    h.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=800\nPosY1=0\nPosY2=600\n");
    ASSERT_TRUE(h.Start());
    for (QAction* a : h.Frame().ToolBar()->actions()) {
        if (!a->isSeparator() && a->objectName() != "PageBoxAction") {
            EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
            EXPECT_TRUE(h.Frame().ToolBar()->widgetForAction(a)->isVisible()) << a->data().toInt();
        }
    }
    EXPECT_TRUE(h.Frame().ToolBar()->GetPageBox()->isVisible());
}
} // namespace

namespace {
// Regression: the page was drawn shifted by the page view's position inside the window.
TEST(PagePainting, ThePageAppearsWhereThePageViewIsInTheWindow)
{
    AppHarness h;
    h.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=750\n");
    ASSERT_TRUE(h.Start());
    FaxDocSpec desc;
    desc.width = 864;
    desc.height = 1146;
    ASSERT_TRUE(h.App().OpenDocumentFile(h.MakeFax("paint.tif", 1, desc)));
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
    CViewImage* view = h.Frame().PageView();
    const QImage window = h.Frame().grab().toImage().convertToFormat(QImage::Format_RGB888);
    const QRect r = view->ImageRect();
    const QPoint origin = view->viewport()->mapTo(&h.Frame(), r.topLeft());
    CTiffImage page(view->DocumentPath());
    const QImage expected = page.RenderScaled(r.width(), r.height(), InterpolationMode::HighQuality);
    int differing = 0;
    for (int y = 0; y < r.height(); y += 9) {
        for (int x = 0; x < r.width(); x += 7) {
            differing += window.pixel(origin.x() + x, origin.y() + y) != expected.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}
} // namespace

namespace {
long long MonotonicNs() // CLOCK_MONOTONIC, as the stamp
{
    return std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The cold-start benchmark reads when page 1 was painted as it stays from the stamp the program writes.
TEST(PagePainting, TheFirstPageFittedAndSharpIsStampedOnceWhenAsked)
{
    AppHarness h;
    h.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=700\n");
    const QString stamp = h.Dir() + QStringLiteral("/first-paint");
    qputenv("FOLIVANT_STAMP_FIRST_PAINT", QFile::encodeName(stamp));
    const bool started = h.Start();
    qunsetenv("FOLIVANT_STAMP_FIRST_PAINT");
    ASSERT_TRUE(started);
    h.Settle();
    EXPECT_FALSE(QFile::exists(stamp)); // the empty window is no page
    const long long before = MonotonicNs();
    ASSERT_TRUE(h.App().OpenDocumentFile(h.MakeFax(QStringLiteral("stamp.tif"), 2)));
    ASSERT_TRUE(testsupport::WaitFor([&] { return QFile::exists(stamp); }));
    const long long after = MonotonicNs();
    CViewImage* view = h.Frame().PageView();
    EXPECT_TRUE(view->IsPageDrawn());
    EXPECT_FALSE(view->IsRendering());
    EXPECT_EQ(view->ImageRect().height(), view->viewport()->height()); // a fax page fills the height
    const QList<QByteArray> fields = testsupport::ReadFile(stamp).trimmed().split(' ');
    ASSERT_EQ(fields.size(), 2);
    EXPECT_GE(fields[0].toLongLong(), before);
    EXPECT_LE(fields[0].toLongLong(), after);
    EXPECT_GT(fields[1].toLongLong(), 0); // the CPU time up to then
    // Another page painted later writes nothing.
    ASSERT_TRUE(QFile::remove(stamp));
    h.Frame().Dispatch(Cmd::NextPage);
    ASSERT_TRUE(testsupport::WaitFor([&] { return view->ShownFrame() == 1 && view->IsPageDrawn(); }));
    h.Settle();
    EXPECT_FALSE(QFile::exists(stamp));
}
} // namespace
