#include "imaging/TiffPage.h"

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace imaging {

namespace {

bool IsGreyPhotometric(std::uint16_t p)
{
    return p == PHOTOMETRIC_MINISWHITE || p == PHOTOMETRIC_MINISBLACK;
}

// Resolutions as dots per inch. Missing or unusable values read 0; with one of the two missing, both are
// equal so that the page keeps its pixel proportions.
void ReadResolution(TIFF* tif, PageInfo* p)
{
    float xr = 0;
    float yr = 0;
    std::uint16_t unit = RESUNIT_INCH;
    const bool hx = TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xr) && std::isfinite(xr) && xr > 0;
    const bool hy = TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yr) && std::isfinite(yr) && yr > 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (!hx && !hy) {
        return;
    }
    if (!hx) {
        xr = yr;
    } else if (!hy) {
        yr = xr;
    }
    if (unit == RESUNIT_NONE) {
        // Without a unit the two numbers only give the pixels' proportions (204 and 98 for a fax in normal
        // mode). Small numbers are scaled up together, so that whole numbers still keep the proportion.
        const float smaller = std::min(xr, yr);
        if (smaller < 100.0f) {
            const float k = 1000.0f / smaller;
            xr *= k;
            yr *= k;
        }
    } else if (unit == RESUNIT_CENTIMETER) {
        // Rounded to a thousandth, so that 80.31496 dots per centimetre give 204 dpi and not 203.99999.
        xr = static_cast<float>(std::round(static_cast<double>(xr) * 2540.0) / 1000.0);
        yr = static_cast<float>(std::round(static_cast<double>(yr) * 2540.0) / 1000.0);
    }
    p->xDpi = std::min(xr, 1e7f);
    p->yDpi = std::min(yr, 1e7f);
}

// Grey values of a two-entry colour map, when both entries are grey.
bool GreyPalette(TIFF* tif, std::uint8_t* v0, std::uint8_t* v1)
{
    std::uint16_t* r = nullptr;
    std::uint16_t* g = nullptr;
    std::uint16_t* b = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b) {
        return false;
    }
    // Like libtiff, take a map whose values all fit 8 bits as an 8-bit map.
    const bool eightBit = std::max({r[0], r[1], g[0], g[1], b[0], b[1]}) < 256;
    auto val = [eightBit](std::uint16_t v) {
        return static_cast<std::uint8_t>(eightBit ? v : v >> 8);
    };
    for (int i = 0; i < 2; ++i) {
        if (val(r[i]) != val(g[i]) || val(g[i]) != val(b[i])) {
            return false;
        }
    }
    *v0 = val(r[0]);
    *v1 = val(r[1]);
    return true;
}

// Codecs that libtiff can decode row by row, reading the strip's bytes as it goes.
bool DecodesRowByRow(std::uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return true;
    default:
        return false;
    }
}

// Fills in how the page is read and what that costs, and whether it can be shown within `budget`.
void PlanMemory(TIFF* tif, std::int64_t budget, PageInfo* p)
{
    const std::int64_t rowBytes = RowBytes(p->kind, p->width);
    const tmsize_t scanline =
        TIFFScanlineSize64(tif) > 0 ? static_cast<tmsize_t>(TIFFScanlineSize64(tif)) : 0;
    if (scanline > (std::int64_t(1) << 36)) {
        p->tooLarge = true; // a row of more than 64 GB: only a damaged directory says so
        return;
    }
    p->fileRowBytes = p->viaRgba || p->tiled ? scanline : std::min<std::int64_t>(scanline, rowBytes);
    if (!p->viaRgba && !p->tiled &&
        (p->kind != PixelKind::Argb32 ? scanline != rowBytes : scanline > rowBytes)) {
        return; // libtiff's rows are not what this page's form expects: not decodable
    }
    // A page stored in one strip (as fax servers and scanners write even huge pages) is read a few rows at
    // a time, so that it never needs a strip-sized buffer.
    const std::int64_t widest = std::max<std::int64_t>(rowBytes, p->fileRowBytes);
    if (!p->tiled && !p->viaRgba && widest * p->bandHeight > MemoryBudget::TallStrip(budget) &&
        DecodesRowByRow(p->compression)) {
        p->rowsPerRead = static_cast<int>(std::clamp<std::int64_t>(
            MemoryBudget::RowsRead(budget) / std::max<std::int64_t>(widest, 1), 1, p->bandHeight));
    }
    const std::int64_t readRows = p->rowsPerRead > 0 ? p->rowsPerRead : p->bandHeight;
    // Besides our band: libtiff's RGBA interface holds the band as 32-bit pixels and as stored; a tile is
    // read whole; libtiff reads a strip's bytes whole, except row by row, where it reads ahead a little.
    std::int64_t conversion = 0;
    std::int64_t libtiffStrip = 0;
    if (p->viaRgba) {
        conversion = static_cast<std::int64_t>(p->width) * readRows * 4 + scanline * readRows;
        libtiffStrip = scanline * readRows;
    } else if (p->tiled) {
        const std::int64_t tile =
            TIFFTileSize64(tif) > 0 ? static_cast<std::int64_t>(TIFFTileSize64(tif)) : 0;
        conversion = tile;
        libtiffStrip = tile;
    } else if (p->rowsPerRead > 0) {
        libtiffStrip = scanline * 16 + 5000; // libtiff's read-ahead
    } else {
        libtiffStrip = scanline * readRows;
    }
    p->pageBytes = rowBytes * p->height;
    p->streamBytes = rowBytes * readRows + conversion + libtiffStrip;
    if (p->width > kMaxPageSide || p->height > kMaxPageSide || p->streamBytes > budget / 2 ||
        p->pageBytes > MemoryBudget::LargestPage(budget)) {
        p->tooLarge = true;
        return;
    }
    p->decodable = true;
    p->fitsWhole = p->pageBytes + conversion + libtiffStrip <= MemoryBudget::WholeShare(budget);
}

} // namespace

