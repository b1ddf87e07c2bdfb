#include "platform/Icons.h"

#include <QApplication>
#include <QDir>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <future>

// The resources are compiled into a static library: register them before the first use.
static void InitFolivantResources()
{
    Q_INIT_RESOURCE(folivant);
}

namespace {

void EnsureResources()
{
    static const bool ready = (InitFolivantResources(), true);
    Q_UNUSED(ready);
}

QHash<QString, QIcon>& Cache()
{
    static QHash<QString, QIcon> cache;
    return cache;
}

// The pictures as stored ("zoom-in-16"), decoded once; only the GUI thread reaches these two.
QHash<QString, QImage>& Decoded()
{
    static QHash<QString, QImage> decoded;
    return decoded;
}

std::future<QHash<QString, QImage>>& DecodedAhead()
{
    static std::future<QHash<QString, QImage>> ahead;
    return ahead;
}

QHash<QString, QImage> DecodeAll()
{
    QHash<QString, QImage> all;
    const QDir dir(QStringLiteral(":/icons"));
    for (const QString& file : dir.entryList({QStringLiteral("*-16.png"), QStringLiteral("*-32.png")})) {
        all.insert(file.chopped(4), QImage(dir.filePath(file)));
    }
    return all;
}

QImage Picture(const QString& name, int size)
{
    if (DecodedAhead().valid()) {
        Decoded() = DecodedAhead().get();
    }
    const QString key = QStringLiteral("%1-%2").arg(name).arg(size);
    auto it = Decoded().constFind(key);
    if (it == Decoded().constEnd()) {
        it = Decoded().insert(key, QImage(QStringLiteral(":/icons/%1.png").arg(key)));
    }
    return *it;
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
    EnsureResources();
    auto it = Cache().constFind(name);
    if (it != Cache().constEnd()) {
        return *it;
    }
    const QColor color = QApplication::palette().color(QPalette::Active, QPalette::ButtonText);
    QIcon icon;
    for (int size : {16, 32}) {
        QImage image = name == QStringLiteral("whole-width") ? DrawWholeWidth(size) : Picture(name, size);
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(Tint(image, color)));
        }
    }
    Cache().insert(name, icon);
    return icon;
}

void DecodeFolivantIconsAhead()
{
    EnsureResources();
    if (!DecodedAhead().valid() && Decoded().isEmpty()) {
        // QImage and the resources may be used from any thread.
        DecodedAhead() = std::async(std::launch::async, DecodeAll);
    }
}

void ResetFolivantIcons()
{
    Cache().clear();
}
