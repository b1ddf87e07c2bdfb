#include "FaxWriter.h"

#include "FaxPage.h"

#include <QFile>
#include <QTransform>

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int CollectMessage(TIFF*, void* userData, const char* module, const char* fmt, va_list ap)
{
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    auto* messages = static_cast<QString*>(userData);
    if (messages->isEmpty()) {
        *messages =
            QString::fromUtf8(module ? module : "libtiff") + QStringLiteral(": ") + QString::fromUtf8(buf);
    }
    return 1; // handled: nothing reaches the process-wide handlers
}

int IgnoreMessage(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// The stored page, so that a reader that honours the Orientation tag shows `upright` upright.
QImage StoredForOrientation(const QImage& upright, int orientation)
{
    const QTransform cw = QTransform().rotate(90);
    const QTransform ccw = QTransform().rotate(-90);
    switch (orientation) {
    case 2:
        return upright.mirrored(true, false);
    case 3:
        return upright.mirrored(true, true);
    case 4:
        return upright.mirrored(false, true);
    case 5: // rows are the left-to-right columns: the transpose
        return upright.transformed(cw).mirrored(true, false);
    case 6: // shown turned a quarter clockwise: stored a quarter anticlockwise
        return upright.transformed(ccw);
    case 7: // transverse
        return upright.transformed(ccw).mirrored(true, false);
    case 8:
        return upright.transformed(cw);
    default:
        return upright;
    }
}

uint16_t TiffCompression(FaxDocSpec::Compression c)
{
    switch (c) {
    case FaxDocSpec::Compression::None:
        return COMPRESSION_NONE;
    case FaxDocSpec::Compression::G3:
    case FaxDocSpec::Compression::G3_2D:
        return COMPRESSION_CCITTFAX3;
    case FaxDocSpec::Compression::G4:
        return COMPRESSION_CCITTFAX4;
    case FaxDocSpec::Compression::Rle:
        return COMPRESSION_CCITTRLE;
    case FaxDocSpec::Compression::Lzw:
        return COMPRESSION_LZW;
    case FaxDocSpec::Compression::PackBits:
        return COMPRESSION_PACKBITS;
    case FaxDocSpec::Compression::Deflate:
        return COMPRESSION_ADOBE_DEFLATE;
    case FaxDocSpec::Compression::Jpeg:
        return COMPRESSION_JPEG;
    }
    return COMPRESSION_NONE;
}

bool IsCcitt(FaxDocSpec::Compression c)
{
    return c == FaxDocSpec::Compression::G3 || c == FaxDocSpec::Compression::G3_2D ||
           c == FaxDocSpec::Compression::G4 || c == FaxDocSpec::Compression::Rle;
}

// One stored row in the file's sample layout.
void PackRow(const QImage& img, int y, const FaxDocSpec& desc, uint8_t* out)
{
    const uchar* src = img.constScanLine(y);
    const int w = img.width();
    switch (desc.colour) {
    case FaxDocSpec::Colour::Bilevel: {
        // Min-is-white: a set bit is black ink.
        const uint8_t flip = desc.minIsBlack ? 0xFF : 0x00;
        int x = 0;
        for (; x + 8 <= w; x += 8) {
            const uchar* s = src + x;
            const unsigned byte = (s[0] >> 7) << 7 | (s[1] >> 7) << 6 | (s[2] >> 7) << 5 | (s[3] >> 7) << 4 |
                                  (s[4] >> 7) << 3 | (s[5] >> 7) << 2 | (s[6] >> 7) << 1 | (s[7] >> 7);
            out[x >> 3] = static_cast<uint8_t>(~byte ^ flip); // light pixels have the top bit set
        }
        if (x < w) {
            unsigned byte = 0;
            for (int i = 0; x + i < w; ++i) {
                byte |= static_cast<unsigned>(src[x + i] < 128) << (7 - i);
            }
            out[x >> 3] = static_cast<uint8_t>(byte ^ (flip & (0xFF00u >> (w - x))));
        }
        break;
    }
    case FaxDocSpec::Colour::Grey:
        if (desc.minIsBlack) {
            std::memcpy(out, src, static_cast<size_t>(w));
        } else {
            for (int x = 0; x < w; ++x) {
                out[x] = static_cast<uint8_t>(255 - src[x]);
            }
        }
        break;
    case FaxDocSpec::Colour::Rgb:
        std::memcpy(out, src, static_cast<size_t>(w) * 3);
        break;
    }
}

bool SetPageFields(TIFF* tif, const FaxDocSpec& desc, int page, int w, int h, QString* error)
{
    const bool bilevel = desc.colour == FaxDocSpec::Colour::Bilevel;
    const bool rgb = desc.colour == FaxDocSpec::Colour::Rgb;
    const bool jpeg = desc.compression == FaxDocSpec::Compression::Jpeg;
    if (IsCcitt(desc.compression) && !bilevel) {
        *error = QStringLiteral("CCITT compressions need bilevel pages");
        return false;
    }
    if (jpeg && bilevel) {
        *error = QStringLiteral("JPEG needs grey or colour pages");
        return false;
    }
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bilevel ? 1 : 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, rgb ? 3 : 1);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, TiffCompression(desc.compression));
    if (rgb) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, jpeg ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB);
    } else {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     desc.minIsBlack ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
    }
    if (jpeg) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, desc.jpegQuality);
        if (rgb) {
            TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        }
    }
    if (desc.compression == FaxDocSpec::Compression::G3) {
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, GROUP3OPT_FILLBITS);
    } else if (desc.compression == FaxDocSpec::Compression::G3_2D) {
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, GROUP3OPT_FILLBITS | GROUP3OPT_2DENCODING);
    }
    if (!bilevel && (desc.compression == FaxDocSpec::Compression::Lzw ||
                     desc.compression == FaxDocSpec::Compression::Deflate)) {
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    }
    TIFFSetField(tif, TIFFTAG_FILLORDER, desc.fillOrder == 2 ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB);
    if (desc.orientation != 1) {
        TIFFSetField(tif, TIFFTAG_ORIENTATION, static_cast<uint16_t>(desc.orientation));
    }
    if (desc.resolutionUnit != 0) {
        // Transposed pages store their columns as rows, so the resolutions swap with them.
        const bool transposed = desc.orientation >= 5;
        double xr = transposed ? desc.yDpi : desc.xDpi;
        double yr = transposed ? desc.xDpi : desc.yDpi;
        if (desc.resolutionUnit == RESUNIT_CENTIMETER) {
            xr /= 2.54;
            yr /= 2.54;
        }
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(xr));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(yr));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, static_cast<uint16_t>(desc.resolutionUnit));
    }
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page), static_cast<uint16_t>(desc.pages));
    TIFFSetField(tif, TIFFTAG_SOFTWARE, "folivant-mkfax");
    if (desc.tileWidth > 0 && desc.tileHeight > 0) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, static_cast<uint32_t>(desc.tileWidth));
        TIFFSetField(tif, TIFFTAG_TILELENGTH, static_cast<uint32_t>(desc.tileHeight));
    } else {
        uint32_t rps = static_cast<uint32_t>(desc.rowsPerStrip);
        if (rps == 0) {
            rps = bilevel ? static_cast<uint32_t>(h) : TIFFDefaultStripSize(tif, 0);
        }
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
    }
    return true;
}