std::int64_t RowBytes(PixelKind kind, int width)
{
    switch (kind) {
    case PixelKind::Mono:
        return (static_cast<std::int64_t>(width) + 7) / 8;
    case PixelKind::Grey8:
        return width;
    case PixelKind::Argb32:
        return static_cast<std::int64_t>(width) * 4;
    }
    return 0;
}

PageInfo ReadPageInfo(TIFF* tif, std::int64_t budget, bool forceRgba)
{
    PageInfo p;
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) || w == 0 ||
        h == 0 || w > INT_MAX || h > INT_MAX) {
        return p;
    }
    p.width = static_cast<int>(w);
    p.height = static_cast<int>(h);
    ReadResolution(tif, &p);

    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    p.orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;

    std::uint16_t bps = 1;
    std::uint16_t spp = 1;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    std::uint16_t photometric = 0;
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) {
        photometric = bps == 1 ? PHOTOMETRIC_MINISWHITE : spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    }
    p.photometric = photometric;
    p.compression = compression;
    if (!TIFFIsCODECConfigured(compression)) {
        return p;
    }

    p.tiled = TIFFIsTiled(tif);
    if (p.tiled) {
        std::uint32_t tw = 0;
        std::uint32_t th = 0;
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &th) ||
            tw == 0 || th == 0 || tw > INT_MAX || th > INT_MAX) {
            return p;
        }
        p.tileWidth = static_cast<int>(tw);
        p.bandHeight = static_cast<int>(std::min<std::uint32_t>(th, h));
    } else {
        std::uint32_t rps = h;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps);
        p.bandHeight = static_cast<int>(std::clamp<std::uint32_t>(rps, 1, h));
    }

    const bool uintSamples = sampleFormat == SAMPLEFORMAT_UINT || sampleFormat == SAMPLEFORMAT_VOID;
    std::uint8_t v0 = 0;
    std::uint8_t v1 = 0;
    bool direct = false;
    if (!forceRgba && bps == 1 && spp == 1 &&
        (!p.tiled || p.tileWidth % 8 == 0)) { // tiles must start on whole bytes
        if (photometric == PHOTOMETRIC_MINISWHITE) {
            v0 = 255;
            v1 = 0;
            direct = true;
        } else if (photometric == PHOTOMETRIC_MINISBLACK) {
            v0 = 0;
            v1 = 255;
            direct = true;
        } else if (photometric == PHOTOMETRIC_PALETTE) {
            direct = GreyPalette(tif, &v0, &v1);
        }
        if (direct) {
            p.kind = PixelKind::Mono;
            p.invertBits = v1 > v0;
            p.ink = std::min(v0, v1);
            p.paper = std::max(v0, v1);
        }
    } else if (!forceRgba && bps == 8 && spp == 1 && uintSamples && IsGreyPhotometric(photometric)) {
        p.kind = PixelKind::Grey8;
        p.invertGrey = photometric == PHOTOMETRIC_MINISWHITE;
        direct = true;
    } else if (!forceRgba && bps == 8 && (spp == 3 || spp == 4) && uintSamples &&
               photometric == PHOTOMETRIC_RGB && !p.tiled) {
        // Colour strips are read as they are stored, which needs no band of libtiff's RGBA interface and
        // lets a tall strip be read row by row. A fourth sample is taken only when it is marked as alpha.
        std::uint16_t planar = PLANARCONFIG_CONTIG;
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
        std::uint16_t extraCount = 0;
        std::uint16_t* extra = nullptr;
        const bool hasExtra = TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extra;
        const bool alpha = spp == 4 && hasExtra && extraCount == 1 &&
                           (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA);
        if (planar == PLANARCONFIG_CONTIG && (spp == 3 || alpha)) {
            p.kind = PixelKind::Argb32;
            p.samples = spp;
            p.unassociatedAlpha = alpha && extra[0] == EXTRASAMPLE_UNASSALPHA;
            direct = true;
        }
    }
    if (!direct) {
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tif, message)) {
            return p;
        }
        p.viaRgba = true;
        p.kind = IsGreyPhotometric(photometric) && spp == 1 ? PixelKind::Grey8 : PixelKind::Argb32;
    }

    PlanMemory(tif, budget, &p);
    return p;
}

