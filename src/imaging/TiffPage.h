#pragma once
// One page directory of an open TIFF file: what it holds, what reading it costs in memory, and its rows in
// one of three forms. Bilevel pages stay 1 bit per pixel and greyscale pages 8 bits; 8-bit RGB(A) strips
// are read directly, and everything else through libtiff's RGBA interface, into premultiplied 32-bit
// pixels.

#include <QImage>

#include <algorithm>
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
    bool decodable = false; // can be read band by band within the memory budget
    bool tooLarge = false;  // decodable in principle, but over the budget even band by band (MemoryBudget)
    int width = 0;          // stored size
    int height = 0;
    float xDpi = 0; // stored axes, dots per inch; 0 when unknown
    float yDpi = 0;
    int orientation = 1;
    PixelKind kind = PixelKind::Grey8;
    bool viaRgba = false; // rows come from libtiff's RGBA interface
    bool tiled = false;
    int bandHeight = 1; // rows per strip, or tile height
    int tileWidth = 0;
    std::uint8_t ink = 0;           // Mono: grey value of a set bit (the darker)
    std::uint8_t paper = 255;       // Mono: grey value of a clear bit
    bool invertBits = false;        // Mono: the file's set bits are the lighter value
    bool invertGrey = false;        // Grey8 direct: min-is-white
    int samples = 1;                // Argb32 direct: 3 (RGB) or 4 (RGB and alpha) per pixel in the file
    bool unassociatedAlpha = false; // Argb32 direct: the file's colours are not multiplied by alpha
    std::int64_t fileRowBytes = 0;  // one row as libtiff delivers it on the direct path
    int rowsPerRead = 0;            // > 0: strips too tall to hold are read this many rows at a time
    std::int64_t pageBytes = 0;     // the whole page decoded
    std::int64_t streamBytes = 0;   // held at once while the page is read band by band
    bool fitsWhole = false;         // the page may be decoded and kept whole within the budget
    std::uint16_t photometric = 0;
    std::uint16_t compression = 0;
};

// What a page's buffers may take together: the whole page when it is kept decoded, or the band being
// read, and the target being rendered, and the band of a format conversion, and libtiff's own strip.
// Pages whose whole form would take more than half of it are kept at reduced resolution instead.
struct MemoryBudget
{
    // The whole page, plus what reading it takes besides, fits this share.
    static std::int64_t WholeShare(std::int64_t budget) { return budget / 2; }
    // The reduced form of a page over the whole share.
    static std::int64_t ReducedShare(std::int64_t budget) { return budget / 8; }
    // Strips larger than this when decoded are read a few rows at a time, about this many bytes of rows.
    static std::int64_t TallStrip(std::int64_t budget)
    {
        return std::min<std::int64_t>(std::int64_t(8) << 20, budget / 16);
    }
    static std::int64_t RowsRead(std::int64_t budget)
    {
        return std::min<std::int64_t>(std::int64_t(1) << 20, budget / 32);
    }
    // Every thumbnail of a page reads all of it: a page larger than this when decoded would take too long
    // each time, and reads as too large.
    static std::int64_t LargestPage(std::int64_t budget) { return budget * 4; }
};

// Reads the current directory of `tif` into a PageInfo. `budget` is the memory budget of the page (see
// MemoryBudget). `forceRgba` sends every page through the RGBA interface (tests compare both paths).
PageInfo ReadPageInfo(TIFF* tif, std::int64_t budget, bool forceRgba = false);

// Bytes per row of a page in memory (without the slack at the end of a buffer).
std::int64_t RowBytes(PixelKind kind, int width);

// Reads the rows of the current page band by band (a band is a strip, or a row of tiles, or some rows of a
// strip too tall to hold, which libtiff then decodes row by row). Rows that fail to decode read as paper.
// Once `*interrupt` is true no more bands are decoded: they read as paper and Interrupted() says so, and
// whoever reads the rows throws the result away.
class BandReader
{
public:
    BandReader(TIFF* tif, const PageInfo& info, const std::atomic<bool>* interrupt = nullptr);
    ~BandReader();
    BandReader(const BandReader&) = delete;
    BandReader& operator=(const BandReader&) = delete;

    bool Ok() const { return m_ok; }
    int BandCount() const;
    int BandStart(int band) const { return band * m_rowsPerBand; }
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
    bool DecodeRows(int band, std::uint8_t* dst, std::int64_t stride);
    void FixUp(std::uint8_t* dst, std::int64_t stride, int rows) const;
    bool DecodeRgba(int band, std::uint8_t* dst, std::int64_t stride);
    void FillPaper(std::uint8_t* dst, std::int64_t stride, int rows) const;

    TIFF* m_tif;
    PageInfo m_info;
    std::int64_t m_rowBytes = 0;
    int m_rowsPerBand = 1;
    bool m_ok = true;
    bool m_errors = false;
    const std::atomic<bool>* m_interrupt = nullptr;
    bool m_interrupted = false;
    std::vector<std::uint8_t> m_band; // one band of rows for Row()
    int m_bandInBuffer = -1;
    int m_failedStrip = -1;              // row by row: the strip whose decoding failed
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
