#include "imaging/DIB.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kInfoSize = 1064; // 40-byte header + 256 colour entries
constexpr int kFileHeaderSize = 14;
constexpr int kHeaderSize = 40;
constexpr std::uint32_t kPixelOffset = 1078; // 14 + 40 + 1024

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

BitmapInfoHeader ParseInfo(const std::uint8_t* p)
{
    BitmapInfoHeader h;
    h.size = Get32(p);
    h.width = static_cast<std::int32_t>(Get32(p + 4));
    h.height = static_cast<std::int32_t>(Get32(p + 8));
    h.planes = Get16(p + 12);
    h.bitCount = Get16(p + 14);
    h.compression = Get32(p + 16);
    h.sizeImage = Get32(p + 20);
    h.xPelsPerMeter = static_cast<std::int32_t>(Get32(p + 24));
    h.yPelsPerMeter = static_cast<std::int32_t>(Get32(p + 28));
    h.clrUsed = Get32(p + 32);
    h.clrImportant = Get32(p + 36);
    return h;
}

void WriteInfo(std::uint8_t* p, const BitmapInfoHeader& h)
{
    Put32(p, h.size);
    Put32(p + 4, static_cast<std::uint32_t>(h.width));
    Put32(p + 8, static_cast<std::uint32_t>(h.height));
    Put16(p + 12, h.planes);
    Put16(p + 14, h.bitCount);
    Put32(p + 16, h.compression);
    Put32(p + 20, h.sizeImage);
    Put32(p + 24, static_cast<std::uint32_t>(h.xPelsPerMeter));
    Put32(p + 28, static_cast<std::uint32_t>(h.yPelsPerMeter));
    Put32(p + 32, h.clrUsed);
    Put32(p + 36, h.clrImportant);
}

std::int64_t StorageWidth(std::int64_t bits, std::int64_t width)
{
    return ((bits * width + 31) >> 5) * 4;
}

bool ReadExactly(QIODevice& f, void* buf, qint64 n)
{
    return n == 0 || f.read(static_cast<char*>(buf), n) == n;
}

bool UsableDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

const QString CDIB::kFileFilter = QStringLiteral("Image files (*.DIB *.BMP *.dib *.bmp);;All files (*)");

CDIB::CDIB()
{
    Create(16, 16);
}

int CDIB::NumColorEntries(const BitmapInfoHeader& header)
{
    int max = 0;
    switch (header.bitCount) {
    case 1:
        max = 2;
        break;
    case 4:
        max = 16;
        break;
    case 8:
        max = 256;
        break;
    default:
        break;
    }
    std::int64_t n = max;
    if (header.size == 40 && header.clrUsed != 0) {
        n = header.clrUsed;
    }
    if (max != 0 && max < n) {
        n = max;
    }
    return static_cast<int>(std::min<std::int64_t>(n, INT32_MAX));
}

void CDIB::SetHeader(const BitmapInfoHeader& h)
{
    WriteInfo(m_info.data(), h);
}

BitmapInfoHeader CDIB::GetHeader() const
{
    return m_info.empty() ? BitmapInfoHeader{} : ParseInfo(m_info.data());
}

int CDIB::GetWidth() const
{
    return m_info.empty() ? 0 : static_cast<int>(Get32(m_info.data() + 4));
}
int CDIB::GetHeight() const
{
    return m_info.empty() ? 0 : static_cast<int>(Get32(m_info.data() + 8));
}
int CDIB::GetBitCount() const
{
    return m_info.empty() ? 0 : Get16(m_info.data() + 14);
}

int CDIB::GetStorageWidth() const
{
    return static_cast<int>(std::clamp<std::int64_t>(StorageWidth(GetBitCount(), GetWidth()), 0, INT32_MAX));
}

QRect CDIB::GetRect() const
{
    return QRect(0, 0, GetWidth(), GetHeight());
}

QList<QRgb> CDIB::GetColorTable() const
{
    QList<QRgb> table;
    if (m_info.empty()) {
        return table;
    }
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* q = m_info.data() + kHeaderSize + 4 * i;
        table << qRgb(q[2], q[1], q[0]);
    }
    return table;
}

