#pragma once
// One page directory of an open TIFF file: what it holds, and its rows in one of three forms kept in
// memory. Bilevel pages stay 1 bit per pixel and greyscale pages 8 bits; everything else is read through
// libtiff's RGBA interface into premultiplied 32-bit pixels.

#include <QImage>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

typedef struct tiff TIFF;

namespace imaging {

enum class PixelKind
{
    Mono,  // 1 bit per pixel, most significant bit first; a set bit is the darker of two grey values
    Grey8, // 8 bits, 0 black
    Argb32 // premultiplied 0xAARRGGBB
};

// No document page is a million pixels long (that is over four metres at 600 dpi); longer sides are
// treated as too large, which also bounds the scaler's tables.
constexpr int kMaxPageSide = 1 << 20;

struct PageInfo
{
    bool decodable = false;
    bool tooLarge = false; // decodable in principle, but larger than the decoding cap
    int width = 0;         // stored size
    int height = 0;
    float xDpi = 0; // stored axes, dots per inch; 0 when unknown
    float yDpi = 0;
    int orientation = 1;
    PixelKind kind = PixelKind::Grey8;
    bool viaRgba = false; // rows come from libtiff's RGBA interface
    bool tiled = false;
    int bandHeight = 1; // rows per strip, or tile height
    int tileWidth = 0;
    std::uint8_t ink = 0;     // Mono: grey value of a set bit (the darker)
    std::uint8_t paper = 255; // Mono: grey value of a clear bit
    bool invertBits = false;  // Mono: the file's set bits are the lighter value
    bool invertGrey = false;  // Grey8 direct: min-is-white
    std::uint16_t photometric = 0;
    std::uint16_t compression = 0;
};

// Reads the current directory of `tif` into a PageInfo. `maxBytes` caps the decoded page size.
// `forceRgba` sends every page through the RGBA interface (tests compare both paths).
PageInfo ReadPageInfo(TIFF* tif, std::int64_t maxBytes, bool forceRgba = false);

// Bytes per row of a page in memory (without the slack at the end of a buffer).
std::int64_t RowBytes(PixelKind kind, int width);

// Reads the rows of the current page band by band (a band is a strip, or a row of tiles). Rows that fail
// to decode read as paper. Once `*interrupt` is true no more bands are decoded: they read as paper and
// Interrupted() says so, and whoever reads the rows throws the result away.
class BandReader
{
public:
    BandReader(TIFF* tif, const PageInfo& info, const std::atomic<bool>* interrupt = nullptr);
    ~BandReader();
    BandReader(const BandReader&) = delete;
    BandReader& operator=(const BandReader&) = delete;

    bool Ok() const { return m_ok; }
    int BandCount() const;
    int BandStart(int band) const { return band * m_info.bandHeight; }
    int BandRows(int band) const;
    // Decodes band `band` into `dst` (rows of `stride` bytes, RowBytes() used). False when any part of the
    // band failed (those rows read as paper).
    bool Decode(int band, std::uint8_t* dst, std::int64_t stride);
    // Row `y` of the page, decoding its band when needed; rows are meant to be asked for in order.
    const std::uint8_t* Row(int y);
    bool HadErrors() const { return m_errors; }
    bool Interrupted() const { return m_interrupted; }

private:
    bool DecodeDirect(int band, std::uint8_t* dst, std::int64_t stride);
    bool DecodeRgba(int band, std::uint8_t* dst, std::int64_t stride);
    void FillPaper(std::uint8_t* dst, std::int64_t stride, int rows) const;

    TIFF* m_tif;
    PageInfo m_info;
    std::int64_t m_rowBytes = 0;
    bool m_ok = true;
    bool m_errors = false;
    const std::atomic<bool>* m_interrupt = nullptr;
    bool m_interrupted = false;
    std::vector<std::uint8_t> m_band; // one band of rows for Row()
    int m_bandInBuffer = -1;
    std::vector<std::uint8_t> m_tile;    // direct tiles
    std::vector<std::uint32_t> m_raster; // RGBA band
    struct RgbaState;
    std::unique_ptr<RgbaState> m_rgba;
};

// A whole page in memory, as stored (not yet turned).
struct DecodedPage
{
    PixelKind kind = PixelKind::Grey8;
    int width = 0;
    int height = 0;
    std::int64_t stride = 0;
    std::uint8_t ink = 0;
    std::uint8_t paper = 255;
    std::vector<std::uint8_t> data; // height * stride + 8 bytes of slack for word reads
    bool errors = false;

    const std::uint8_t* Row(int y) const { return data.data() + static_cast<std::int64_t>(y) * stride; }
};

// Decodes the current page of `tif`; null when it cannot be decoded at all, memory is short, or
// `*interrupt` became true before the last band was read.
std::unique_ptr<DecodedPage> DecodePage(TIFF* tif, const PageInfo& info,
                                        const std::atomic<bool>* interrupt = nullptr);

// True when `flag` is set and true (a null flag never interrupts).
inline bool IsSet(const std::atomic<bool>* flag)
{
    return flag != nullptr && flag->load(std::memory_order_relaxed);
}

} // namespace imaging
