// The page view: square pixels, fitting, scrolling, marking, copying and turning.
#include "core/Strings.h"
#include "document/FolivantDoc.h"
#include "imaging/TiffImage.h"
#include "pageview/PagePaintPlan.h"
#include "pageview/PageRenderWorker.h"
#include "pageview/ViewImage.h"
#include "support/FakePlatform.h"
#include "support/TestSupport.h"

#include "FaxWriter.h"

#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <atomic>
#include <mutex>

namespace {

class ViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A fax page in normal mode: 1728 x 1100 pixels at 204 x 98 dpi.
        FaxDocSpec desc;
        desc.pages = 3;
        desc.width = 1728;
        desc.height = 1100;
        desc.xDpi = 204;
        desc.yDpi = 98;
        fax = dir.File("fax.tif");
        ASSERT_TRUE(WriteTiffDocument(fax, desc, nullptr));
        doc.SetPathName(fax);
        view.SetDocument(&doc);
        view.SetPlatform(fakes.platform.get());
        view.resize(800 + 2 * view.frameWidth(), 600 + 2 * view.frameWidth());
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_EQ(view.viewport()->size(), QSize(800, 600));
    }
    void ShowFirstPage(int rotation = 0) { ShowAndWait(0, rotation); }
    void ShowAndWait(int page, int rotation = 0)
    {
        view.ShowPage(page, rotation, 0);
        ASSERT_TRUE(testsupport::WaitFor([&] { return view.IsPageDrawn(); }));
    }
    // Copies and waits until the copy has ended.
    void Copy()
    {
        QSignalSpy done(&view, &CViewImage::copyFinished);
        view.CopyPageToClipboard();
        ASSERT_TRUE(done.wait(10000));
    }
    // How many sampled pixels of the visible page differ from the page rendered by itself at the view's
    // zoom in device pixels (-1: nothing of the page visible).
    int DifferingFromRendered(const QString& path, int page = 0)
    {
        const double dpr = view.viewport()->devicePixelRatio();
        const CPagePaintPlan plan = PlanPagePaint(view.ImageRect(), view.viewport()->size(), dpr);
        if (plan.visible.isEmpty()) {
            return -1;
        }
        CTiffImage image(path);
        image.SelectActiveFrame(page);
        const QImage expected =
            image.RenderRegion(plan.fullDevice, plan.visible, InterpolationMode::HighQuality);
        const QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB888);
        const QPoint origin(qRound(view.ImageRect().x() * dpr) + plan.visible.x(),
                            qRound(view.ImageRect().y() * dpr) + plan.visible.y());
        int differing = 0;
        for (int y = 0; y < expected.height(); y += 7) {
            for (int x = 0; x < expected.width(); x += 5) {
                differing += shot.pixel(origin + QPoint(x, y)) != expected.pixel(x, y) ? 1 : 0;
            }
        }
        return differing;
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view.viewport(), (from + to) / 2);
        QTest::mouseMove(view.viewport(), to);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
    }

    testsupport::TempDir dir;
    testsupport::FakePlatform fakes;
    QString fax;
    CFolivantDoc doc;
    CViewImage view;
};

TEST_F(ViewTest, AFaxPageIsShownWithSquarePixelsFittedWhole)
{
    ShowFirstPage();
    EXPECT_EQ(view.Zoom().GetPageWidth(), 1728);
    EXPECT_EQ(view.Zoom().GetPageHeight(), 2289);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 26.0);
    EXPECT_EQ(view.ImageRect(), QRect(174, 0, 452, 600));
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
}

TEST_F(ViewTest, APageShownTurnedIsFittedTurned)
{
    ShowFirstPage(1);
    EXPECT_EQ(view.Zoom().GetPageWidth(), 2289);
    EXPECT_EQ(view.Zoom().GetPageHeight(), 1728);
    EXPECT_EQ(view.Rotation(), 1);
    EXPECT_EQ(view.PageImageSize(), QSize(1100, 1728));
}