bool CDIB::Create(int width, int height)
{
    return Create(width, height, static_cast<const QList<QRgb>*>(nullptr));
}

bool CDIB::Create(int width, int height, const QList<QRgb>& palette)
{
    return Create(width, height, &palette);
}

bool CDIB::Create(int width, int height, const QList<QRgb>* palette)
{
    m_info.clear();
    m_pixels.clear();
    const std::int64_t bytes = ((static_cast<std::int64_t>(width) + 3) & ~std::int64_t(3)) * height;
    if (width < 0 || height < 0 || bytes > kMaxPixelBytes ||
        (palette && (palette->isEmpty() || palette->size() > 256))) {
        return false;
    }
    try {
        m_info.assign(kInfoSize, 0);
        m_pixels.assign(static_cast<std::size_t>(bytes), 0);
    } catch (const std::bad_alloc&) {
        m_info.clear();
        m_pixels.clear();
        return false;
    }
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* q = m_info.data() + kHeaderSize + 4 * i;
        q[0] = q[1] = q[2] = static_cast<std::uint8_t>(i);
    }
    if (palette) {
        for (int i = 0; i < palette->size(); ++i) {
            std::uint8_t* q = m_info.data() + kHeaderSize + 4 * i;
            const QRgb c = palette->at(i);
            q[0] = static_cast<std::uint8_t>(qBlue(c));
            q[1] = static_cast<std::uint8_t>(qGreen(c));
            q[2] = static_cast<std::uint8_t>(qRed(c));
        }
        h.clrUsed = static_cast<std::uint32_t>(palette->size());
    }
    SetHeader(h);
    return true;
}

bool CDIB::Load(QIODevice& file)
{
    if (!file.isReadable() || file.isSequential()) {
        return false;
    }
    const qint64 p = file.pos();
    std::uint8_t fh[kFileHeaderSize];
    std::uint8_t ih[kHeaderSize];
    if (!ReadExactly(file, fh, kFileHeaderSize) || Get16(fh) != 0x4D42 ||
        !ReadExactly(file, ih, kHeaderSize)) {
        return false;
    }
    BitmapInfoHeader h = ParseInfo(ih);
    bool core = false;
    if (h.size == 12) {
        std::uint8_t ch[12];
        if (!file.seek(p + kFileHeaderSize) || !ReadExactly(file, ch, 12)) {
            return false;
        }
        h = BitmapInfoHeader{};
        h.size = 40;
        h.width = Get16(ch + 4);
        h.height = Get16(ch + 6);
        h.planes = Get16(ch + 8);
        h.bitCount = Get16(ch + 10);
        core = true;
    } else if (h.size != 40) {
        return false;
    }
    const int n = NumColorEntries(h);
    const std::uint32_t fileSize = Get32(fh + 2);
    const std::uint32_t offBits = Get32(fh + 10);
    // Only what this class can show without reading past its buffers: uncompressed, bottom-up, the usual
    // depths, a colour table that fits, and pixel data for every row.
    const std::int64_t needed = StorageWidth(h.bitCount, h.width) * std::max<std::int64_t>(h.height, 0);
    const std::int64_t pixelSize = static_cast<std::int64_t>(fileSize) - offBits;
    if (!UsableDepth(h.bitCount) || h.compression != 0 || h.width < 0 || h.height < 0 || n > 256 ||
        pixelSize < needed || pixelSize > kMaxPixelBytes || p + offBits + pixelSize > file.size()) {
        return false;
    }

    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> pixels;
    try {
        info.assign(kInfoSize, 0);
        pixels.resize(static_cast<std::size_t>(pixelSize));
    } catch (const std::bad_alloc&) {
        return false;
    }
    WriteInfo(info.data(), h);
    if (core) {
        std::vector<std::uint8_t> triples(static_cast<std::size_t>(n) * 3);
        if (!ReadExactly(file, triples.data(), static_cast<qint64>(triples.size()))) {
            return false;
        }
        for (int i = 0; i < n; ++i) {
            std::memcpy(info.data() + kHeaderSize + 4 * i, triples.data() + 3 * i, 3);
        }
    } else if (!ReadExactly(file, info.data() + kHeaderSize, static_cast<qint64>(n) * 4)) {
        return false;
    }
    if (!file.seek(p + offBits) || !ReadExactly(file, pixels.data(), pixelSize)) {
        return false;
    }
    m_info = std::move(info);
    m_pixels = std::move(pixels);
    return true;
}

