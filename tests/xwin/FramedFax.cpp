#include "FramedFax.h"

#include "FaxWriter.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace xwin {

QString MakeFramedFax(const QString& path, int pages)
{
    FaxDocSpec desc;
    desc.pages = pages;
    desc.width = kFaxWidth;
    desc.height = kFaxHeight;
    desc.paintPage = [](QImage& page, int index) {
        QPainter p(&page);
        const int edge = 60;
        p.fillRect(0, 0, page.width(), edge, Qt::black);
        p.fillRect(0, page.height() - edge, page.width(), edge, Qt::black);
        p.fillRect(0, 0, edge, page.height(), Qt::black);
        p.fillRect(page.width() - edge, 0, edge, page.height(), Qt::black);
        QFont f;
        f.setPixelSize(600);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(page.rect(), Qt::AlignCenter, QString::number(index + 1));
    };
    QString error;
    EXPECT_TRUE(WriteTiffDocument(path, desc, &error)) << error.toStdString();
    return path;
}

bool Dark(QRgb c)
{
    return qRed(c) < 70 && qGreen(c) < 70 && qBlue(c) < 70;
}

QRect FramedPage(const QImage& shot, int minRun)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x <= shot.width(); ++x) {
            if (x < shot.width() && Dark(shot.pixel(x, y))) {
                ++run;
                continue;
            }
            if (run >= minRun) {
                box |= QRect(x - run, y, run, 1);
            }
            run = 0;
        }
    }
    return box;
}

} // namespace xwin