struct BandReader::RgbaState
{
    TIFFRGBAImage img = {};
    bool begun = false;
};

BandReader::BandReader(TIFF* tif, const PageInfo& info, const std::atomic<bool>* interrupt)
    : m_tif(tif), m_info(info), m_rowBytes(RowBytes(info.kind, info.width)),
      m_rowsPerBand(info.rowsPerRead > 0 ? info.rowsPerRead : std::max(info.bandHeight, 1)),
      m_interrupt(interrupt)
{
    if (!info.decodable) {
        m_ok = false;
        return;
    }
    if (info.viaRgba) {
        m_rgba = std::make_unique<RgbaState>();
        char message[1024] = {};
        if (!TIFFRGBAImageBegin(&m_rgba->img, tif, 1, message)) {
            m_ok = false;
            return;
        }
        m_rgba->begun = true;
        // Rows in stored order, top row first: the orientation is applied by the caller.
        m_rgba->img.req_orientation = ORIENTATION_TOPLEFT;
        m_rgba->img.orientation = ORIENTATION_TOPLEFT;
    }
}

BandReader::~BandReader()
{
    if (m_rgba && m_rgba->begun) {
        TIFFRGBAImageEnd(&m_rgba->img);
    }
}

int BandReader::BandCount() const
{
    return m_info.height <= 0 ? 0 : (m_info.height + m_rowsPerBand - 1) / m_rowsPerBand;
}

int BandReader::BandRows(int band) const
{
    return std::min(m_rowsPerBand, m_info.height - BandStart(band));
}

void BandReader::FillPaper(std::uint8_t* dst, std::int64_t stride, int rows) const
{
    std::uint8_t v = 255;
    if (m_info.kind == PixelKind::Mono) {
        v = 0;
    }
    for (int r = 0; r < rows; ++r) {
        std::memset(dst + r * stride, v, static_cast<std::size_t>(m_rowBytes));
    }
}

bool BandReader::Decode(int band, std::uint8_t* dst, std::int64_t stride)
{
    if (band < 0 || band >= BandCount()) {
        return false;
    }
    if (IsSet(m_interrupt)) {
        m_interrupted = true;
    }
    if (!m_ok || m_interrupted) {
        FillPaper(dst, stride, BandRows(band));
        m_errors = m_errors || !m_ok;
        return false;
    }
    const bool ok = m_info.viaRgba           ? DecodeRgba(band, dst, stride)
                    : m_info.rowsPerRead > 0 ? DecodeRows(band, dst, stride)
                                             : DecodeDirect(band, dst, stride);
    m_errors = m_errors || !ok;
    return ok;
}

namespace {

// The file's own value for paper, so that whatever fails to decode stays paper after the fix-up.
std::uint8_t FilePaper(const PageInfo& info)
{
    if (info.kind == PixelKind::Mono) {
        return info.invertBits ? 0xFF : 0x00;
    }
    return info.invertGrey ? 0x00 : 0xFF;
}

// Stored RGB or RGBA samples at the start of `row` spread in place into premultiplied 0xAARRGGBB.
void ExpandColour(std::uint8_t* row, int width, int samples, bool unassociated)
{
    for (int x = width - 1; x >= 0; --x) {
        const std::uint8_t* p = row + static_cast<std::int64_t>(x) * samples;
        std::uint32_t r = p[0];
        std::uint32_t g = p[1];
        std::uint32_t b = p[2];
        const std::uint32_t a = samples == 4 ? p[3] : 255;
        if (unassociated) { // rounded as libtiff's RGBA interface does
            r = (r * a + 127) / 255;
            g = (g * a + 127) / 255;
            b = (b * a + 127) / 255;
        }
        const std::uint32_t v = a << 24 | r << 16 | g << 8 | b;
        std::memcpy(row + static_cast<std::int64_t>(x) * 4, &v, 4);
    }
}

} // namespace