bool CDIB::Load(const QString& fileName)
{
    QString name = fileName;
    if (name.isEmpty()) {
        name = m_prompts.openFileName ? m_prompts.openFileName(kFileFilter) : QString();
        if (name.isEmpty()) {
            return false;
        }
    }
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    return Load(f);
}

bool CDIB::Load(const DibResource& resource)
{
    QFile f(resource.path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = f.readAll();
    const auto* d = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    // The resource holds an 8-bit bitmap after its file header; anything else is refused (its pixels would
    // be read with the wrong row length), and every read is checked against the resource's length.
    if (bytes.size() < kFileHeaderSize + kHeaderSize) {
        return false;
    }
    const BitmapInfoHeader h = ParseInfo(d + kFileHeaderSize);
    const int n = NumColorEntries(h);
    const std::int64_t rowBytes = (static_cast<std::int64_t>(h.width) + 3) & ~std::int64_t(3);
    const std::int64_t pixelBytes = rowBytes * h.height;
    const std::uint32_t offBits = Get32(d + 10);
    if (h.bitCount != 8 || h.width < 0 || h.height < 0 || n > 256 ||
        kFileHeaderSize + kHeaderSize + std::int64_t(n) * 4 > bytes.size() || pixelBytes > kMaxPixelBytes ||
        offBits + pixelBytes > bytes.size()) {
        return false;
    }
    m_info.assign(kInfoSize, 0);
    std::memcpy(m_info.data(), d + kFileHeaderSize, kHeaderSize);
    std::memcpy(m_info.data() + kHeaderSize, d + kFileHeaderSize + kHeaderSize,
                static_cast<std::size_t>(n) * 4);
    try {
        m_pixels.assign(d + offBits, d + offBits + pixelBytes);
    } catch (const std::bad_alloc&) {
        m_info.clear();
        m_pixels.clear();
        return false;
    }
    return true;
}

bool CDIB::Save(QIODevice& file)
{
    if (m_info.empty() || !file.isWritable()) {
        return false;
    }
    const std::int64_t pixelBytes = static_cast<std::int64_t>(GetStorageWidth()) * std::max(GetHeight(), 0);
    if (pixelBytes > static_cast<std::int64_t>(m_pixels.size())) {
        return false;
    }
    std::uint8_t fh[kFileHeaderSize] = {};
    Put16(fh, 0x4D42);
    Put32(fh + 2, static_cast<std::uint32_t>(pixelBytes + kPixelOffset));
    Put32(fh + 10, kPixelOffset);
    // The whole block as held: header and all 256 colour entries, whatever the depth says.
    return file.write(reinterpret_cast<const char*>(fh), kFileHeaderSize) == kFileHeaderSize &&
           file.write(reinterpret_cast<const char*>(m_info.data()), kInfoSize) == kInfoSize &&
           file.write(reinterpret_cast<const char*>(m_pixels.data()), pixelBytes) == pixelBytes;
}

bool CDIB::Save(const QString& fileName)
{
    QString name = fileName;
    if (name.isEmpty()) {
        name = m_prompts.saveFileName ? m_prompts.saveFileName(kFileFilter) : QString();
        if (name.isEmpty()) {
            return false;
        }
    }
    QFile f(name);
    if (!f.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        if (m_prompts.message) {
            m_prompts.message(QStringLiteral("Failed to open file"));
        }
        return false;
    }
    bool ok = Save(f);
    ok = f.flush() && ok;
    f.close();
    ok = ok && f.error() == QFileDevice::NoError;
    if (!ok && m_prompts.message) {
        m_prompts.message(QStringLiteral("Failed to save file"));
    }
    return ok;
}

std::uint8_t* CDIB::Row(int yFromTop)
{
    return m_pixels.data() + static_cast<std::int64_t>(GetHeight() - yFromTop - 1) * GetStorageWidth();
}

const std::uint8_t* CDIB::Row(int yFromTop) const
{
    return m_pixels.data() + static_cast<std::int64_t>(GetHeight() - yFromTop - 1) * GetStorageWidth();
}

const std::uint8_t* CDIB::GetPixelAddress(int x, int y) const
{
    if (m_info.empty() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) {
        return nullptr;
    }
    std::int64_t offset = 0;
    switch (GetBitCount()) {
    case 1:
        offset = x / 8;
        break;
    case 4:
        offset = x / 2;
        break;
    case 8:
        offset = x;
        break;
    case 16:
        offset = 2 * static_cast<std::int64_t>(x);
        break;
    case 24:
        offset = 3 * static_cast<std::int64_t>(x);
        break;
    default:
        return nullptr;
    }
    return Row(y) + offset;
}

std::uint8_t* CDIB::GetPixelAddress(int x, int y)
{
    return const_cast<std::uint8_t*>(static_cast<const CDIB*>(this)->GetPixelAddress(x, y));
}

const std::uint8_t* CDIB::Pixel8(int x, int y) const
{
    return GetBitCount() == 8 ? GetPixelAddress(x, y) : nullptr;
}
std::uint8_t* CDIB::Pixel8(int x, int y)
{
    return GetBitCount() == 8 ? GetPixelAddress(x, y) : nullptr;
}

QImage CDIB::ToImage() const
{
    if (m_info.empty() || GetWidth() <= 0 || GetHeight() <= 0) {
        return QImage();
    }
    const int w = GetWidth();
    const int h = GetHeight();
    const int bits = GetBitCount();
    QImage::Format format = QImage::Format_Indexed8;
    switch (bits) {
    case 1:
        format = QImage::Format_Mono;
        break;
    case 16:
        format = QImage::Format_RGB555;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32;
        break;
    default:
        break;
    }
    QImage img(w, h, format);
    if (img.isNull()) {
        return img;
    }
    if (bits <= 8) {
        QList<QRgb> table = GetColorTable();
        table.resize(1 << bits);
        img.setColorTable(table);
    }
    const std::int64_t copy = std::min<std::int64_t>(img.bytesPerLine(), StorageWidth(bits, w));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = Row(y);
        uchar* dst = img.scanLine(y);
        if (bits == 4) {
            for (int x = 0; x < w; ++x) {
                dst[x] = static_cast<uchar>((x & 1) ? src[x / 2] & 0x0F : src[x / 2] >> 4);
            }
        } else {
            std::memcpy(dst, src, static_cast<std::size_t>(copy));
        }
    }
    return img;
}

