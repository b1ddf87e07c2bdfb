// CDIB: the BMP bitmap class of the About dialog's logo.

#include "imaging/DIB.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

void Add16(QByteArray& b, int v)
{
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>((v >> 8) & 0xFF));
}

void Add32(QByteArray& b, qint64 v)
{
    for (int i = 0; i < 4; ++i) {
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

struct Bmp
{
    int headerSize = 40;
    int width = 4;
    int height = 3;
    int bits = 8;
    int clrUsed = 0;
    int compression = 0;
    QList<QRgb> colours;      // written as the colour table (3 or 4 bytes each)
    QByteArray pixels;        // bottom row first; generated when empty
    qint64 fileSizeDelta = 0; // added to the declared file size
    QByteArray type = "BM";

    int Stride() const { return ((bits * width + 31) >> 5) * 4; }

    QByteArray Bytes() const
    {
        QByteArray pix = pixels;
        if (pix.isEmpty()) {
            for (int i = 0; i < Stride() * height; ++i) {
                pix.append(static_cast<char>(i * 7 + 3));
            }
        }
        QByteArray table;
        for (QRgb c : colours) {
            table.append(static_cast<char>(qBlue(c)));
            table.append(static_cast<char>(qGreen(c)));
            table.append(static_cast<char>(qRed(c)));
            if (headerSize == 40) {
                table.append('\0');
            }
        }
        QByteArray info;
        Add32(info, headerSize);
        if (headerSize == 12) {
            Add16(info, width);
            Add16(info, height);
            Add16(info, 1);
            Add16(info, bits);
        } else {
            Add32(info, width);
            Add32(info, height);
            Add16(info, 1);
            Add16(info, bits);
            Add32(info, compression);
            Add32(info, 0);
            Add32(info, 0);
            Add32(info, 0);
            Add32(info, clrUsed);
            Add32(info, 0);
        }
        const qint64 offset = 14 + info.size() + table.size();
        QByteArray out = type;
        Add32(out, offset + pix.size() + fileSizeDelta);
        Add32(out, 0);
        Add32(out, offset);
        return out + info + table + pix;
    }
};

bool LoadBytes(CDIB& dib, const QByteArray& bytes)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    return dib.Load(buf);
}

QList<QRgb> Colours(int n)
{
    QList<QRgb> c;
    for (int i = 0; i < n; ++i) {
        c << qRgb(i * 3 % 256, 255 - i % 256, (i * 11) % 256);
    }
    return c;
}

TEST(DIB, ANewObjectIsSixteenBySixteenEightBitGrey)
{
    CDIB dib;
    EXPECT_EQ(dib.GetWidth(), 16);
    EXPECT_EQ(dib.GetHeight(), 16);
    EXPECT_EQ(dib.GetStorageWidth(), 16);
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(dib.GetRect(), QRect(0, 0, 16, 16));
    EXPECT_EQ(dib.GetColorTable().at(200), qRgb(200, 200, 200));
    EXPECT_EQ(*dib.GetPixelAddress(15, 15), 0);
    EXPECT_EQ(dib.GetPixelAddress(16, 0), nullptr);
    EXPECT_EQ(dib.GetPixelAddress(0, -1), nullptr);
}

TEST(DIB, ColourEntriesFollowDepthAndColoursUsed)
{
    BitmapInfoHeader h;
    for (auto [bits, n] : {std::pair{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}}) {
        h.bitCount = static_cast<std::uint16_t>(bits);
        h.clrUsed = 0;
        EXPECT_EQ(CDIB::NumColorEntries(h), n) << bits;
    }
    h.bitCount = 8;
    h.clrUsed = 20;
    EXPECT_EQ(CDIB::NumColorEntries(h), 20);
    h.bitCount = 1;
    h.clrUsed = 5;
    EXPECT_EQ(CDIB::NumColorEntries(h), 2);
    h.bitCount = 24;
    h.clrUsed = 300;
    EXPECT_EQ(CDIB::NumColorEntries(h), 300);
    h.size = 12; // a core header has no colours-used field
    h.bitCount = 4;
    h.clrUsed = 3;
    EXPECT_EQ(CDIB::NumColorEntries(h), 16);
    EXPECT_FALSE(CDIB::IsWinDIB(h));
    h.size = 40;
    EXPECT_TRUE(CDIB::IsWinDIB(h));
}

TEST(DIB, LoadsCoreAndWindowsHeadersWithTheirColourTables)
{
    Bmp core;
    core.headerSize = 12;
    core.colours = Colours(256);
    CDIB a;
    ASSERT_TRUE(LoadBytes(a, core.Bytes()));
    EXPECT_EQ(a.GetWidth(), 4);
    EXPECT_EQ(a.GetHeight(), 3);
    EXPECT_EQ(a.GetHeader().size, 40u); // held converted
    EXPECT_EQ(a.GetColorTable(), Colours(256));
    EXPECT_EQ(*a.GetPixelAddress(0, 2), 3); // bottom row stored first
    EXPECT_EQ(*a.GetPixelAddress(1, 1), static_cast<std::uint8_t>(5 * 7 + 3));

    Bmp twenty;
    twenty.clrUsed = 20;
    twenty.colours = Colours(20);
    CDIB b;
    ASSERT_TRUE(LoadBytes(b, twenty.Bytes()));
    EXPECT_EQ(b.GetColorTable().mid(0, 20), Colours(20));
    EXPECT_EQ(b.GetColorTable().at(20), qRgb(0, 0, 0));

    Bmp mono;
    mono.bits = 1;
    mono.width = 9;
    mono.clrUsed = 5;
    mono.colours = Colours(5); // the file carries five entries; a 1-bit bitmap uses two
    CDIB c;
    ASSERT_TRUE(LoadBytes(c, mono.Bytes()));
    EXPECT_EQ(c.GetColorTable().mid(0, 2), Colours(2));
    EXPECT_EQ(c.GetColorTable().at(2), qRgb(0, 0, 0));
    EXPECT_EQ(c.ToImage().format(), QImage::Format_Mono);
}

TEST(DIB, RejectedFilesKeepThePreviousBitmap)
{
    Bmp good;
    good.width = 10;
    good.height = 10;
    good.colours = Colours(256);
    CDIB dib;
    ASSERT_TRUE(LoadBytes(dib, good.Bytes()));
    const std::uint8_t before = *dib.GetPixelAddress(3, 4);

    std::vector<std::pair<const char*, QByteArray>> bad;
    Bmp b = good;
    b.type = "XX";
    bad.emplace_back("type not BM", b.Bytes());
    b = good;
    b.headerSize = 64;
    bad.emplace_back("header size 64", b.Bytes());
    b = good;
    b.pixels = QByteArray(good.Stride() * 10 - 1, 'x');
    bad.emplace_back("pixel data one byte short", b.Bytes());
    b = good;
    b.fileSizeDelta = -50;
    bad.emplace_back("declared size shorter than the rows", b.Bytes());
    b = good;
    b.fileSizeDelta = 0x7FFF0000;
    bad.emplace_back("declared size far beyond the file", b.Bytes());
    b = good;
    b.bits = 24;
    b.clrUsed = 300;
    bad.emplace_back("300 colours", b.Bytes());
    b = good;
    b.compression = 1;
    bad.emplace_back("RLE compressed", b.Bytes());
    b = good;
    b.height = -10;
    bad.emplace_back("top-down", b.Bytes());
    b = good;
    b.bits = 7;
    bad.emplace_back("7 bits per pixel", b.Bytes());
    bad.emplace_back("cut in the header", good.Bytes().left(30));
    bad.emplace_back("cut in the colour table", good.Bytes().left(300));
    bad.emplace_back("empty", QByteArray());

    for (const auto& [what, bytes] : bad) {
        EXPECT_FALSE(LoadBytes(dib, bytes)) << what;
        EXPECT_EQ(dib.GetWidth(), 10) << what;
        EXPECT_EQ(*dib.GetPixelAddress(3, 4), before) << what;
    }
}

TEST(DIB, SavesTheWholeColourTableAndRoundTrips)
{
    Bmp rgb;
    rgb.bits = 24;
    rgb.width = 5;
    rgb.height = 2;
    CDIB dib;
    ASSERT_TRUE(LoadBytes(dib, rgb.Bytes()));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(dib.Save(out));
    const QByteArray bytes = out.data();
    const int stride = 16; // 5 pixels of 3 bytes, padded
    ASSERT_EQ(bytes.size(), 1078 + stride * 2);
    auto u32 = [&bytes](int at) {
        return static_cast<quint32>(static_cast<uchar>(bytes[at]) | static_cast<uchar>(bytes[at + 1]) << 8 |
                                    static_cast<uchar>(bytes[at + 2]) << 16 |
                                    static_cast<uchar>(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(u32(2), 1078u + stride * 2);
    EXPECT_EQ(u32(6), 0u);
    EXPECT_EQ(u32(10), 1078u);
    EXPECT_EQ(u32(14), 40u);

    CDIB again;
    ASSERT_TRUE(LoadBytes(again, bytes));
    EXPECT_EQ(again.GetBitCount(), 24);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(0, std::memcmp(again.GetPixelAddress(x, y), dib.GetPixelAddress(x, y), 3))
                << x << "," << y;
        }
    }
    EXPECT_EQ(again.GetPixelAddress(1, 0) - again.GetPixelAddress(0, 0), 3);
}

// Pixels of an 8-bit bitmap as rows top-down.
std::vector<std::vector<int>> Pixels(const CDIB& d)
{
    std::vector<std::vector<int>> out(static_cast<std::size_t>(d.GetHeight()));
    for (int y = 0; y < d.GetHeight(); ++y) {
        for (int x = 0; x < d.GetWidth(); ++x) {
            out[static_cast<std::size_t>(y)].push_back(*d.GetPixelAddress(x, y));
        }
    }
    return out;
}

CDIB Pattern(int w, int h)
{
    CDIB d;
    d.Create(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            *d.GetPixelAddress(x, y) = static_cast<std::uint8_t>(10 * y + x);
        }
    }
    return d;
}

TEST(DIB, StretchingTwiceTheSizeIsDoubling)
{
    const CDIB src = Pattern(10, 10);
    for (std::uint32_t transparent : {0xFFFFFFFFu, 5u}) {
        CDIB a;
        CDIB b;
        a.Create(24, 24);
        b.Create(24, 24);
        for (CDIB* d : {&a, &b}) {
            for (int y = 0; y < 24; ++y) {
                std::memset(d->GetPixelAddress(0, y), 200, 24);
            }
        }
        src.StretchBits(a, 2, 1, 20, 20, 0, 0, 10, 10, transparent);
        src.DoubleBits(b, 2, 1, 0, 0, 10, 10, transparent);
        EXPECT_EQ(Pixels(a), Pixels(b));
        EXPECT_EQ(*a.GetPixelAddress(2 + 2 * 3, 1 + 2 * 4 + 1), 43);
        EXPECT_EQ(*a.GetPixelAddress(2 + 2 * 5, 1), transparent == 5 ? 200 : 5);
    }
}

TEST(DIB, StretchCopyAndTransparency)
{
    const CDIB src = Pattern(6, 4);
    CDIB dest;
    dest.Create(9, 4);
    src.StretchBits(dest, 0, 0, 9, 4, 0, 0, 6, 4, 0xFFFFFFFF);
    for (int y = 0; y < 4; ++y) {
        for (int j = 0; j < 9; ++j) {
            ASSERT_EQ(*dest.GetPixelAddress(j, y), 10 * (y * 4 / 4) + 6 * j / 9);
        }
    }
    CDIB copy;
    copy.Create(5, 5);
    src.CopyBits(copy, 1, 1, 3, 2, 2, 1, 13);
    EXPECT_EQ(*copy.GetPixelAddress(1, 1), 12);
    EXPECT_EQ(*copy.GetPixelAddress(2, 1), 0); // source 13 is the transparent index
    EXPECT_EQ(*copy.GetPixelAddress(3, 2), 24);
    // Blocks reaching outside either bitmap copy only what lies inside both.
    src.CopyBits(copy, 3, 3, 50, 50, -4, -4, 0xFFFFFFFF);
    src.DoubleBits(copy, -3, -3, 4, 2, 30, 30, 0xFFFFFFFF);
    src.StretchBits(copy, 2, 2, 1000, 1000, 5, 3, 7, 9, 0xFFFFFFFF);
    EXPECT_EQ(copy.GetWidth(), 5);
}

TEST(DIB, MapsColoursOntoAPalette)
{
    CDIB grey = Pattern(16, 16); // values 0..165 with the grey ramp
    const QList<QRgb> bw = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    ASSERT_TRUE(grey.MapColorsToPalette(bw));
    EXPECT_EQ(*grey.GetPixelAddress(0, 12), 0); // 120: nearer black
    EXPECT_EQ(*grey.GetPixelAddress(9, 12), 1); // 129: nearer white
    EXPECT_EQ(grey.GetHeader().clrUsed, 2u);
    EXPECT_EQ(grey.GetColorTable().mid(0, 3),
              (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)}));

    Bmp rgb;
    rgb.bits = 24;
    rgb.width = 2;
    rgb.height = 1;
    rgb.pixels = QByteArray("\x10\x20\xF0"
                            "\xF0\xF0\xF0"
                            "\0\0",
                            8); // blue-ish red? (B, G, R)
    CDIB colour;
    ASSERT_TRUE(LoadBytes(colour, rgb.Bytes()));
    ASSERT_TRUE(colour.MapColorsToPalette(QList<QRgb>{qRgb(255, 0, 0), qRgb(255, 255, 255)}));
    const std::uint8_t* p = colour.GetPixelAddress(0, 0);
    EXPECT_EQ(qRgb(p[2], p[1], p[0]), qRgb(255, 0, 0));
    p = colour.GetPixelAddress(1, 0);
    EXPECT_EQ(qRgb(p[2], p[1], p[0]), qRgb(255, 255, 255));

    Bmp mono;
    mono.bits = 1;
    CDIB m;
    ASSERT_TRUE(LoadBytes(m, mono.Bytes()));
    EXPECT_FALSE(m.MapColorsToPalette(bw));
    EXPECT_FALSE(grey.MapColorsToPalette(QList<QRgb>{}));
    EXPECT_FALSE(grey.MapColorsToPalette(nullptr));
}