// Also run at device pixel ratios 1.5 and 2: the page is rendered in device pixels, whole and in shape.
TEST_F(ViewTest, ThePaintedPageEqualsThePageRenderedInDevicePixels)
{
    std::atomic<int> format{QImage::Format_Invalid};
    QObject::connect(
        view.RenderWorker(), &CPageRenderWorker::pageLoaded, &view,
        [&](const CPageLoaded& page) { format = page.preview.format(); }, Qt::DirectConnection);
    ShowFirstPage();
    EXPECT_EQ(format.load(), QImage::Format_Grayscale8); // a fax page is kept 8-bit, painted the same
    EXPECT_EQ(view.ImageRect(), QRect(174, 0, 452, 600));
    EXPECT_EQ(DifferingFromRendered(fax), 0);
    // Nothing of the page left or right of it: the window's own background.
    const QImage shot = view.viewport()->grab().toImage();
    const double dpr = view.viewport()->devicePixelRatio();
    EXPECT_EQ(shot.size(), QSize(qRound(800 * dpr), qRound(600 * dpr)));
    EXPECT_EQ(shot.pixel(qRound(170 * dpr), 10), view.palette().color(QPalette::Base).rgb());
    EXPECT_EQ(shot.pixel(qRound(630 * dpr), 10), view.palette().color(QPalette::Base).rgb());

    // Zoomed in and scrolled, the visible part arrives from the worker at the new zoom.
    view.OnActualPixels();
    view.OnScroll(AxisVertical, CViewImage::ThumbPosition, 700);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !view.IsRendering() && DifferingFromRendered(fax) == 0; }));
}

TEST_F(ViewTest, ResizingNeitherMovesNorRescalesThePage)
{
    ShowFirstPage();
    view.resize(1000, 700);
    QTest::qWait(20);
    EXPECT_EQ(view.ImageRect(), QRect(174, 0, 452, 600));
    view.OnWholePage(); // the next zoom command uses the new size
    EXPECT_EQ(view.ImageRect().height(), view.viewport()->height());
}

TEST_F(ViewTest, ScrollingMovesTwentyPixelsAndTheThumbOnlyWhenReleased)
{
    ShowFirstPage();
    view.OnWholeWidth();
    EXPECT_TRUE(view.verticalScrollBar()->isVisible());
    view.OnScroll(AxisVertical, CViewImage::LineDown);
    EXPECT_EQ(view.ImageRect().top(), -20);
    view.OnScroll(AxisVertical, CViewImage::Bottom);
    EXPECT_EQ(view.ImageRect().top(), -40);
    view.OnScroll(AxisVertical, CViewImage::ThumbTrack, 300);
    view.OnScroll(AxisVertical, CViewImage::EndScroll);
    EXPECT_EQ(view.ImageRect().top(), -40);
    view.OnScroll(AxisVertical, CViewImage::ThumbPosition, 333);
    EXPECT_EQ(view.ImageRect().top(), -320);
    EXPECT_EQ(view.verticalScrollBar()->value(), 320);

    // The scroll bar's own arrow step goes through the same 20-pixel rule.
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.ImageRect().top(), -340);
    EXPECT_EQ(view.verticalScrollBar()->value(), 340);

    // Another page starts whole again, without scroll bars.
    ShowAndWait(1);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 26.0);
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
}

TEST_F(ViewTest, MarkingZoomsIntoTheRectangleInEitherDirection)
{
    ShowFirstPage();
    Drag({400, 100}, {600, 250});
    const QRect forward = view.ImageRect();
    EXPECT_NEAR(view.Zoom().GetZoomPercent(), 104.6296, 1e-3);
    EXPECT_EQ(forward, QRect(-904, -400, 1808, 2400));

    ShowFirstPage();
    Drag({600, 250}, {400, 100});
    EXPECT_EQ(view.ImageRect(), forward);
    EXPECT_TRUE(fakes.messages->shown.empty());
}

TEST_F(ViewTest, AClickOrAStraightLineDoesNothingAndTooSmallAMarkIsReported)
{
    ShowFirstPage();
    Drag({300, 300}, {300, 300});
    Drag({300, 300}, {500, 300});
    Drag({300, 300}, {300, 500});
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 26.0);
    EXPECT_TRUE(fakes.messages->shown.empty());

    Drag({300, 300}, {302, 302}); // would be far beyond 800 %
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].text, "Markieren Sie bitte einen grösseren Ausschnitt!");
    EXPECT_EQ(fakes.messages->shown[0].caption, "Information");
    EXPECT_EQ(fakes.messages->shown[0].icon, IMessageBox::Information);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 26.0);
}

