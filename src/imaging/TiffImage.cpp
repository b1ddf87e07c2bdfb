#include "imaging/TiffImage.h"

#include "imaging/IfdChain.h"
#include "imaging/PageTransform.h"
#include "imaging/Resampler.h"
#include "imaging/TiffPage.h"
#include "imaging/TiffSource.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

using imaging::BandReader;
using imaging::ByteSource;
using imaging::DecodedPage;
using imaging::PageInfo;
using imaging::PageTransform;
using imaging::PixelKind;

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

namespace {

// Parts and targets are bounded on each side as well as in bytes, which bounds the scaler's tables.
constexpr int kMaxTargetSide = 1 << 20;

class PageRows : public imaging::RowProvider
{
public:
    explicit PageRows(const DecodedPage& p) : m_page(p) {}
    const std::uint8_t* Row(int y) override { return m_page.Row(y); }

private:
    const DecodedPage& m_page;
};

class StreamRows : public imaging::RowProvider
{
public:
    explicit StreamRows(BandReader& r) : m_reader(r) {}
    const std::uint8_t* Row(int y) override { return m_reader.Row(y); }

private:
    BandReader& m_reader;
};

} // namespace

struct CTiffImage::Impl
{
    std::unique_ptr<ByteSource> source;
    imaging::TiffMessages messages;
    TIFF* tif = nullptr; // on the active page's directory
    bool opened = false;
    QString name;
    imaging::TiffHeader header;
    std::unique_ptr<imaging::IfdChain> chain;
    int active = -1;
    PageInfo info;
    PageTransform transform;
    std::unique_ptr<DecodedPage> decoded;
    bool decodeFailed = false;
    ImageStatus status = ImageStatus::Ok;
    qint64 maxBytes = CTiffImage::kDefaultMaxDecodedBytes;
    const std::atomic<bool>* interrupt = nullptr;

    ~Impl() { CloseTiff(); }

    void CloseTiff()
    {
        if (tif) {
            TIFFClose(tif);
            tif = nullptr;
        }
    }

    void Fail(ImageStatus s) { status = s; }

    // Checks the flag; when it is set, records the interruption.
    bool Interrupted()
    {
        if (!imaging::IsSet(interrupt)) {
            return false;
        }
        Fail(ImageStatus::Interrupted);
        return true;
    }

    void Open(std::unique_ptr<ByteSource> src, const QString& fileName)
    {
        source = std::move(src);
        name = fileName;
        if (!imaging::ReadTiffHeader(*source, &header)) {
            source.reset();
            Fail(ImageStatus::UnknownFormat);
            return;
        }
        tif = imaging::OpenTiff(*source, name, &messages, maxBytes);
        if (!tif) {
            source.reset();
            Fail(ImageStatus::UnknownFormat);
            return;
        }
        opened = true;
        chain = std::make_unique<imaging::IfdChain>(*source, header);
    }

    // libtiff on the directory at `offset`, as if it were the file's first one: a handle reading a
    // directory it has not met on its way through the chain first walks the whole chain.
    bool ReadDirectoryAt(std::uint64_t offset)
    {
        CloseTiff();
        source->ShowFirstDirectoryAt(offset, header.bigEndian, header.bigTiff);
        tif = imaging::OpenTiff(*source, name, &messages, maxBytes);
        return tif != nullptr && TIFFReadDirectory(tif);
    }

    bool Select(int index)
    {
        if (!opened) {
            return false;
        }
        if (index < 0 || !chain->Reach(static_cast<std::size_t>(index))) {
            Fail(ImageStatus::InvalidParameter);
            return false;
        }
        active = index;
        decoded.reset();
        decodeFailed = false;
        info = PageInfo();
        transform = PageTransform();
        if (!ReadDirectoryAt(chain->Offset(static_cast<std::size_t>(index)))) {
            Fail(ImageStatus::DecodeError);
            return false;
        }
        info = imaging::ReadPageInfo(tif, maxBytes);
        transform = PageTransform::FromOrientationTag(info.orientation);
        if (!info.decodable) {
            Fail(info.tooLarge ? ImageStatus::OutOfMemory : ImageStatus::DecodeError);
            return false;
        }
        return true;
    }

    QSize ShownSize() const
    {
        return info.decodable ? transform.Shown(QSize(info.width, info.height)) : QSize(0, 0);
    }

    // The page is kept at reduced resolution when it is over the whole share of the budget.
    bool Reduced() const { return !info.fitsWhole; }

    // The size of the reduced form: the page shrunk evenly into the budget's reduced share, as 8-bit grey
    // (bilevel and grey pages) or 32-bit colour.
    QSize ReducedSize() const
    {
        const double bpp = info.kind == PixelKind::Argb32 ? 4.0 : 1.0;
        const double full = static_cast<double>(info.width) * info.height * bpp;
        const double f = std::min(
            1.0, std::sqrt(static_cast<double>(imaging::MemoryBudget::ReducedShare(maxBytes)) / full));
        return QSize(std::max(1, static_cast<int>(info.width * f)),
                     std::max(1, static_cast<int>(info.height * f)));
    }

