// The thumbnail strip on its own: filling, geometry, selection as the current page, page states, the
// loader filling in thumbnails, and refills while the loader runs.
#include "document/FolivantData.h"
#include "document/FolivantDoc.h"
#include "support/StripScreen.h"
#include "support/TestSupport.h"
#include "thumbs/DiaStatus.h"
#include "thumbs/ListViewThumb.h"

#include "FaxWriter.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

class StripTest : public ::testing::Test
{
protected:
    QString Fax(const QString& name, int pages, bool framed = false, QSize size = QSize(864, 1146))
    {
        FaxDocSpec desc;
        desc.pages = pages;
        desc.width = size.width(); // small pages keep the test quick
        desc.height = size.height();
        if (framed) {
            // A thick black frame along the page's edges: on the screen, its outer edge is the painted
            // thumbnail's extent.
            desc.paintPage = [](QImage& page, int) {
                QPainter p(&page);
                const int e = page.width() / 10;
                p.fillRect(0, 0, page.width(), e, Qt::black);
                p.fillRect(0, page.height() - e, page.width(), e, Qt::black);
                p.fillRect(0, 0, e, page.height(), Qt::black);
                p.fillRect(page.width() - e, 0, e, page.height(), Qt::black);
            };
        }
        const QString path = dir.File(name);
        EXPECT_TRUE(WriteTiffDocument(path, desc, nullptr));
        return path;
    }
    void Make(int align, int width = 100)
    {
        data.thumb.Width = width;
        data.thumb.Align = align;
        strip = std::make_unique<CListViewThumb>();
        strip->SetArrangement(align);
        strip->SetSharedData(&data);
        strip->SetDocument(&doc);
        strip->resize(align == 0 ? 200 : 900, align == 0 ? 900 : 260);
        strip->show();
    }
    bool AllThumbnails()
    {
        for (int i = 0; i < strip->Model()->rowCount(); ++i) {
            if (!strip->Model()->data(strip->Model()->index(i), CThumbModel::HasThumbnailRole).toBool()) {
                return false;
            }
        }
        return true;
    }

    testsupport::TempDir dir;
    CFolivantDoc doc;
    CFolivantData data;
    std::unique_ptr<CListViewThumb> strip;
};

TEST_F(StripTest, FillOfTwelvePages)
{
    Make(0);
    doc.SetPathName(Fax("zwoelf.tif", 12));
    QSignalSpy selected(strip.get(), &CListViewThumb::pageSelected);
    QSignalSpy counted(strip.get(), &CListViewThumb::pageCountKnown);
    int range = -1;
    int pos = -1;
    strip->SetProgressObserver([&](const CDiaStatus& s) {
        range = s.Range();
        pos = s.Pos();
    });

    EXPECT_EQ(strip->FillStrip(), 1);
    EXPECT_EQ(range, 12);
    EXPECT_EQ(pos, 1);
    ASSERT_EQ(strip->Model()->rowCount(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(strip->Model()->data(strip->Model()->index(i), Qt::DisplayRole).toString(),
                  QStringLiteral("Seite %1 / 12").arg(i + 1));
        EXPECT_EQ(strip->ItemPosition(i), 22 + 163 * i) << i;
        EXPECT_EQ(strip->Model()->GetPageState(i), 0);
        // Only the first thumbnail is rendered when the fill returns.
        EXPECT_EQ(strip->Model()->data(strip->Model()->index(i), CThumbModel::HasThumbnailRole).toBool(),
                  i == 0);
    }
    EXPECT_EQ(strip->Model()->Thumbnail(0).size(), QSize(100, 141));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 0);
    EXPECT_EQ(selected.at(0).at(1).toInt(), 0);
    EXPECT_EQ(strip->GetCurrentPage(), 1);
    // The page count is posted: it arrives after the fill.
    EXPECT_EQ(counted.count(), 0);
    ASSERT_TRUE(counted.wait(1000));
    EXPECT_EQ(counted.at(0).at(0).toInt(), 12);
}

