#include "pageview/ClipboardDib.h"

#include <QtEndian>

#include <cstring>

namespace {

void Put16(QByteArray& b, int at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}
void Put32(QByteArray& b, int at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

constexpr int kInfoHeaderSize = 40;
constexpr int kFileHeaderSize = 14;

// The packed bitmap written after `prefix` bytes left for a file header, so that the bitmap file needs
// no second copy of a page that may be hundreds of megabytes large.
QByteArray PackDib(const QImage& source, int prefix)
{
    if (source.isNull()) {
        return {};
    }
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const qint64 width = image.width();
    const qint64 height = image.height();
    const int bits = 24; // planes 1 x 24 bits per pixel
    const qint64 stride = ((bits * width + 31) & ~31LL) / 8;
    const qint64 imageSize = stride * height;
    if (imageSize > 0x7FFFFFFF - kInfoHeaderSize - kFileHeaderSize) {
        return {};
    }
    QByteArray out(prefix + kInfoHeaderSize + static_cast<int>(imageSize), '\0');
    Put32(out, prefix + 0, kInfoHeaderSize);
    Put32(out, prefix + 4, static_cast<quint32>(width));
    Put32(out, prefix + 8, static_cast<quint32>(height)); // positive: rows bottom-up
    Put16(out, prefix + 12, 1);
    Put16(out, prefix + 14, bits);
    Put32(out, prefix + 16, 0); // uncompressed
    Put32(out, prefix + 20, static_cast<quint32>(imageSize));
    Put32(out, prefix + 32, 0); // colours used: none below 24 bits
    char* pixels = out.data() + prefix + kInfoHeaderSize;
    for (qint64 y = 0; y < height; ++y) {
        const uchar* src = image.constScanLine(static_cast<int>(height - 1 - y));
        char* dst = pixels + y * stride;
        for (qint64 x = 0; x < width; ++x) {
            dst[x * 3 + 0] = static_cast<char>(src[x * 3 + 2]); // blue
            dst[x * 3 + 1] = static_cast<char>(src[x * 3 + 1]); // green
            dst[x * 3 + 2] = static_cast<char>(src[x * 3 + 0]); // red
        }
    }
    return out;
}

} // namespace

QByteArray MakePackedDib(const QImage& image)
{
    return PackDib(image, 0);
}

QByteArray MakeClipboardBmp(const QImage& image)
{
    QByteArray out = PackDib(image, kFileHeaderSize);
    if (out.isEmpty()) {
        return {};
    }
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<quint32>(out.size()));
    Put32(out, 10, kFileHeaderSize + kInfoHeaderSize);
    return out;
}