TEST_F(ViewTest, CopyPutsTheWholeSquarePageOnTheClipboardWhateverTheZoom)
{
    ShowFirstPage();
    view.OnZoomIn();
    view.OnZoomIn();
    Copy();
    ASSERT_EQ(fakes.clipboard->calls, 1);
    EXPECT_EQ(fakes.clipboard->image.size(), QSize(1728, 2289));
    const QImage fromBmp = QImage::fromData(fakes.clipboard->bmp, "BMP");
    EXPECT_EQ(fromBmp.size(), QSize(1728, 2289));
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].text, "Die Seite wurde erfolgreich in die Zwischenablage kopiert !");

    // A turned page is copied turned.
    view.RotateClockwise();
    Copy();
    EXPECT_EQ(fakes.clipboard->image.size(), QSize(2289, 1728));

    fakes.clipboard->succeed = false;
    Copy();
    EXPECT_EQ(fakes.messages->shown.back().text,
              "Seite konnte nicht kopiert werden. Ev. ist zuwenig Arbeitsspeicher verfügbar.");
    EXPECT_EQ(fakes.messages->shown.back().icon, IMessageBox::Exclamation);
}

TEST_F(ViewTest, TurningReportsTheRotationAndKeepsSquarePixels)
{
    ShowFirstPage();
    QSignalSpy turned(&view, &CViewImage::rotationChanged);
    view.RotateClockwise();
    // The turned fax page is as tall as the page was wide: not squashed to its raw pixel size.
    EXPECT_EQ(view.Zoom().GetPageWidth(), 2289);
    EXPECT_EQ(view.Zoom().GetPageHeight(), 1728);
    view.RotateClockwise();
    view.RotateClockwise();
    view.RotateClockwise();
    ASSERT_EQ(turned.count(), 4);
    EXPECT_EQ(turned.at(0).at(0).toInt(), 1);
    EXPECT_EQ(turned.at(3).at(0).toInt(), 0);
    EXPECT_EQ(view.Zoom().GetPageWidth(), 1728);
    view.RotateCounterClockwise();
    EXPECT_EQ(turned.last().at(0).toInt(), 3);
    EXPECT_EQ(view.Zoom().GetPageHeight(), 1728);
}

TEST_F(ViewTest, AnUndecodableFileShowsNothingWithoutFailing)
{
    const QString broken = dir.File("kaputt.tif");
    testsupport::WriteFile(broken, QByteArray("II*\0\x08\0\0\0\x01\0\x00\x01\x03\0", 14));
    ShowFirstPage();
    view.OnActualPixels(); // scroll bars that the next page must not inherit
    doc.SetPathName(broken);
    ShowFirstPage();
    EXPECT_EQ(view.Zoom().GetPageWidth(), 0);
    EXPECT_EQ(view.Zoom().GetPageHeight(), 0);
    EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
    view.OnZoomIn();
    view.OnWholeWidth();
    view.OnActualPixels();
    view.RotateClockwise();
    Copy(); // no page: reported as a failed copy, nothing put on the clipboard
    EXPECT_EQ(fakes.clipboard->calls, 0);
    ASSERT_FALSE(fakes.messages->shown.empty());
    EXPECT_EQ(fakes.messages->shown.back().icon, IMessageBox::Exclamation);

    doc.SetPathName(QString());
    view.ShowPage(0, 0, 0); // no path: nothing loaded
    EXPECT_FALSE(view.IsLoading());
    EXPECT_FALSE(view.IsPageShown());
    EXPECT_TRUE(view.PageImageSize().isEmpty());
}

TEST_F(ViewTest, ContextMenuOnlyAfterAPageWasDrawnAndF1AsksForHelp)
{
    bool menuShown = false;
    QTimer::singleShot(100, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuShown =
                qobject_cast<QMenu*>(popup) != nullptr && qobject_cast<QMenu*>(popup)->actions().size() == 10;
            popup->close();
        }
    });
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, {100, 100});
    EXPECT_FALSE(menuShown); // nothing drawn yet
    QTest::qWait(150);

    ShowFirstPage();
    QTimer::singleShot(100, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuShown =
                qobject_cast<QMenu*>(popup) != nullptr && qobject_cast<QMenu*>(popup)->actions().size() == 10;
            popup->close();
        }
    });
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, {100, 100});
    QTest::qWait(150);
    EXPECT_TRUE(menuShown);

    QSignalSpy help(&view, &CViewImage::helpRequested);
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_F1);
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 4);
}