TEST_F(StripTest, HorizontalStripPositions)
{
    Make(1);
    doc.SetPathName(Fax("h.tif", 12));
    ASSERT_EQ(strip->FillStrip(), 1);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(strip->ItemPosition(i), 22 + 122 * i) << i;
    }
}

TEST_F(StripTest, SelectionIsTheCurrentPageAndKeepsEachPagesState)
{
    Make(0);
    doc.SetPathName(Fax("s.tif", 12));
    ASSERT_EQ(strip->FillStrip(), 1);
    QSignalSpy selected(strip.get(), &CListViewThumb::pageSelected);

    strip->SelectPage(50); // clamped to the last page
    EXPECT_EQ(strip->GetCurrentPage(), 12);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 11);
    EXPECT_EQ(strip->Loader().GetLoaderCursor(), 10);

    strip->SetPageState(1, 0); // the page view turned page 12 once
    strip->SelectPage(3);
    strip->SelectPage(12);
    ASSERT_EQ(selected.count(), 3);
    EXPECT_EQ(selected.at(2).at(0).toInt(), 11);
    EXPECT_EQ(selected.at(2).at(1).toInt(), 1);

    // Selecting the selected page again reports nothing; steps at the ends change nothing.
    strip->SelectPage(12);
    strip->SelectNextPage();
    EXPECT_EQ(selected.count(), 3);
    strip->SelectFirstPage();
    strip->SelectPreviousPage();
    EXPECT_EQ(strip->GetCurrentPage(), 1);
    EXPECT_EQ(strip->Loader().GetLoaderCursor(), 0);
    strip->SelectLastPage();
    strip->SelectPreviousPage();
    EXPECT_EQ(strip->GetCurrentPage(), 11);

    // A Ctrl+click on the current page does not leave the document without a current page.
    const QRect r = strip->visualRect(strip->Model()->index(10));
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
    EXPECT_EQ(strip->GetCurrentPage(), 11);
    // A plain click on another thumbnail selects it; the cursor goes to the page before it.
    strip->scrollTo(strip->Model()->index(7));
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                      strip->visualRect(strip->Model()->index(7)).center());
    EXPECT_EQ(strip->GetCurrentPage(), 8);
    EXPECT_EQ(strip->Loader().GetLoaderCursor(), 6);
    EXPECT_EQ(selected.last().at(0).toInt(), 7);
    // The last page by a step and by a click on its thumbnail.
    strip->SelectPage(11);
    strip->SelectNextPage();
    EXPECT_EQ(strip->GetCurrentPage(), 12);
    strip->SelectPage(1);
    strip->scrollTo(strip->Model()->index(11));
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                      strip->visualRect(strip->Model()->index(11)).center());
    EXPECT_EQ(strip->GetCurrentPage(), 12);
}

