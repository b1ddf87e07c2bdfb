#include "imaging/TiffImage.h"

#include "imaging/TiffImagePrivate.h"

#include <QColor>
#include <QTransform>

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

using imaging::BandReader;
using imaging::ByteSource;
using imaging::DecodedPage;
using imaging::PageRows;
using imaging::PageTransform;
using imaging::PixelKind;
using imaging::StreamRows;

QSize SquarePixelSize(int width, int height, float xDpi, float yDpi)
{
    // Truncated toward zero; NaN and values below 1 dpi mean "unknown", and then nothing is corrected.
    auto whole = [](float v) -> qint64 {
        if (!(v >= 1.0f)) {
            return 0;
        }
        return v >= 2147483647.0f ? INT_MAX : static_cast<qint64>(v);
    };
    const qint64 rx = whole(xDpi);
    const qint64 ry = whole(yDpi);
    if (rx == 0 || ry == 0 || rx == ry || width <= 0 || height <= 0) {
        return QSize(width, height);
    }
    qint64 w = width;
    qint64 h = height;
    if (ry > rx) {
        w = w * ry / rx;
    } else {
        h = h * rx / ry;
    }
    return QSize(static_cast<int>(std::min<qint64>(w, INT_MAX)),
                 static_cast<int>(std::min<qint64>(h, INT_MAX)));
}