// ---- Regressions: every pixel of the page can be reached, and nothing but page is scrolled into view ----

// The scroll bars say what the zoom model says, and cover the whole page.
void ExpectBarsCoverThePage(const CViewImage& view)
{
    const QRect r = view.ImageRect();
    const QSize window = view.viewport()->size();
    for (const QScrollBar* bar : {view.horizontalScrollBar(), view.verticalScrollBar()}) {
        const bool horizontal = bar == view.horizontalScrollBar();
        const int zoomed = horizontal ? r.width() : r.height();
        const int client = horizontal ? window.width() : window.height();
        const int offset = horizontal ? r.x() : r.y();
        if (zoomed > client) {
            EXPECT_TRUE(bar->isVisible()) << (horizontal ? "horizontal" : "vertical");
            EXPECT_EQ(bar->maximum(), zoomed - client);
            EXPECT_EQ(bar->value(), -offset);
        } else {
            EXPECT_FALSE(bar->isVisible()) << (horizontal ? "horizontal" : "vertical");
            EXPECT_GE(offset, 0);
            EXPECT_LE(offset + zoomed, client);
        }
    }
}

TEST_F(ViewTest, MarkedZoomFromMarginGivesScrollBarsPortraitAndLandscape)
{
    for (int rotation : {0, 1}) {
        ShowFirstPage(rotation);
        // Start the mark in the empty margin before the page (left of a portrait page, above a landscape).
        const QRect page = view.ImageRect();
        const QPoint from = rotation == 0 ? QPoint(page.left() - 100, 100) : QPoint(100, page.top() - 60);
        Drag(from, from + QPoint(300, 200));
        EXPECT_GT(view.Zoom().GetZoomPercent(), 26.0);
        ExpectBarsCoverThePage(view);
    }
}

TEST_F(ViewTest, RightEdgeReachableWhenTheVerticalBarAppears)
{
    ShowFirstPage();
    // 46 %: 794 pixels wide, which fits 800 but not what the vertical bar leaves.
    for (int i = 0; i < 4; ++i) {
        view.OnZoomIn();
    }
    ASSERT_EQ(view.ImageRect().width(), 794);
    ASSERT_LT(view.viewport()->width(), 794);
    ExpectBarsCoverThePage(view);
}

TEST_F(ViewTest, ZoomOutAtEndShowsNoBlankBandBelowThePage)
{
    ShowFirstPage();
    view.OnActualPixels();
    view.OnScroll(AxisVertical, CViewImage::ThumbPosition, 100000);
    view.OnZoomOut();
    view.OnZoomOut();
    EXPECT_EQ(view.ImageRect().bottom(), view.viewport()->height() - 1);
    ExpectBarsCoverThePage(view);
    // A smaller window keeps the bars covering the page too.
    view.resize(500, 400);
    QTest::qWait(20);
    ExpectBarsCoverThePage(view);
}