// Every thumbnail is painted at exactly the size it was rendered at, at its place in the strip, in both
// arrangements and for small, default and large widths; a pane narrowed by hand cuts it, never squeezes it.
// A landscape page (1146 x 864 at 204 x 196 dpi) keeps its shape, centred in the unchanged box.
TEST_F(StripTest, ThumbnailsArePaintedAtTheirRenderedSizeAndPlace)
{
    struct Case
    {
        int align;
        int width;
        QSize page;
        QSize shape;
    };
    const QSize portrait(864, 1146);
    const QSize landscape(1146, 864);
    const Case cases[] = {{0, 60, portrait, {60, 84}},     {0, 150, portrait, {150, 212}},
                          {0, 300, portrait, {300, 424}},  {1, 60, portrait, {60, 84}},
                          {1, 150, portrait, {150, 212}},  {1, 300, portrait, {300, 424}},
                          {0, 150, landscape, {150, 117}}, {1, 150, landscape, {150, 117}}};
    for (const auto& [align, width, page, shape] : cases) {
        SCOPED_TRACE(testing::Message() << "align " << align << ", width " << width << ", page "
                                        << page.width() << " x " << page.height());
        const int height = width * 297 / 210;
        Make(align, width);
        const int pane = strip->PaneExtent(width);
        strip->resize(align == 0 ? QSize(pane, 700) : QSize(1000, pane));
        doc.SetPathName(
            Fax(QStringLiteral("r%1-%2-%3.tif").arg(align).arg(width).arg(page.width()), 3, true, page));
        strip->ReloadStrip();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
        ASSERT_TRUE(testsupport::WaitFor([&] { return AllThumbnails(); }, 10000));
        const QImage rendered = strip->Model()->Thumbnail(1);
        ASSERT_EQ(rendered.deviceIndependentSize().toSize(), shape);

        const auto painted = [&](int row) {
            const QRect box = align == 0 ? QRect(22, 22 + (height + 22) * row, width, height)
                                         : QRect(22 + (width + 22) * row, 22, width, height);
            const QRect at(box.topLeft() + QPoint((width - shape.width()) / 2, (height - shape.height()) / 2),
                           shape);
            const QRect expected = at & strip->viewport()->rect();
            // Around the thumbnail, above its label.
            const QRect area = box.adjusted(-8, -8, 8, 2);
            QRect dark;
            testsupport::WaitForSettled(
                [&] {
                    dark = testsupport::DarkBox(testsupport::OnScreen(strip->viewport()), area);
                    return dark == expected;
                },
                dark);
            ASSERT_EQ(testsupport::Describe(dark), testsupport::Describe(expected)) << "row " << row;
        };
        painted(0);
        painted(1);
        if (width == 150 && page == portrait) {
            // Narrowed by hand: the thumbnail keeps its size and place and is cut at the edge.
            strip->resize(align == 0 ? QSize(120, 700) : QSize(1000, 150));
            painted(0);
        }
    }
}

// Thumbnails dropped for the memory budget (or never rendered for it) come back when the strip is
// scrolled to them, after the loader has finished; those farthest from the view make room.
TEST_F(StripTest, ThumbnailsBeyondTheBudgetComeBackWhenScrolledTo)
{
    Make(0);
    doc.SetPathName(Fax(QStringLiteral("lang.tif"), 60));
    // Measured by a whole load, the budget holds 25 pages; set before the reload the loader honours it.
    strip->ReloadStrip();
    ASSERT_TRUE(testsupport::WaitFor([&] { return !strip->Loader().IsRunning(); }, 10000));
    const qsizetype budget = 25 * strip->Model()->PackedBytes() / 60;
    strip->Model()->SetPackedBudget(budget);
    strip->ReloadStrip();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
    const auto has = [&](int row) {
        return strip->Model()->data(strip->Model()->index(row), CThumbModel::HasThumbnailRole).toBool();
    };
    ASSERT_TRUE(testsupport::WaitFor([&] { return !strip->Loader().IsRunning(); }, 10000));
    EXPECT_TRUE(has(0) && has(10));
    EXPECT_FALSE(has(59));

    strip->verticalScrollBar()->setValue(strip->verticalScrollBar()->maximum());
    ASSERT_TRUE(testsupport::WaitFor([&] { return has(59) && has(54); }, 10000));
    ASSERT_TRUE(testsupport::WaitFor([&] { return !strip->Loader().IsRunning(); }, 10000));
    EXPECT_LE(strip->Model()->PackedBytes(), budget);
    EXPECT_FALSE(has(0));
}

// Exactly one label shows the selection colour on the screen - the current page's - after every way the
// current page changes, and the whole current item with its label is scrolled into view.
TEST_F(StripTest, OnlyTheCurrentPagesLabelIsHighlighted)
{
    for (int align : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "align " << align);
        Make(align, 100);
        doc.SetPathName(Fax(QStringLiteral("h%1.tif").arg(align), 12));
        strip->ReloadStrip();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
        strip->setFocus();
        const auto check = [&](const char* how) {
            testsupport::ExpectOnlyLabelHighlighted(*strip, strip->GetCurrentPage() - 1, how);
        };
        check("fill");
        QTest::keyClick(strip.get(), Qt::Key_Down);
        check("down");
        QTest::keyClick(strip.get(), Qt::Key_End);
        EXPECT_EQ(strip->GetCurrentPage(), 12);
        check("end");
        QTest::keyClick(strip.get(), Qt::Key_Up);
        check("up");
        QTest::keyClick(strip.get(), Qt::Key_Home);
        check("home");
        QTest::keyClick(strip.get(), Qt::Key_PageDown);
        check("page down");
        strip->SelectPage(7);
        check("page 7");
        strip->SelectNextPage();
        check("next");
        const QRect r = strip->ThumbnailRect(strip->GetCurrentPage() - 2);
        QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_EQ(strip->GetCurrentPage(), 7);
        check("click");
        QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                          strip->LabelRect(strip->GetCurrentPage() - 2).center());
        EXPECT_EQ(strip->GetCurrentPage(), 6);
        check("click on a label");
    }
}

