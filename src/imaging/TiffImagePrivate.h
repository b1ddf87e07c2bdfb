#pragma once
// Inside CTiffImage: the open file, the active page, its decoded form and the rendering shared by the
// public calls. Only the imaging code includes this.

#include "imaging/IfdChain.h"
#include "imaging/PageTransform.h"
#include "imaging/Resampler.h"
#include "imaging/TiffImage.h"
#include "imaging/TiffPage.h"
#include "imaging/TiffSource.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imaging {

// Parts and targets are bounded on each side as well as in bytes, which bounds the scaler's tables.
constexpr int kMaxTargetSide = 1 << 20;

class PageRows : public RowProvider
{
public:
    explicit PageRows(const DecodedPage& p) : m_page(p) {}
    const std::uint8_t* Row(int y) override { return m_page.Row(y); }

private:
    const DecodedPage& m_page;
};

class StreamRows : public RowProvider
{
public:
    explicit StreamRows(BandReader& r) : m_reader(r) {}
    const std::uint8_t* Row(int y) override { return m_reader.Row(y); }

private:
    BandReader& m_reader;
};

} // namespace imaging

struct CTiffImage::Impl
{
    using BandReader = imaging::BandReader;
    using ByteSource = imaging::ByteSource;
    using DecodedPage = imaging::DecodedPage;
    using PageInfo = imaging::PageInfo;
    using PageTransform = imaging::PageTransform;
    using PixelKind = imaging::PixelKind;
    using PageRows = imaging::PageRows;
    using StreamRows = imaging::StreamRows;

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
        if (s.width() <= 0 || s.height() <= 0 || s.width() > imaging::kMaxTargetSide ||
            s.height() > imaging::kMaxTargetSide) {
            return false;
        }
        const qint64 bpp = info.kind == PixelKind::Argb32 ? 4 : 1;
        const qint64 target = static_cast<qint64>(s.width()) * s.height() * (3 + bpp);
        const qint64 sums = static_cast<qint64>(std::max(s.width(), s.height())) * bpp * 8 * 8;
        return held + target + sums <= maxBytes;
    }

    // The whole page scaled to `out`'s size into `out` (RGB888, or Grayscale8 for grey pages): from the
    // page kept whole when it is, else streamed from the file (a reduced form would give other pixels
    // than the file's). False when nothing could be rendered.
    bool RenderWhole(InterpolationMode mode, QRgb background, QImage& out);

    // Scales `source` into `out`, which shows the part `part` of the page scaled to `full`.
    bool Render(const imaging::ScaleInput& source, QSize full, QRect part, InterpolationMode mode,
                QRgb background, QImage& out);
};