TEST_F(ViewTest, LastPixelsReachableWithKeysWheelAndTrough)
{
    ShowFirstPage();
    view.OnWholeWidth(); // a page height beyond the window that is no multiple of 20
    QScrollBar* bar = view.verticalScrollBar();
    const int end = bar->maximum();
    ASSERT_NE(end % 20, 0);
    const auto atEnd = [&] {
        return bar->value() == end && view.ImageRect().bottom() == view.viewport()->height() - 1;
    };

    view.setFocus();
    for (int i = 0; i < end / 20 + 2; ++i) {
        QTest::keyClick(&view, Qt::Key_Down);
    }
    EXPECT_TRUE(atEnd()) << "keys";
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(bar->value(), end - 20); // the arrows keep their step

    view.OnScroll(AxisVertical, CViewImage::ThumbPosition, 0);
    for (int i = 0; i < end / 60 + 2; ++i) {
        QWheelEvent wheel(QPointF(400, 300), view.viewport()->mapToGlobal(QPointF(400, 300)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
    }
    EXPECT_TRUE(atEnd()) << "wheel";

    view.OnScroll(AxisVertical, CViewImage::ThumbPosition, 0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd); // a click in the trough: a window further
    EXPECT_EQ(bar->value(), std::min(end, view.viewport()->height()));
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_TRUE(atEnd()) << "trough";
}

TEST_F(ViewTest, TouchpadScrollAccumulatesSmallDeltas)
{
    ShowFirstPage();
    view.OnWholeWidth();
    const auto swipe = [&](int delta, int times, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        for (int i = 0; i < times; ++i) {
            QWheelEvent wheel(QPointF(400, 300), view.viewport()->mapToGlobal(QPointF(400, 300)), QPoint(),
                              QPoint(0, -delta), Qt::NoButton, modifiers, Qt::ScrollUpdate, false);
            QApplication::sendEvent(view.viewport(), &wheel);
        }
    };
    swipe(15, 8); // eight small deltas make one notch: three 20-pixel lines
    EXPECT_EQ(view.ImageRect().top(), -60);
    swipe(40, 3);
    EXPECT_EQ(view.ImageRect().top(), -120);
    swipe(15, 1);
    EXPECT_EQ(view.ImageRect().top(), -127); // in proportion, kept to the pixel

    // Ctrl with the wheel zooms in steps of 5, also from small deltas.
    const double before = view.Zoom().GetZoomPercent();
    swipe(-40, 3, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), before + 5.0);
    swipe(120, 2, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), before - 5.0);
}

TEST_F(ViewTest, PinchZoomsInStepsOfFive)
{
    ShowFirstPage();
    const auto pinch = [&](double value) {
        QNativeGestureEvent gesture(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                                    QPointF(400, 300), QPointF(400, 300),
                                    view.viewport()->mapToGlobal(QPointF(400, 300)), value, QPointF());
        QApplication::sendEvent(view.viewport(), &gesture);
    };
    pinch(0.03);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 26.0);
    pinch(0.03); // together more than one step's worth
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 31.0);
    pinch(-0.11);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 21.0);
    ExpectBarsCoverThePage(view);
}

// ---- The page comes from a worker: the GUI keeps the old page until the new one is there ----

TEST_F(ViewTest, TheOldPageStaysUntilTheNewOneArrivesAndANewerRequestWins)
{
    ShowFirstPage();
    view.OnZoomIn();
    ASSERT_TRUE(testsupport::WaitFor([&] { return !view.IsRendering() && DifferingFromRendered(fax) == 0; }));
    const QRect zoomed = view.ImageRect();
    std::mutex gate;
    gate.lock();
    std::atomic<bool> entered{false};
    view.RenderWorker()->SetBeforeLoad([&](const CPageRequest& r) {
        if (r.frame == 1) {
            entered = true;
            std::lock_guard<std::mutex> wait(gate); // held by the test
        }
    });
    view.ShowPage(1, 0, 0);
    ASSERT_TRUE(testsupport::WaitFor([&] { return entered.load(); }));
    view.ShowPage(2, 0, 0); // supersedes page 2 before it has arrived
    EXPECT_TRUE(view.IsLoading());
    EXPECT_TRUE(view.IsPageShown()); // commands stay available
    QTest::qWait(CViewImage::kBusyCursorDelayMs + 100);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    EXPECT_EQ(view.ImageRect(), zoomed); // the old page, as it was
    EXPECT_EQ(DifferingFromRendered(fax, 0), 0);
    EXPECT_FALSE(view.IsPageDrawn());

    gate.unlock();
    ASSERT_TRUE(testsupport::WaitFor([&] { return view.IsPageDrawn(); }));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomPercent(), 26.0); // the new page whole
    EXPECT_EQ(DifferingFromRendered(fax, 2), 0);
    view.RenderWorker()->SetBeforeLoad({});
}

TEST_F(ViewTest, CopyingShowsTheBusyCursorAndKeepsTheViewWorking)
{
    ShowFirstPage();
    QSignalSpy done(&view, &CViewImage::copyFinished);
    view.CopyPageToClipboard();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    view.OnZoomIn(); // the view works meanwhile
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(done.at(0).at(0).toBool());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(fakes.clipboard->image.size(), QSize(1728, 2289));
}

} // namespace