TEST_F(StripTest, TheLoaderFillsInGreyThumbnails)
{
    Make(0, 150);
    doc.SetPathName(Fax("l.tif", 20));
    strip->ReloadStrip();
    ASSERT_TRUE(testsupport::WaitFor([&] { return AllThumbnails(); }, 20000));
    strip->StopLoader();
    const QImage thumb = strip->Model()->Thumbnail(19);
    EXPECT_EQ(thumb.size(), QSize(150, 212));
    EXPECT_EQ(thumb.format(), QImage::Format_Grayscale8); // a bilevel page is kept as 8-bit grey
    EXPECT_LE(thumb.sizeInBytes(), 33 * 1024);            // about 32 KB
}

TEST_F(StripTest, AnotherDocumentWhileTheLoaderRuns)
{
    Make(0);
    const QString big = Fax("gross.tif", 120);
    const QString small = Fax("klein.tif", 3);
    for (int round = 0; round < 5; ++round) {
        doc.SetPathName(round % 2 == 0 ? big : small);
        strip->ReloadStrip();
        QTest::qWait(round * 3);
    }
    doc.SetPathName(small);
    strip->ReloadStrip();
    ASSERT_TRUE(testsupport::WaitFor([&] { return AllThumbnails(); }, 10000));
    EXPECT_EQ(strip->Model()->rowCount(), 3);
    EXPECT_EQ(strip->GetPageCount(), 3);
    strip.reset(); // destroying the strip stops its loader
}

TEST_F(StripTest, OnePageNoPagesAndNoDocument)
{
    Make(0);
    int range = -1;
    strip->SetProgressObserver([&](const CDiaStatus& s) { range = s.Range(); });
    EXPECT_EQ(strip->FillStrip(), 0); // no document path: nothing at all
    EXPECT_EQ(range, -1);

    doc.SetPathName(Fax("eins.tif", 1));
    EXPECT_EQ(strip->FillStrip(), 1);
    EXPECT_EQ(range, 1);
    EXPECT_EQ(strip->Model()->rowCount(), 1);

    const QString broken = dir.File("kaputt.tif");
    testsupport::WriteFile(broken, QByteArray("II*\0\xff\xff\xff\x7f", 8));
    doc.SetPathName(broken);
    QTest::qWait(10); // the earlier fills' page counts arrive first
    QSignalSpy counted(strip.get(), &CListViewThumb::pageCountKnown);
    EXPECT_EQ(strip->FillStrip(), 0);
    EXPECT_EQ(range, 0);
    EXPECT_EQ(strip->Model()->rowCount(), 0);
    EXPECT_EQ(strip->GetCurrentPage(), 0);
    ASSERT_TRUE(counted.wait(1000));
    EXPECT_EQ(counted.at(0).at(0).toInt(), 0);
}

TEST_F(StripTest, KeysAskForHelpAndCopy)
{
    Make(0);
    doc.SetPathName(Fax("k.tif", 2));
    ASSERT_EQ(strip->FillStrip(), 1);
    QSignalSpy help(strip.get(), &CListViewThumb::helpRequested);
    QSignalSpy copy(strip.get(), &CListViewThumb::copyRequested);
    strip->setFocus();
    QTest::keyClick(strip.get(), Qt::Key_F1);
    QTest::keyClick(strip.get(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 3);
    EXPECT_EQ(copy.count(), 1);
}

} // namespace