bool CTiffImage::Impl::Render(const imaging::ScaleInput& source, QSize full, QRect part,
                              InterpolationMode mode, QRgb background, QImage& out)
{
    const QSize storedFull = transform.Stored(full);
    const QRect storedPart = transform.StoredRect(part, full);
    const PixelKind outKind = source.kind == PixelKind::Argb32 ? PixelKind::Argb32 : PixelKind::Grey8;
    const qint64 stride = imaging::RowBytes(outKind, storedPart.width());
    std::vector<std::uint8_t> buf;
    try {
        buf.resize(static_cast<std::size_t>(stride * storedPart.height()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!imaging::ScaleRegion(source, storedFull.width(), storedFull.height(), storedPart, mode, buf.data(),
                              stride)) {
        return false;
    }

    // Lay the stored result out as shown; transparent parts go onto the background.
    const int bgR = qRed(background);
    const int bgG = qGreen(background);
    const int bgB = qBlue(background);
    const int outBpp = out.format() == QImage::Format_Grayscale8 ? 1 : 3; // grey only from grey pages
    auto put = [&](const std::uint8_t* src, uchar* dst) {
        if (outBpp == 1) {
            dst[0] = *src;
            return;
        }
        if (outKind == PixelKind::Grey8) {
            dst[0] = dst[1] = dst[2] = *src;
            return;
        }
        std::uint32_t p;
        std::memcpy(&p, src, 4);
        const int inv = 255 - static_cast<int>(p >> 24);
        dst[0] = static_cast<uchar>(((p >> 16) & 0xFF) + (bgR * inv + 127) / 255);
        dst[1] = static_cast<uchar>(((p >> 8) & 0xFF) + (bgG * inv + 127) / 255);
        dst[2] = static_cast<uchar>((p & 0xFF) + (bgB * inv + 127) / 255);
    };
    const int bpp = outKind == PixelKind::Grey8 ? 1 : 4;
    for (int v = 0; v < storedPart.height(); ++v) {
        const std::uint8_t* srow = buf.data() + v * stride;
        if (transform.IsIdentity()) {
            uchar* drow = out.scanLine(v);
            for (int u = 0; u < storedPart.width(); ++u) {
                put(srow + u * bpp, drow + u * outBpp);
            }
            continue;
        }
        for (int u = 0; u < storedPart.width(); ++u) {
            int x = 0;
            int y = 0;
            transform.ToShown(storedPart.x() + u, storedPart.y() + v, full, &x, &y);
            put(srow + u * bpp, out.scanLine(y - part.y()) + (x - part.x()) * outBpp);
        }
    }
    return true;
}

bool CTiffImage::Impl::RenderWhole(InterpolationMode mode, QRgb background, QImage& out)
{
    const QSize size = out.size();
    const QRect all(QPoint(0, 0), size);
    bool done = false;
    if (decoded && !Reduced()) {
        PageRows rows(*decoded);
        done = Render(DecodedSource(*decoded, rows), size, all, mode, background, out);
    } else {
        BandReader reader(tif, info, interrupt);
        StreamRows rows(reader);
        done = reader.Ok() && Render(StoredSource(rows), size, all, mode, background, out);
        if (reader.HadErrors()) {
            Fail(ImageStatus::DecodeError);
        }
    }
    return done;
}

CTiffImage::CTiffImage(const QString& path) : m_path(path), d(std::make_unique<Impl>())
{
    ByteSource::OpenResult result = ByteSource::OpenResult::NotFound;
    auto source = ByteSource::OpenFile(path, &result);
    if (!source) {
        d->Fail(ImageStatus::FileNotFound);
        return;
    }
    d->Open(std::move(source), path);
    d->Select(0);
}

CTiffImage::CTiffImage(FromMemory, const QByteArray& data, const QString& name)
    : m_path(name), d(std::make_unique<Impl>())
{
    d->Open(ByteSource::FromBytes(data), name.isEmpty() ? QStringLiteral("memory") : name);
    d->Select(0);
}

std::unique_ptr<CTiffImage> CTiffImage::FromBytes(const QByteArray& data, const QString& name)
{
    return std::unique_ptr<CTiffImage>(new CTiffImage(FromMemory{}, data, name));
}

CTiffImage::~CTiffImage() = default;

bool CTiffImage::IsOpen() const
{
    return d->opened;
}
ImageStatus CTiffImage::GetLastStatus() const
{
    return d->status;
}

int CTiffImage::GetFrameCount()
{
    if (!d->opened) {
        return 0;
    }
    return static_cast<int>(std::min<std::size_t>(d->chain->CountAll(), INT_MAX));
}

bool CTiffImage::SelectActiveFrame(int index)
{
    return d->Select(index);
}
int CTiffImage::GetActiveFrame() const
{
    return d->active;
}

int CTiffImage::GetWidth() const
{
    return d->ShownSize().width();
}
int CTiffImage::GetHeight() const
{
    return d->ShownSize().height();
}

float CTiffImage::GetHorizontalResolution() const
{
    if (!d->info.decodable) {
        return 0;
    }
    return d->transform.Transposes() ? d->info.yDpi : d->info.xDpi;
}

float CTiffImage::GetVerticalResolution() const
{
    if (!d->info.decodable) {
        return 0;
    }
    return d->transform.Transposes() ? d->info.xDpi : d->info.yDpi;
}

QSize CTiffImage::GetSquarePixelSize() const
{
    return SquarePixelSize(GetWidth(), GetHeight(), GetHorizontalResolution(), GetVerticalResolution());
}

bool CTiffImage::IsGrey() const
{
    return d->info.decodable && d->info.kind != PixelKind::Argb32;
}

void CTiffImage::RotateFlip(RotateFlipType type)
{
    const int t = static_cast<int>(type);
    if (t < 0 || t > 7) {
        d->Fail(ImageStatus::InvalidParameter);
        return;
    }
    if (!d->info.decodable) {
        d->Fail(ImageStatus::DecodeError);
        return;
    }
    // Only the mapping from stored to shown pixels changes; renders and the decoded page follow it.
    d->transform = d->transform.Then(PageTransform::FromRotateFlip(t));
}

QImage CTiffImage::RenderScaled(int w, int h, InterpolationMode mode, QRgb background)
{
    return RenderScaledAs(w, h, mode, background, QImage::Format_RGB888);
}

QImage CTiffImage::RenderScaledCompact(int w, int h, InterpolationMode mode, QRgb background)
{
    return RenderScaledAs(w, h, mode, background,
                          IsGrey() ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
}

QImage CTiffImage::RenderScaledAs(int w, int h, InterpolationMode mode, QRgb background,
                                  QImage::Format format)
{
    const QSize size(w, h);
    const qint64 held = !d->info.decodable ? 0 : d->decoded ? d->KeptBytes() : d->info.streamBytes;
    if (!d->TargetAllowed(size, held)) {
        d->Fail(ImageStatus::InvalidParameter);
        return QImage();
    }
    QImage out(size, format);
    if (out.isNull()) {
        d->Fail(ImageStatus::OutOfMemory);
        return QImage();
    }
    bool done = false;
    if (d->info.decodable) {
        done = d->RenderWhole(mode, background, out);
        if (d->Interrupted()) {
            return QImage();
        }
    }
    if (!done) {
        out.fill(QColor::fromRgb(background)); // the colour, whatever the format
    }
    return out;
}

QImage CTiffImage::RenderRegion(QSize fullSize, QRect part, InterpolationMode mode, QRgb background)
{
    if (fullSize.width() <= 0 || fullSize.height() <= 0) {
        d->Fail(ImageStatus::InvalidParameter);
        return QImage();
    }
    const QRect clipped = part & QRect(QPoint(0, 0), fullSize);
    if (!d->TargetAllowed(clipped.size(), d->info.decodable ? d->KeptBytes() : 0)) {
        d->Fail(ImageStatus::InvalidParameter);
        return QImage();
    }
    QImage out(clipped.size(), QImage::Format_RGB888);
    if (out.isNull()) {
        d->Fail(ImageStatus::OutOfMemory);
        return QImage();
    }
    const DecodedPage* page = d->Decoded();
    bool done = false;
    if (page) {
        PageRows rows(*page);
        done = d->Render(d->DecodedSource(*page, rows), fullSize, clipped, mode, background, out);
    }
    if (d->Interrupted()) {
        return QImage();
    }
    if (!done) {
        out.fill(background);
    }
    return out;
}

QImage CTiffImage::DecodedImage()
{
    if (d->info.decodable) {
        // The image is a copy beside the kept page, and turning it makes one or two more.
        const qint64 bytes =
            ((imaging::RowBytes(d->info.kind, d->info.width) + 3) & ~qint64(3)) * d->info.height;
        const int copies = d->transform.IsIdentity() ? 1 : d->transform.Transposes() ? 3 : 2;
        if (d->Reduced() || d->KeptBytes() + copies * bytes > d->maxBytes) {
            d->Fail(ImageStatus::OutOfMemory);
            return QImage();
        }
    }
    const DecodedPage* page = d->Decoded();
    if (!page) {
        return QImage();
    }
    QImage::Format format = QImage::Format_Grayscale8;
    if (page->kind == PixelKind::Mono) {
        format = QImage::Format_Mono;
    } else if (page->kind == PixelKind::Argb32) {
        format = QImage::Format_ARGB32_Premultiplied;
    }
    QImage img(page->width, page->height, format);
    if (img.isNull()) {
        d->Fail(ImageStatus::OutOfMemory);
        return QImage();
    }
    if (page->kind == PixelKind::Mono) {
        // Ink first: a black-and-white page then has the colour table {black, white}, which is what Qt's
        // PDF and print engine need to send it as 1-bit data instead of 32-bit pixels.
        img.setColorTable(
            {qRgb(page->ink, page->ink, page->ink), qRgb(page->paper, page->paper, page->paper)});
        for (int y = 0; y < page->height; ++y) {
            if (y % 256 == 0 && d->Interrupted()) {
                return QImage();
            }
            const std::uint8_t* src = page->Row(y);
            uchar* dst = img.scanLine(y);
            for (qint64 i = 0; i < page->stride; ++i) {
                dst[i] = static_cast<uchar>(~src[i]);
            }
        }
    } else {
        for (int y = 0; y < page->height; ++y) {
            if (y % 256 == 0 && d->Interrupted()) {
                return QImage();
            }
            std::memcpy(img.scanLine(y), page->Row(y), static_cast<std::size_t>(page->stride));
        }
    }
    const PageTransform& t = d->transform;
    if (t.Transposes()) {
        // The transpose: a quarter turn clockwise, then mirrored left to right.
        img = img.transformed(QTransform().rotate(90)).mirrored(true, false);
    }
    int x0 = 0;
    int y0 = 0;
    // Which mirrors remain: see where the stored origin lands.
    const QSize shown = t.Shown(QSize(page->width, page->height));
    t.ToShown(0, 0, shown, &x0, &y0);
    return img.mirrored(x0 != 0, y0 != 0);
}

void CTiffImage::SetInterruptFlag(const std::atomic<bool>* flag)
{
    d->interrupt = flag;
}

void CTiffImage::SetMaxDecodedBytes(qint64 bytes)
{
    d->maxBytes = std::max<qint64>(bytes, 1);
    if (d->active >= 0) {
        d->Select(d->active);
    }
}

qint64 CTiffImage::GetMaxDecodedBytes() const
{
    return d->maxBytes;
}
