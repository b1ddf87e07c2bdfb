#include "support/StripScreen.h"

#include "support/TestSupport.h"
#include "thumbs/ListViewThumb.h"

#include <gtest/gtest.h>

#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace testsupport {

QImage OnScreen(const QWidget* widget)
{
    const QWidget* window = widget->window();
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

std::vector<int> HighlightedLabels(const CListViewThumb& strip)
{
    const QImage shot = OnScreen(strip.viewport());
    const qreal dpr = shot.devicePixelRatio();
    const QColor highlight = strip.palette().color(QPalette::Active, QPalette::Highlight);
    const auto near = [&](QRgb c) {
        return std::abs(qRed(c) - highlight.red()) < 12 && std::abs(qGreen(c) - highlight.green()) < 12 &&
               std::abs(qBlue(c) - highlight.blue()) < 12;
    };
    std::vector<int> rows;
    for (int row = 0; row < strip.Model()->rowCount(); ++row) {
        const QRect band = strip.LabelRect(row) & strip.viewport()->rect();
        if (band.isEmpty()) {
            continue;
        }
        const QRect px(QPoint(qRound(band.left() * dpr), qRound(band.top() * dpr)),
                       QPoint(qRound((band.right() + 1) * dpr) - 1, qRound((band.bottom() + 1) * dpr) - 1));
        int hits = 0;
        for (int y = px.top(); y <= px.bottom() && y < shot.height(); ++y) {
            for (int x = px.left(); x <= px.right() && x < shot.width(); ++x) {
                hits += near(shot.pixel(x, y)) ? 1 : 0;
            }
        }
        // The band is filled with the colour; text covers a small part of it.
        if (hits * 2 > px.width() * px.height()) {
            rows.push_back(row);
        }
    }
    return rows;
}

QRect DarkBox(const QImage& image, const QRect& area)
{
    QRect box;
    const QRect a = area & image.rect();
    for (int y = a.top(); y <= a.bottom(); ++y) {
        for (int x = a.left(); x <= a.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

void ExpectOnlyLabelHighlighted(const CListViewThumb& strip, int row, const char* how)
{
    std::vector<int> lit;
    WaitForSettled(
        [&] {
            lit = HighlightedLabels(strip);
            return lit == std::vector<int>{row};
        },
        lit);
    ASSERT_EQ(lit, std::vector<int>{row}) << how;
    EXPECT_TRUE(strip.viewport()->rect().contains(strip.visualRect(strip.Model()->index(row)))) << how;
}

} // namespace testsupport
