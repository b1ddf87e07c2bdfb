#include "imaging/TiffImage.h"

#include "imaging/TiffImagePrivate.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

void CTiffImage::Draw(QPainter& painter, const QRect& target, InterpolationMode mode)
{
    if (target.isEmpty() || !painter.isActive() || !d->info.decodable) {
        return;
    }
    QPaintDevice* device = painter.device();
    const bool printing = (device && device->devType() == QInternal::Printer) ||
                          (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf);
    if (printing) {
        // The device scales the page itself; a bilevel page goes out as 1-bit data, which keeps PDF and
        // printer jobs small.
        const QImage page = DecodedImage();
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