int CDIB::Draw(QPainter* painter, int x, int y, int width, int height)
{
    if (!painter || !painter->isActive()) {
        return 0;
    }
    const QImage img = ToImage();
    if (img.isNull()) {
        return 0;
    }
    painter->drawImage(QRect(x, y, width, height), img);
    return img.height();
}

void CDIB::CopyBits(CDIB& dest, int xd, int yd, int w, int h, int xs, int ys, std::uint32_t transparent) const
{
    if (w <= 0 || h <= 0) {
        return;
    }
    const bool opaque = transparent == 0xFFFFFFFFu;
    const auto key = static_cast<std::uint8_t>(transparent & 0xFF);
    // Bottom row of the block first, one row up per step.
    for (int r = h - 1; r >= 0; --r) {
        for (int c = 0; c < w; ++c) {
            const std::uint8_t* s = Pixel8(xs + c, ys + r);
            std::uint8_t* d = dest.Pixel8(xd + c, yd + r);
            if (s && d && (opaque || *s != key)) {
                *d = *s;
            }
        }
    }
}

void CDIB::DoubleBits(CDIB& dest, int xd, int yd, int xs, int ys, int w, int h,
                      std::uint32_t transparent) const
{
    if (w <= 0 || h <= 0) {
        return;
    }
    const bool opaque = transparent == 0xFFFFFFFFu;
    const auto key = static_cast<std::uint8_t>(transparent & 0xFF);
    for (int r = h - 1; r >= 0; --r) {
        for (int c = 0; c < w; ++c) {
            const std::uint8_t* s = Pixel8(xs + c, ys + r);
            if (!s || (!opaque && *s == key)) {
                continue;
            }
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    if (std::uint8_t* d = dest.Pixel8(xd + 2 * c + dx, yd + 2 * r + dy)) {
                        *d = *s;
                    }
                }
            }
        }
    }
}

