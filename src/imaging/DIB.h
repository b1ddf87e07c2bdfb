#pragma once
// CDIB: one uncompressed device-independent bitmap (the Windows BMP layout) in memory. It reads and writes
// BMP files, draws itself stretched onto a QPainter, copies 8-bit blocks with a transparent colour index
// and maps its colours onto a palette. The program uses it for the logo of the About dialog.
//
// In memory: an information block of 1064 bytes (a 40-byte BITMAPINFOHEADER and 256 RGBQUAD entries
// blue, green, red, 0) and the pixel rows, bottom row first, each padded to a multiple of 4 bytes. Rows
// are addressed top-down (row 0 is the top row, stored last). All file data is little-endian.
//
// Unlike the bitmap class this follows, files are checked before anything is read into memory: pixel data
// shorter than the rows need, more than 256 colours, compressed or top-down bitmaps and unusual depths
// are refused, and the block operations never touch memory outside either bitmap.

#include <QList>
#include <QRect>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;
class QImage;
class QPainter;

// BITMAPINFOHEADER; a 12-byte BITMAPCOREHEADER is held converted, with size 12.
struct BitmapInfoHeader
{
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// What Load and Save may ask or tell the user. Unset members mean "cancelled" and "say nothing", so no
// box can ever block (tests pass recording fakes; the About dialog passes real dialogs).
struct DibPrompts
{
    std::function<QString(const QString& filter)> openFileName; // empty result: cancelled
    std::function<QString(const QString& filter)> saveFileName; // asks before overwriting
    std::function<void(const QString& text)> message;
};

// A bitmap inside the application's resources (a Qt resource path such as ":/logo.bmp").
struct DibResource
{
    QString path;
};

class CDIB
{
public:
    // "Image files (*.DIB, *.BMP)|*.DIB;*.BMP|All files (*.*)|*.*||" in Qt's filter notation.
    static const QString kFileFilter;
    // Larger bitmaps are refused by Create and Load.
    static constexpr std::int64_t kMaxPixelBytes = std::int64_t(1) << 28;

    // A 16 x 16 bitmap of 8 bits per pixel with a grey colour table, all pixels 0.
    CDIB();

    void SetPrompts(DibPrompts prompts) { m_prompts = std::move(prompts); }

    bool Create(int width, int height);
    bool Create(int width, int height, const QList<QRgb>& palette);
    bool Create(int width, int height, const QList<QRgb>* palette); // null: no palette

    bool Load(QIODevice& file);             // from the file's current position
    bool Load(const QString& fileName);     // empty name: asks for one
    bool Load(const DibResource& resource); // a complete BMP file image among the resources
    bool Save(QIODevice& file);             // at the file's current position
    bool Save(const QString& fileName);     // empty name: asks for one
    // Load when `loading`, else Save.
    bool Serialize(QIODevice& file, bool loading) { return loading ? Load(file) : Save(file); }

    // The whole bitmap stretched into (x, y, width, height); the number of rows drawn, 0 on failure.
    int Draw(QPainter* painter, int x, int y, int width, int height);
    int Draw(QPainter& painter, int x, int y, int width, int height)
    {
        return Draw(&painter, x, y, width, height);
    }

    bool HasBitmap() const { return !m_info.empty(); }
    int GetWidth() const;
    int GetHeight() const;
    int GetBitCount() const;
    int GetStorageWidth() const; // bytes per row
    QRect GetRect() const;       // (0, 0, width, height)
    BitmapInfoHeader GetHeader() const;
    QList<QRgb> GetColorTable() const; // all 256 entries
    // Address of pixel (x, y), y from the top; null outside the bitmap or for depths other than 1, 4, 8,
    // 16 and 24 (for 1 and 4 bits: the byte that holds the pixel).
    std::uint8_t* GetPixelAddress(int x, int y);
    const std::uint8_t* GetPixelAddress(int x, int y) const;
    // The bitmap as a QImage (top row first); null without a bitmap.
    QImage ToImage() const;

    // 8-bit block copies into `dest` (which may be this bitmap). `transparent` = 0xFFFFFFFF copies every
    // pixel; otherwise source pixels equal to its low byte leave the destination unchanged. Pixels outside
    // either bitmap are skipped; nothing happens unless both bitmaps have 8 bits per pixel.
    void CopyBits(CDIB& dest, int xd, int yd, int w, int h, int xs, int ys, std::uint32_t transparent) const;
    void StretchBits(CDIB& dest, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs,
                     std::uint32_t transparent) const;
    void DoubleBits(CDIB& dest, int xd, int yd, int xs, int ys, int w, int h,
                    std::uint32_t transparent) const;

    // Remaps the pixels onto `palette` (1-256 colours) and makes it the colour table. 4, 8 and 24 bits per
    // pixel; false for other depths or an unusable palette.
    bool MapColorsToPalette(const QList<QRgb>& palette);
    bool MapColorsToPalette(const QList<QRgb>* palette);

    static bool IsWinDIB(const BitmapInfoHeader& header) { return header.size != 12; }
    static int NumColorEntries(const BitmapInfoHeader& header);
    // Index of the palette entry nearest to `colour` (squared distance in RGB; the first on ties).
    static int NearestPaletteIndex(const QList<QRgb>& palette, QRgb colour);

private:
    void SetHeader(const BitmapInfoHeader& h);
    std::uint8_t* Row(int yFromTop);
    const std::uint8_t* Row(int yFromTop) const;
    std::uint8_t* Pixel8(int x, int y);
    const std::uint8_t* Pixel8(int x, int y) const;

    std::vector<std::uint8_t> m_info; // 1064 bytes, or empty when there is no bitmap
    std::vector<std::uint8_t> m_pixels;
    DibPrompts m_prompts;
};
