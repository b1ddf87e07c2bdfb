#pragma once
// Small helpers shared by the imaging tests.

#include "FaxWriter.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QString>

#include <cstdlib>

namespace imagingtest {

// Writes a generated document into `dir`; fails the test when writing fails.
inline QString WriteDoc(const testsupport::TempDir& dir, const QString& name, const FaxDocSpec& desc)
{
    const QString path = dir.File(name);
    QString error;
    EXPECT_TRUE(WriteTiffDocument(path, desc, &error)) << error.toStdString();
    return path;
}

// A small page that still has the letter's structure (fast to write and decode).
inline FaxDocSpec SmallDoc(int pages = 2)
{
    FaxDocSpec s;
    s.pages = pages;
    s.width = 432;
    s.height = 573;
    return s;
}

// Largest difference of any channel between two images of the same size (-1 when sizes differ).
inline int MaxDiff(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return -1;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    for (int r = 0; r < x.height(); ++r) {
        const uchar* p = x.constScanLine(r);
        const uchar* q = y.constScanLine(r);
        for (int i = 0; i < x.width() * 3; ++i) {
            worst = std::max(worst, std::abs(p[i] - q[i]));
        }
    }
    return worst;
}

// Pixels that differ at all (-1 when sizes differ).
inline int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return -1;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int r = 0; r < x.height(); ++r) {
        for (int c = 0; c < x.width(); ++c) {
            n += x.pixel(c, r) != y.pixel(c, r);
        }
    }
    return n;
}

// Mean absolute difference per channel.
inline double MeanDiff(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const uchar* p = x.constScanLine(r);
        const uchar* q = y.constScanLine(r);
        for (int i = 0; i < x.width() * 3; ++i) {
            sum += std::abs(p[i] - q[i]);
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

} // namespace imagingtest

#include "imaging/TiffImage.h"

#include <QPainter>

namespace imagingtest {

// Everything a consumer may do with a file, as the thumbnail loader, the page view and printing do it:
// count, select each page (at most `maxPages`), measure, render, draw, turn. Must never crash or hang.
inline void Exercise(CTiffImage& img, int maxPages = 64)
{
    const int n = std::min(img.GetFrameCount(), maxPages);
    QImage canvas(120, 90, QImage::Format_RGB32);
    for (int i = 0; i <= n; ++i) { // including the index one past the end
        img.SelectActiveFrame(i);
        (void)img.GetSquarePixelSize();
        (void)img.IsGrey();
        for (InterpolationMode mode : {InterpolationMode::LowQuality, InterpolationMode::HighQuality,
                                       InterpolationMode::HighQualityBicubic}) {
            const QImage t = img.RenderScaled(150, 212, mode);
            EXPECT_EQ(t.size(), QSize(150, 212));
        }
        (void)img.RenderScaled(3, 700, InterpolationMode::HighQuality);
        (void)img.RenderRegion(QSize(800, 1100), QRect(100, 200, 120, 90), InterpolationMode::HighQuality);
        canvas.fill(Qt::gray);
        {
            QPainter p(&canvas);
            img.Draw(p, QRect(-10, -10, 300, 400), InterpolationMode::LowQuality);
        }
        img.RotateFlip(RotateFlipType::Rotate90FlipX);
        (void)img.RenderScaled(60, 40, InterpolationMode::HighQualityBicubic);
        (void)img.DecodedImage();
    }
}

} // namespace imagingtest