    // What the page's decoded form holds once it is made.
    qint64 KeptBytes() const
    {
        if (!Reduced()) {
            return info.pageBytes;
        }
        const QSize r = ReducedSize();
        return imaging::RowBytes(info.kind == PixelKind::Argb32 ? PixelKind::Argb32 : PixelKind::Grey8,
                                 r.width()) *
               r.height();
    }

    // Streams the whole page through the area-averaging scaler into its reduced form.
    std::unique_ptr<DecodedPage> DecodeReduced()
    {
        const QSize r = ReducedSize();
        auto page = std::make_unique<DecodedPage>();
        page->kind = info.kind == PixelKind::Argb32 ? PixelKind::Argb32 : PixelKind::Grey8;
        page->width = r.width();
        page->height = r.height();
        page->stride = imaging::RowBytes(page->kind, r.width());
        try {
            page->data.resize(static_cast<std::size_t>(page->stride * r.height() + 8));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        BandReader reader(tif, info, interrupt);
        StreamRows rows(reader);
        if (!reader.Ok() ||
            !imaging::ScaleRegion(StoredSource(rows), r.width(), r.height(), QRect(QPoint(0, 0), r),
                                  InterpolationMode::HighQuality, page->data.data(), page->stride)) {
            return nullptr;
        }
        page->errors = reader.HadErrors();
        return page;
    }

    // The page as stored, its rows from `rows`.
    imaging::ScaleInput StoredSource(imaging::RowProvider& rows) const
    {
        imaging::ScaleInput in;
        in.kind = info.kind;
        in.width = info.width;
        in.height = info.height;
        in.ink = info.ink;
        in.paper = info.paper;
        in.rows = &rows;
        in.interrupt = interrupt;
        return in;
    }

    // The page's decoded form (whole or reduced), its rows from `rows`.
    imaging::ScaleInput DecodedSource(const DecodedPage& page, imaging::RowProvider& rows) const
    {
        imaging::ScaleInput in;
        in.kind = page.kind;
        in.width = page.width;
        in.height = page.height;
        in.ink = page.ink;
        in.paper = page.paper;
        in.rows = &rows;
        in.interrupt = interrupt;
        return in;
    }

    const DecodedPage* Decoded()
    {
        if (!info.decodable || decodeFailed) {
            return nullptr;
        }
        if (!decoded) {
            decoded = Reduced() ? DecodeReduced() : imaging::DecodePage(tif, info, interrupt);
            if (!decoded) {
                if (Interrupted()) {
                    return nullptr; // not a failure of the page: the next call decodes it again
                }
                decodeFailed = true;
                Fail(ImageStatus::OutOfMemory);
                return nullptr;
            }
            if (decoded->errors) {
                Fail(ImageStatus::DecodeError);
            }
        }
        return decoded.get();
    }

    // A target of size `s` may be made while `held` bytes are held for the page: the target (24-bit) and
    // the scaler's result before it is laid out (8 or 32 bits) and its rows of sums must fit the budget
    // with it.
    bool TargetAllowed(QSize s, qint64 held) const
    {
        if (s.width() <= 0 || s.height() <= 0 || s.width() > kMaxTargetSide || s.height() > kMaxTargetSide) {
            return false;
        }
        const qint64 bpp = info.kind == PixelKind::Argb32 ? 4 : 1;
        const qint64 target = static_cast<qint64>(s.width()) * s.height() * (3 + bpp);
        const qint64 sums = static_cast<qint64>(std::max(s.width(), s.height())) * bpp * 8 * 8;
        return held + target + sums <= maxBytes;
    }

    // Scales `source` into `out`, which shows the part `part` of the page scaled to `full`.
    bool Render(const imaging::ScaleInput& source, QSize full, QRect part, InterpolationMode mode,
                QRgb background, QImage& out);
};

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
    auto put = [&](const std::uint8_t* src, uchar* dst) {
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
                put(srow + u * bpp, drow + u * 3);
            }
            continue;
        }
        for (int u = 0; u < storedPart.width(); ++u) {
            int x = 0;
            int y = 0;
            transform.ToShown(storedPart.x() + u, storedPart.y() + v, full, &x, &y);
            put(srow + u * bpp, out.scanLine(y - part.y()) + (x - part.x()) * 3);
        }
    }
    return true;
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
    const QSize size(w, h);
    const qint64 held = !d->info.decodable ? 0 : d->decoded ? d->KeptBytes() : d->info.streamBytes;
    if (!d->TargetAllowed(size, held)) {
        d->Fail(ImageStatus::InvalidParameter);
        return QImage();
    }
    QImage out(size, QImage::Format_RGB888);
    if (out.isNull()) {
        d->Fail(ImageStatus::OutOfMemory);
        return QImage();
    }
    bool done = false;
    if (d->info.decodable) {
        const QRect all(QPoint(0, 0), size);
        if (d->decoded) {
            PageRows rows(*d->decoded);
            done = d->Render(d->DecodedSource(*d->decoded, rows), size, all, mode, background, out);
        } else {
            BandReader reader(d->tif, d->info, d->interrupt);
            StreamRows rows(reader);
            done = reader.Ok() && d->Render(d->StoredSource(rows), size, all, mode, background, out);
            if (reader.HadErrors()) {
                d->Fail(ImageStatus::DecodeError);
            }
        }
        if (d->Interrupted()) {
            return QImage();
        }
    }
    if (!done) {
        out.fill(background);
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