bool WriteStrips(TIFF* tif, const QImage& img, const FaxDocSpec& desc)
{
    uint32_t rps = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps);
    rps = std::min<uint32_t>(std::max<uint32_t>(rps, 1), static_cast<uint32_t>(img.height()));
    const tmsize_t rowBytes = TIFFScanlineSize(tif);
    std::vector<uint8_t> buf(static_cast<size_t>(rowBytes) * rps);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    for (uint32_t s = 0; s < strips; ++s) {
        const int y0 = static_cast<int>(s * rps);
        const int rows = std::min<int>(static_cast<int>(rps), img.height() - y0);
        for (int r = 0; r < rows; ++r) {
            PackRow(img, y0 + r, desc, buf.data() + static_cast<size_t>(r) * static_cast<size_t>(rowBytes));
        }
        if (TIFFWriteEncodedStrip(tif, s, buf.data(), rowBytes * rows) < 0) {
            return false;
        }
    }
    return true;
}

bool WriteTiles(TIFF* tif, const QImage& img, const FaxDocSpec& desc)
{
    const int tw = desc.tileWidth;
    const int th = desc.tileHeight;
    const tmsize_t rowBytes = TIFFScanlineSize(tif);
    const tmsize_t tileRowBytes = TIFFTileRowSize(tif);
    std::vector<uint8_t> rows(static_cast<size_t>(rowBytes) + static_cast<size_t>(tileRowBytes) + 16);
    std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tif)));
    for (int ty = 0; ty < img.height(); ty += th) {
        for (int tx = 0; tx < img.width(); tx += tw) {
            std::fill(tile.begin(), tile.end(), uint8_t(0));
            for (int r = 0; r < th && ty + r < img.height(); ++r) {
                std::fill(rows.begin(), rows.end(), uint8_t(0));
                PackRow(img, ty + r, desc, rows.data());
                // Tile columns start on byte boundaries for every depth used here (tile widths are
                // multiples of 16).
                const tmsize_t offset = desc.colour == FaxDocSpec::Colour::Bilevel ? tx / 8
                                        : desc.colour == FaxDocSpec::Colour::Grey
                                            ? tx
                                            : static_cast<tmsize_t>(tx) * 3;
                const tmsize_t n = std::min(tileRowBytes, rowBytes - offset);
                std::memcpy(tile.data() + static_cast<size_t>(r) * static_cast<size_t>(tileRowBytes),
                            rows.data() + offset, static_cast<size_t>(n));
            }
            const uint32_t t =
                TIFFComputeTile(tif, static_cast<uint32_t>(tx), static_cast<uint32_t>(ty), 0, 0);
            if (TIFFWriteEncodedTile(tif, t, tile.data(), static_cast<tmsize_t>(tile.size())) < 0) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool WriteTiffDocument(const QString& path, const FaxDocSpec& desc, QString* error)
{
    QString dummy;
    QString& err = error ? *error : dummy;
    err.clear();
    if (desc.pages < 1 || desc.pages > 65535 || desc.width < 1 || desc.height < 1 || desc.orientation < 1 ||
        desc.orientation > 8 || (desc.fillOrder != 1 && desc.fillOrder != 2) ||
        (desc.tileWidth > 0) != (desc.tileHeight > 0) || desc.tileWidth % 16 != 0 ||
        desc.tileHeight % 16 != 0 || desc.xDpi <= 0 || desc.yDpi <= 0 || desc.rowsPerStrip < 0 ||
        desc.resolutionUnit < 0 || desc.resolutionUnit > 3) {
        err = QStringLiteral("invalid document description");
        return false;
    }
    if (static_cast<qint64>(desc.width) * desc.height > (qint64(1) << 28)) {
        err = QStringLiteral("page too large");
        return false;
    }

    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    QString messages;
    TIFFOpenOptionsSetErrorHandlerExtR(opts, CollectMessage, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, IgnoreMessage, nullptr);
    TIFF* tif = TIFFOpenExt(QFile::encodeName(path).constData(), desc.bigTiff ? "w8" : "w", opts);
    TIFFOpenOptionsFree(opts);
    if (!tif) {
        err = messages.isEmpty() ? QStringLiteral("cannot create %1").arg(path) : messages;
        return false;
    }

    mkfax::PageComposer composer(desc);
    bool ok = true;
    for (int page = 0; page < desc.pages && ok; ++page) {
        const QImage stored = StoredForOrientation(composer.Page(page), desc.orientation);
        ok = SetPageFields(tif, desc, page, stored.width(), stored.height(), &err);
        if (ok) {
            ok = (desc.tileWidth > 0) ? WriteTiles(tif, stored, desc) : WriteStrips(tif, stored, desc);
        }
        if (ok) {
            ok = TIFFWriteDirectory(tif) != 0;
        }
    }
    TIFFClose(tif);
    if (!ok) {
        if (err.isEmpty()) {
            err = messages.isEmpty() ? QStringLiteral("writing %1 failed").arg(path) : messages;
        }
        QFile::remove(path);
    }
    return ok;
}

bool WriteBlankG4Document(const QString& path, int pages, int width, int height, double xDpi, double yDpi,
                          QString* error)
{
    if (pages < 1 || width < 1 || height < 1) {
        if (error != nullptr) {
            *error = QStringLiteral("pages and size must be positive");
        }
        return false;
    }
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (tif == nullptr) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot write %1").arg(path);
        }
        return false;
    }
    // One bit "1" (vertical mode, no change) per row, then the end-of-facsimile block.
    std::vector<unsigned char> strip(static_cast<size_t>(height / 8), 0xFF);
    if (height % 8 != 0) {
        strip.push_back(static_cast<unsigned char>(0xFF00 >> (height % 8)));
    }
    const int used = height % 8;
    if (used == 0) {
        strip.insert(strip.end(), {0x00, 0x10, 0x01});
    } else {
        // The block's 24 bits continue right after the last row's bit.
        std::vector<int> bits(24, 0);
        bits[11] = 1;
        bits[23] = 1;
        unsigned char* last = &strip.back();
        int at = used;
        for (int b : bits) {
            if (at == 8) {
                strip.push_back(0);
                last = &strip.back();
                at = 0;
            }
            *last = static_cast<unsigned char>(*last | (b << (7 - at)));
            ++at;
        }
    }
    bool ok = true;
    for (int page = 0; page < pages && ok; ++page) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(xDpi));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(yDpi));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page), static_cast<uint16_t>(pages));
        ok = TIFFWriteRawStrip(tif, 0, strip.data(), static_cast<tmsize_t>(strip.size())) >= 0 &&
             TIFFWriteDirectory(tif) != 0;
    }
    TIFFClose(tif);
    if (!ok && error != nullptr) {
        *error = QStringLiteral("cannot write %1").arg(path);
    }
    return ok;
}