void CDIB::StretchBits(CDIB& dest, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs,
                       std::uint32_t transparent) const
{
    if (wd <= 0 || hd <= 0 || ws <= 0 || hs <= 0) {
        return;
    }
    if (static_cast<std::int64_t>(wd) == 2 * static_cast<std::int64_t>(ws) &&
        static_cast<std::int64_t>(hd) == 2 * static_cast<std::int64_t>(hs)) {
        DoubleBits(dest, xd, yd, xs, ys, ws, hs, transparent);
        return;
    }
    const bool opaque = transparent == 0xFFFFFFFFu;
    const auto key = static_cast<std::uint8_t>(transparent & 0xFF);
    // Nearest neighbour, destination rows from the bottom of the block up.
    for (std::int64_t i = static_cast<std::int64_t>(yd) + hd - 1; i >= yd; --i) {
        const std::int64_t sy = ys + (i - yd) * hs / hd;
        for (std::int64_t j = 0; j < wd; ++j) {
            const std::int64_t sx = xs + static_cast<std::int64_t>(ws) * j / wd;
            if (sx > INT32_MAX || sy > INT32_MAX || xd + j > INT32_MAX || i > INT32_MAX) {
                continue;
            }
            const std::uint8_t* s = Pixel8(static_cast<int>(sx), static_cast<int>(sy));
            std::uint8_t* d = dest.Pixel8(static_cast<int>(xd + j), static_cast<int>(i));
            if (s && d && (opaque || *s != key)) {
                *d = *s;
            }
        }
    }
}

int CDIB::NearestPaletteIndex(const QList<QRgb>& palette, QRgb colour)
{
    int best = -1;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

bool CDIB::MapColorsToPalette(const QList<QRgb>* palette)
{
    return palette && MapColorsToPalette(*palette);
}

bool CDIB::MapColorsToPalette(const QList<QRgb>& palette)
{
    if (m_info.empty() || palette.isEmpty() || palette.size() > 256) {
        return false;
    }
    const int bits = GetBitCount();
    if (bits != 4 && bits != 8 && bits != 24) {
        return false;
    }
    // A 4-bit pixel can only name the first 16 entries.
    const QList<QRgb> usable = bits == 4 ? palette.mid(0, 16) : palette;
    const QList<QRgb> table = GetColorTable();
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i) {
        map[i] = static_cast<std::uint8_t>(NearestPaletteIndex(usable, table[i]));
    }
    const int w = GetWidth();
    for (int y = 0; y < GetHeight(); ++y) {
        std::uint8_t* row = Row(y);
        if (bits == 4) {
            for (int i = 0; i < (w + 1) / 2; ++i) {
                row[i] = static_cast<std::uint8_t>(map[row[i] >> 4] << 4 | map[row[i] & 0x0F]);
            }
        } else if (bits == 8) {
            for (int x = 0; x < w; ++x) {
                row[x] = map[row[x]];
            }
        } else {
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = row + 3 * x;
                const QRgb c = palette[NearestPaletteIndex(palette, qRgb(p[2], p[1], p[0]))];
                p[0] = static_cast<std::uint8_t>(qBlue(c));
                p[1] = static_cast<std::uint8_t>(qGreen(c));
                p[2] = static_cast<std::uint8_t>(qRed(c));
            }
        }
    }
    std::fill(m_info.begin() + kHeaderSize, m_info.end(), 0);
    for (int i = 0; i < palette.size(); ++i) {
        std::uint8_t* q = m_info.data() + kHeaderSize + 4 * i;
        q[0] = static_cast<std::uint8_t>(qBlue(palette[i]));
        q[1] = static_cast<std::uint8_t>(qGreen(palette[i]));
        q[2] = static_cast<std::uint8_t>(qRed(palette[i]));
    }
    BitmapInfoHeader h = GetHeader();
    h.clrUsed = static_cast<std::uint32_t>(palette.size());
    SetHeader(h);
    return true;
}
