#include "imaging/TiffImage.h"

#include "imaging/TiffImagePrivate.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>
#include <QtMath>

#include <cstring>
#include <vector>

namespace {

// Colour and grey images reach a PDF as 24-bit data after Qt has made a 32-bit copy of them; so many
// pixels (A4 at 600 dpi) keep a print run well within its memory whatever the printer's resolution.
constexpr qint64 kMaxPrintPixels = qint64(40) << 20;
// Bilevel images stay 1 bit on their way.
constexpr qint64 kMaxPrintPixelsBilevel = qint64(160) << 20;

// Error diffusion (Floyd and Steinberg) from grey to the two values of a bilevel page, colour table
// {ink, paper}: a black-and-white page gets {black, white}, which Qt's PDF output keeps as 1-bit data.
QImage DitherToTwoValues(const QImage& grey, int ink, int paper)
{
    QImage mono(grey.size(), QImage::Format_Mono);
    if (mono.isNull()) {
        return mono;
    }
    mono.setColorTable({qRgb(ink, ink, ink), qRgb(paper, paper, paper)});
    const int w = grey.width();
    std::vector<int> err(static_cast<std::size_t>(w) + 2, 0);
    std::vector<int> next(static_cast<std::size_t>(w) + 2, 0);
    const int mid = (ink + paper) / 2;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* src = grey.constScanLine(y);
        uchar* dst = mono.scanLine(y);
        std::memset(dst, 0, static_cast<std::size_t>(mono.bytesPerLine()));
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            // err[x + 1] holds what reached pixel x, in sixteenths.
            const int v = src[x] + err[static_cast<std::size_t>(x) + 1] / 16;
            const bool isPaper = v >= mid;
            const int e = v - (isPaper ? paper : ink);
            if (isPaper) {
                dst[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
            }
            err[static_cast<std::size_t>(x) + 2] += e * 7;
            next[static_cast<std::size_t>(x)] += e * 3;
            next[static_cast<std::size_t>(x) + 1] += e * 5;
            next[static_cast<std::size_t>(x) + 2] += e;
        }
        err.swap(next);
    }
    return mono;
}

} // namespace

QImage CTiffImage::PrintImage(QSize devicePixels)
{
    if (!d->info.decodable || devicePixels.isEmpty()) {
        return QImage();
    }
    const QSize shown = d->ShownSize();
    const bool bilevel = d->info.kind == imaging::PixelKind::Mono;
    const qint64 cap = bilevel ? kMaxPrintPixelsBilevel : kMaxPrintPixels;
    if (static_cast<qint64>(devicePixels.width()) * devicePixels.height() > cap) {
        const double f = std::sqrt(static_cast<double>(cap) / devicePixels.width() / devicePixels.height());
        devicePixels = QSize(std::max(1, static_cast<int>(devicePixels.width() * f)),
                             std::max(1, static_cast<int>(devicePixels.height() * f)));
    }
    if (shown.width() <= devicePixels.width() && shown.height() <= devicePixels.height()) {
        QImage page = DecodedImage();
        if (!page.isNull() || d->Interrupted()) {
            return page;
        }
        // Not whole within the budget: streamed at its own size below.
    }
    // Each axis at no more than the device's pixels, nor than the page's own.
    const QSize size = shown.boundedTo(devicePixels);
    const bool grey = d->info.kind != imaging::PixelKind::Argb32;
    const qint64 held = d->decoded && !d->Reduced() ? d->KeptBytes() : d->info.streamBytes;
    if (!d->TargetAllowed(size, held)) {
        d->Fail(ImageStatus::OutOfMemory);
        return QImage();
    }
    QImage out(size, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (out.isNull()) {
        d->Fail(ImageStatus::OutOfMemory);
        return QImage();
    }
    const bool done = d->RenderWhole(InterpolationMode::HighQuality, qRgb(255, 255, 255), out);
    if (d->Interrupted() || !done) {
        return QImage();
    }
    if (!bilevel) {
        return out;
    }
    // Bilevel pages stay two-valued: the averaged grey is dithered back to ink and paper, which keeps
    // thin lines and the page's tone where a threshold would drop or thicken them.
    return DitherToTwoValues(out, d->info.ink, d->info.paper);
}

void CTiffImage::Draw(QPainter& painter, const QRect& target, InterpolationMode mode)
{
    if (target.isEmpty() || !painter.isActive() || !d->info.decodable) {
        return;
    }
    QPaintDevice* device = painter.device();
    const bool printing = (device && device->devType() == QInternal::Printer) ||
                          (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf);
    if (printing) {
        // The device gets the page at no more than its own resolution over the target and scales it
        // itself; a bilevel page goes out as 1-bit data, which keeps PDF and printer jobs small.
        const QTransform dt = painter.deviceTransform();
        const QRectF t(target);
        const qreal w = QLineF(dt.map(t.topLeft()), dt.map(t.topRight())).length();
        const qreal h = QLineF(dt.map(t.topLeft()), dt.map(t.bottomLeft())).length();
        const QImage page = PrintImage(QSize(qMax(1, qCeil(w)), qMax(1, qCeil(h))));
        if (page.isNull()) {
            return;
        }
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(target), page);
        painter.restore();
        return;
    }

    const QTransform dt = painter.deviceTransform();
    if (dt.type() > QTransform::TxScale) {
        // Rotated or sheared painter: scale the whole page to the target and let the painter place it.
        const QImage img = RenderScaled(target.width(), target.height(), mode);
        if (!img.isNull()) {
            painter.drawImage(target, img);
        }
        return;
    }
    // Work in device pixels: only the part of the target that can be seen is scaled.
    const QRect full = dt.mapRect(QRectF(target)).toRect();
    QRectF visible = QRectF(target);
    if (device) {
        visible &=
            painter.combinedTransform().inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
    }
    if (painter.hasClipping()) {
        visible &= painter.clipBoundingRect();
    }
    const QRect visibleDev = dt.mapRect(visible).toAlignedRect() & full;
    if (visibleDev.isEmpty() || full.isEmpty()) {
        return;
    }
    QImage img = RenderRegion(full.size(), visibleDev.translated(-full.topLeft()), mode);
    if (img.isNull()) {
        return;
    }
    // Back into the painter's own coordinates: resetting the transform would lose the offset of a widget
    // inside its window, which is part of the device transform.
    const QRectF logical = dt.inverted().mapRect(QRectF(visibleDev));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (dt.type() <= QTransform::TxTranslate) {
        painter.drawImage(logical.topLeft(), img); // one image pixel per device pixel
    } else {
        painter.drawImage(logical, img);
    }
    painter.restore();
}