void BandReader::FixUp(std::uint8_t* dst, std::int64_t stride, int rows) const
{
    // Set bits are always the darker value, grey is always min-is-black, the bits after the last pixel of
    // a row are clear, and colour rows hold 32-bit pixels.
    const bool mono = m_info.kind == PixelKind::Mono;
    if (m_info.kind == PixelKind::Argb32) {
        // Rows were read packed at the file's row length: spread from the last one, which never overwrites
        // a row not yet spread.
        for (int r = rows - 1; r >= 0; --r) {
            std::uint8_t* row = dst + r * stride;
            if (r * m_info.fileRowBytes != r * stride) {
                std::memmove(row, dst + r * m_info.fileRowBytes,
                             static_cast<std::size_t>(m_info.fileRowBytes));
            }
            ExpandColour(row, m_info.width, m_info.samples, m_info.unassociatedAlpha);
        }
        return;
    }
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* row = dst + r * stride;
        if (mono) {
            if (m_info.invertBits) {
                for (std::int64_t i = 0; i < m_rowBytes; ++i) {
                    row[i] = static_cast<std::uint8_t>(~row[i]);
                }
            }
            if (m_info.width % 8) {
                row[m_rowBytes - 1] &= static_cast<std::uint8_t>(0xFF00u >> (m_info.width % 8));
            }
        } else if (m_info.invertGrey) {
            for (std::int64_t i = 0; i < m_rowBytes; ++i) {
                row[i] = static_cast<std::uint8_t>(255 - row[i]);
            }
        }
    }
}

bool BandReader::DecodeDirect(int band, std::uint8_t* dst, std::int64_t stride)
{
    const int rows = BandRows(band);
    const bool mono = m_info.kind == PixelKind::Mono;
    const std::uint8_t filePaper = FilePaper(m_info);
    bool ok = true;
    if (!m_info.tiled) {
        // The strip is read packed at the file's row length; FixUp lays colour rows out afterwards.
        const tmsize_t want = m_info.fileRowBytes * rows;
        if (stride == m_rowBytes) {
            // A strip that decodes fills every byte asked for; only when it fails can old bytes remain in
            // the buffer, so only then is it cleared to paper and decoded again (keeping the rows that
            // can be read). This saves clearing every strip of every page.
            const tmsize_t got = TIFFReadEncodedStrip(m_tif, static_cast<std::uint32_t>(band), dst, want);
            if (got < 0) {
                ok = false;
                std::memset(dst, filePaper, static_cast<std::size_t>(want));
                TIFFReadEncodedStrip(m_tif, static_cast<std::uint32_t>(band), dst, want);
            } else if (got < want) {
                std::memset(dst + got, filePaper, static_cast<std::size_t>(want - got));
            }
        } else {
            std::vector<std::uint8_t> tmp(static_cast<std::size_t>(want), filePaper);
            ok = TIFFReadEncodedStrip(m_tif, static_cast<std::uint32_t>(band), tmp.data(), want) >= 0;
            for (int r = 0; r < rows; ++r) {
                std::memcpy(dst + r * stride, tmp.data() + r * m_info.fileRowBytes,
                            static_cast<std::size_t>(m_info.fileRowBytes));
                FixUp(dst + r * stride, stride, 1);
            }
            return ok;
        }
    } else {
        const tmsize_t tileSize = TIFFTileSize(m_tif);
        const tmsize_t tileRowBytes = TIFFTileRowSize(m_tif);
        if (tileSize <= 0 || tileRowBytes <= 0) {
            FillPaper(dst, stride, rows);
            return false;
        }
        m_tile.resize(static_cast<std::size_t>(tileSize));
        const int y0 = BandStart(band);
        for (int tx = 0; tx < m_info.width; tx += m_info.tileWidth) {
            std::fill(m_tile.begin(), m_tile.end(), filePaper);
            const std::uint32_t t =
                TIFFComputeTile(m_tif, static_cast<std::uint32_t>(tx), static_cast<std::uint32_t>(y0), 0, 0);
            if (TIFFReadEncodedTile(m_tif, t, m_tile.data(), tileSize) < 0) {
                ok = false;
                std::fill(m_tile.begin(), m_tile.end(), filePaper);
            }
            const std::int64_t at = mono ? tx / 8 : tx;
            const std::int64_t n = std::min<std::int64_t>(tileRowBytes, m_rowBytes - at);
            for (int r = 0; r < rows && static_cast<std::int64_t>(r + 1) * tileRowBytes <= tileSize; ++r) {
                std::memcpy(dst + r * stride + at, m_tile.data() + r * tileRowBytes,
                            static_cast<std::size_t>(n));
            }
        }
    }
    FixUp(dst, stride, rows);
    return ok;
}