TEST(DIB, DrawsStretched)
{
    CDIB dib;
    dib.Create(2, 2, QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 255)});
    *dib.GetPixelAddress(1, 0) = 1;
    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    EXPECT_EQ(dib.Draw(p, 0, 0, 4, 4), 2);
    p.end();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(3, 0), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(dib.Draw(nullptr, 0, 0, 4, 4), 0);
}

TEST(DIB, FileNamesPromptsAndMessages)
{
    TempDir dir;
    QStringList said;
    int asked = 0;
    QString answer;
    CDIB dib;
    dib.SetPrompts({[&](const QString&) {
                        ++asked;
                        return answer;
                    },
                    [&](const QString&) {
                        ++asked;
                        return answer;
                    },
                    [&](const QString& text) {
                        said << text;
                    }});

    // Cancelled dialogs.
    EXPECT_FALSE(dib.Load(QString()));
    EXPECT_FALSE(dib.Save(QString()));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(said.isEmpty());

    answer = dir.File("logo.bmp");
    EXPECT_TRUE(dib.Save(QString()));
    CDIB other = Pattern(3, 3);
    EXPECT_TRUE(other.Load(answer));
    EXPECT_EQ(other.GetWidth(), 16);

    EXPECT_FALSE(dib.Load(dir.File("missing.bmp"))); // silently
    EXPECT_FALSE(dib.Save(dir.File("no/such/folder/x.bmp")));
    EXPECT_EQ(said, QStringList{QStringLiteral("Failed to open file")});
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        said.clear();
        EXPECT_FALSE(dib.Save(QStringLiteral("/dev/full")));
        EXPECT_EQ(said, QStringList{QStringLiteral("Failed to save file")});
    }
}