QImage RenderFaxPage(const FaxDocSpec& desc, int pageIndex)
{
    if (desc.width < 1 || desc.height < 1) {
        return {};
    }
    return mkfax::PageComposer(desc).Page(pageIndex);
}

bool ParseCompression(const QString& name, FaxDocSpec::Compression* out)
{
    static const struct
    {
        const char* name;
        FaxDocSpec::Compression value;
    } names[] = {
        {"none", FaxDocSpec::Compression::None},         {"g3", FaxDocSpec::Compression::G3},
        {"g3-2d", FaxDocSpec::Compression::G3_2D},       {"g4", FaxDocSpec::Compression::G4},
        {"rle", FaxDocSpec::Compression::Rle},           {"lzw", FaxDocSpec::Compression::Lzw},
        {"packbits", FaxDocSpec::Compression::PackBits}, {"deflate", FaxDocSpec::Compression::Deflate},
        {"jpeg", FaxDocSpec::Compression::Jpeg},
    };
    for (const auto& n : names) {
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            *out = n.value;
            return true;
        }
    }
    return false;
}

bool ParseColour(const QString& name, FaxDocSpec::Colour* out)
{
    const QString n = name.toLower();
    if (n == QLatin1String("bilevel") || n == QLatin1String("bw")) {
        *out = FaxDocSpec::Colour::Bilevel;
    } else if (n == QLatin1String("grey") || n == QLatin1String("gray")) {
        *out = FaxDocSpec::Colour::Grey;
    } else if (n == QLatin1String("rgb") || n == QLatin1String("colour") || n == QLatin1String("color")) {
        *out = FaxDocSpec::Colour::Rgb;
    } else {
        return false;
    }
    return true;
}