bool BandReader::DecodeRows(int band, std::uint8_t* dst, std::int64_t stride)
{
    const int y0 = BandStart(band);
    const int rows = BandRows(band);
    const std::uint8_t filePaper = FilePaper(m_info);
    bool ok = true;
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* row = dst + r * stride;
        const int y = y0 + r;
        const int strip = y / m_info.bandHeight;
        if (IsSet(m_interrupt)) {
            m_interrupted = true;
        }
        // After a row that fails, the rest of its strip reads as paper: the decoder has lost its place,
        // and asking it again for every row would only repeat the failure.
        if (m_interrupted || strip == m_failedStrip ||
            TIFFReadScanline(m_tif, row, static_cast<std::uint32_t>(y), 0) < 0) {
            std::memset(row, filePaper, static_cast<std::size_t>(m_info.fileRowBytes));
            if (!m_interrupted && strip != m_failedStrip) {
                m_failedStrip = strip;
                ok = false;
            }
        }
        FixUp(row, stride, 1);
    }
    return ok && !m_interrupted;
}

bool BandReader::DecodeRgba(int band, std::uint8_t* dst, std::int64_t stride)
{
    const int rows = BandRows(band);
    const std::size_t w = static_cast<std::size_t>(m_info.width);
    m_raster.assign(w * static_cast<std::size_t>(rows), 0xFFFFFFFFu);
    m_rgba->img.row_offset = BandStart(band);
    m_rgba->img.col_offset = 0;
    const bool ok = TIFFRGBAImageGet(&m_rgba->img, m_raster.data(), static_cast<std::uint32_t>(w),
                                     static_cast<std::uint32_t>(rows)) != 0;
    for (int r = 0; r < rows; ++r) {
        const std::uint32_t* src = m_raster.data() + static_cast<std::size_t>(r) * w;
        std::uint8_t* row = dst + r * stride;
        if (m_info.kind == PixelKind::Grey8) {
            for (std::size_t x = 0; x < w; ++x) {
                row[x] = static_cast<std::uint8_t>(TIFFGetR(src[x]));
            }
        } else {
            auto* out = reinterpret_cast<std::uint32_t*>(row);
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint32_t p = src[x];
                out[x] = TIFFGetA(p) << 24 | TIFFGetR(p) << 16 | TIFFGetG(p) << 8 | TIFFGetB(p);
            }
        }
    }
    return ok;
}

const std::uint8_t* BandReader::Row(int y)
{
    if (y < 0 || y >= m_info.height) {
        return nullptr;
    }
    const int band = y / m_rowsPerBand;
    if (band != m_bandInBuffer) {
        m_band.resize(static_cast<std::size_t>(m_rowBytes * m_rowsPerBand + 8));
        Decode(band, m_band.data(), m_rowBytes);
        m_bandInBuffer = band;
    }
    return m_band.data() + static_cast<std::int64_t>(y - BandStart(band)) * m_rowBytes;
}

std::unique_ptr<DecodedPage> DecodePage(TIFF* tif, const PageInfo& info, const std::atomic<bool>* interrupt)
{
    if (!info.decodable || IsSet(interrupt)) {
        return nullptr;
    }
    BandReader reader(tif, info, interrupt);
    if (!reader.Ok()) {
        return nullptr;
    }
    auto page = std::make_unique<DecodedPage>();
    page->kind = info.kind;
    page->width = info.width;
    page->height = info.height;
    page->stride = RowBytes(info.kind, info.width);
    page->ink = info.ink;
    page->paper = info.paper;
    try {
        page->data.resize(static_cast<std::size_t>(page->stride * info.height + 8));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int b = 0; b < reader.BandCount(); ++b) {
        reader.Decode(b, page->data.data() + static_cast<std::int64_t>(reader.BandStart(b)) * page->stride,
                      page->stride);
        if (reader.Interrupted()) {
            return nullptr;
        }
    }
    page->errors = reader.HadErrors();
    return page;
}

} // namespace imaging
