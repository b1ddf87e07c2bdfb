#include "platform/Icons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

// The resources are compiled into a static library: register them before the first use.
static void InitFolivantResources()
{
    Q_INIT_RESOURCE(folivant);
}

namespace {

QHash<QString, QIcon>& Cache()
{
    static QHash<QString, QIcon> cache;
    return cache;
}

QImage Tint(QImage image, const QColor& color)
{
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(image.rect(), color);
    return image;
}

// "Whole width": two bars at the page edges and a double arrow between them.
QImage DrawWholeWidth(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    p.scale(s, s);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(1, 2, 2, 12));
    p.drawRect(QRectF(13, 2, 2, 12));
    p.drawRect(QRectF(5, 7, 6, 2));
    p.drawPolygon(QPolygonF({QPointF(4, 8), QPointF(7, 4.5), QPointF(7, 11.5)}));
    p.drawPolygon(QPolygonF({QPointF(12, 8), QPointF(9, 4.5), QPointF(9, 11.5)}));
    return image;
}

} // namespace

QIcon FolivantIcon(const QString& name)
{
    if (name.isEmpty()) {
        return {};
    }
    static const bool resourcesReady = (InitFolivantResources(), true);
    Q_UNUSED(resourcesReady);
    auto it = Cache().constFind(name);
    if (it != Cache().constEnd()) {
        return *it;
    }
    const QColor color = QApplication::palette().color(QPalette::Active, QPalette::ButtonText);
    QIcon icon;
    for (int size : {16, 32}) {
        QImage image = name == QStringLiteral("whole-width")
                           ? DrawWholeWidth(size)
                           : QImage(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size));
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(Tint(image, color)));
        }
    }
    Cache().insert(name, icon);
    return icon;
}

void ResetFolivantIcons()
{
    Cache().clear();
}