TEST(DIB, LoadsAnEightBitResourceAndRefusesBrokenOnes)
{
    TempDir dir;
    Bmp logo;
    logo.width = 5;
    logo.colours = Colours(256);
    testsupport::WriteFile(dir.File("logo.bmp"), logo.Bytes());
    CDIB dib;
    ASSERT_TRUE(dib.Load(DibResource{dir.File("logo.bmp")}));
    EXPECT_EQ(dib.GetWidth(), 5);
    EXPECT_EQ(dib.GetStorageWidth(), 8);
    EXPECT_EQ(dib.GetColorTable(), Colours(256));

    testsupport::WriteFile(dir.File("cut.bmp"), logo.Bytes().left(logo.Bytes().size() - 1));
    EXPECT_FALSE(dib.Load(DibResource{dir.File("cut.bmp")}));
    Bmp deep = logo;
    deep.bits = 24;
    deep.colours.clear();
    testsupport::WriteFile(dir.File("deep.bmp"), deep.Bytes());
    EXPECT_FALSE(dib.Load(DibResource{dir.File("deep.bmp")}));
    EXPECT_FALSE(dib.Load(DibResource{QStringLiteral(":/no/such/resource.bmp")}));
    EXPECT_EQ(dib.GetWidth(), 5);
}

} // namespace
