// The page view: square pixels, fitting, scrolling, marking, copying and turning.
#include "core/Strings.h"
#include "document/FolivantDoc.h"
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
    void ShowFirstPage(int rotation = 0)
    {
        view.ShowPage(0, rotation, 0);
        ASSERT_TRUE(testsupport::WaitFor([&] { return view.IsPageDrawn(); }));
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
    EXPECT_EQ(view.PageImage()->GetWidth(), 1100);
    EXPECT_EQ(view.PageImage()->GetHeight(), 1728);
}

TEST_F(ViewTest, ThePaintedPageEqualsTheWholePageScaled)
{
    ShowFirstPage();
    const QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB888);
    CTiffImage page(fax);
    const QImage expected = page.RenderScaled(452, 600, InterpolationMode::HighQuality);
    ASSERT_EQ(expected.size(), QSize(452, 600));
    int differing = 0;
    for (int y = 0; y < 600; y += 7) {
        for (int x = 0; x < 452; x += 5) {
            differing += shot.pixel(174 + x, y) != expected.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
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
    view.OnScroll(AxisVertical, CViewImage::PageDown);
    view.OnScroll(AxisVertical, CViewImage::Bottom);
    EXPECT_EQ(view.ImageRect().top(), -60);
    view.OnScroll(AxisVertical, CViewImage::ThumbTrack, 300);
    view.OnScroll(AxisVertical, CViewImage::EndScroll);
    EXPECT_EQ(view.ImageRect().top(), -60);
    view.OnScroll(AxisVertical, CViewImage::ThumbPosition, 333);
    EXPECT_EQ(view.ImageRect().top(), -320);
    EXPECT_EQ(view.verticalScrollBar()->value(), 320);

    // The scroll bar's own arrow step goes through the same 20-pixel rule.
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.ImageRect().top(), -340);
    EXPECT_EQ(view.verticalScrollBar()->value(), 340);

    // Another page starts whole again, without scroll bars.
    view.ShowPage(1, 0, 0);
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
    view.CopyPageToClipboard();
    ASSERT_EQ(fakes.clipboard->calls, 1);
    EXPECT_EQ(fakes.clipboard->image.size(), QSize(1728, 2289));
    const QImage fromBmp = QImage::fromData(fakes.clipboard->bmp, "BMP");
    EXPECT_EQ(fromBmp.size(), QSize(1728, 2289));
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].text, "Die Seite wurde erfolgreich in die Zwischenablage kopiert !");

    // A turned page is copied turned.
    view.RotateClockwise();
    view.CopyPageToClipboard();
    EXPECT_EQ(fakes.clipboard->image.size(), QSize(2289, 1728));

    fakes.clipboard->succeed = false;
    view.CopyPageToClipboard();
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
    doc.SetPathName(broken);
    ShowFirstPage();
    EXPECT_EQ(view.Zoom().GetPageWidth(), 0);
    EXPECT_EQ(view.Zoom().GetPageHeight(), 0);
    view.OnZoomIn();
    view.OnWholeWidth();
    view.OnActualPixels();
    view.RotateClockwise();
    view.CopyPageToClipboard(); // no page: reported as a failed copy, nothing put on the clipboard
    EXPECT_EQ(fakes.clipboard->calls, 0);
    ASSERT_FALSE(fakes.messages->shown.empty());
    EXPECT_EQ(fakes.messages->shown.back().icon, IMessageBox::Exclamation);

    doc.SetPathName(QString());
    view.ShowPage(0, 0, 0); // no path: nothing loaded
    EXPECT_EQ(view.PageImage(), nullptr);
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

} // namespace
