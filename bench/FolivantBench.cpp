// folivant-bench: measurements of the imaging code, one subcommand each, printed as plain lines that
// bench/run-bench.sh reads ("<key> <value>"). New figures (page view painting, thumbnail strip,
// printing) are added as further subcommands in the table at the bottom.

#include "imaging/TiffImage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include <sys/resource.h>

namespace {

struct Args
{
    QStringList positional;
    std::map<QString, QString> options; // --name value

    QString Option(const QString& name, const QString& fallback = QString()) const
    {
        const auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
    int Int(const QString& name, int fallback) const
    {
        bool ok = false;
        const int v = Option(name).toInt(&ok);
        return ok ? v : fallback;
    }
    QSize Size(const QString& name, QSize fallback) const
    {
        const QStringList p = Option(name).split(QLatin1Char('x'));
        return p.size() == 2 ? QSize(p[0].toInt(), p[1].toInt()) : fallback;
    }
};

double Ms(const QElapsedTimer& t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> v)
{
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long PeakRssKb()
{
    struct rusage ru = {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

InterpolationMode Mode(const Args& a)
{
    switch (a.Int(QStringLiteral("mode"), 2)) {
    case 1:
        return InterpolationMode::LowQuality;
    case 7:
        return InterpolationMode::HighQualityBicubic;
    default:
        return InterpolationMode::HighQuality;
    }
}

// info FILE: one line per page.
int CmdInfo(const Args& a)
{
    CTiffImage img(a.positional.value(0));
    const int n = img.GetFrameCount();
    for (int i = 0; i < n; ++i) {
        img.SelectActiveFrame(i);
        const QSize sq = img.GetSquarePixelSize();
        std::printf("page %d %dx%d dpi %dx%d square %dx%d\n", i + 1, img.GetWidth(), img.GetHeight(),
                    static_cast<int>(img.GetHorizontalResolution()),
                    static_cast<int>(img.GetVerticalResolution()), sq.width(), sq.height());
    }
    return img.IsOpen() ? 0 : 1;
}

// count FILE [--repeat N]: open and count pages, fresh object each time; median.
int CmdCount(const Args& a)
{
    std::vector<double> times;
    int pages = 0;
    for (int r = 0; r < a.Int(QStringLiteral("repeat"), 21); ++r) {
        QElapsedTimer t;
        t.start();
        CTiffImage img(a.positional.value(0));
        pages = img.GetFrameCount();
        times.push_back(Ms(t));
    }
    std::printf("pages %d\nms %.3f\nbest_ms %.3f\n", pages, Median(times),
                *std::min_element(times.begin(), times.end()));
    return 0;
}

// thumbs FILE [--mode M] [--size WxH] [--out DIR] [--pages N]: every page (or the first N) rendered as the
// thumbnail loader does it.
int CmdThumbs(const Args& a)
{
    const QSize size = a.Size(QStringLiteral("size"), QSize(150, 212));
    const QString out = a.Option(QStringLiteral("out"));
    const InterpolationMode mode = Mode(a);
    QElapsedTimer t;
    t.start();
    CTiffImage img(a.positional.value(0));
    const int n = std::min(img.GetFrameCount(), a.Int(QStringLiteral("pages"), INT_MAX));
    qint64 checksum = 0;
    for (int i = 0; i < n; ++i) {
        img.SelectActiveFrame(i);
        const QImage thumb = img.RenderScaled(size.width(), size.height(), mode);
        checksum += thumb.constScanLine(size.height() / 2)[size.width() / 2];
        if (!out.isEmpty()) {
            thumb.save(QStringLiteral("%1/t%2.png").arg(out).arg(i + 1, 4, 10, QLatin1Char('0')));
        }
    }
    std::printf("pages %d\nms %.1f\npeak_rss_kb %ld\nchecksum %lld\n", n, Ms(t), PeakRssKb(), checksum);
    return 0;
}

// page FILE N [M...] [--window WxH] [--mode M] [--repeat R]: open, select page N (1-based) and render it
// at whole-page size for the window, as the page view does on opening. The pages are measured in turns,
// each with a fresh object, so that they see the same machine; the best and the median run are printed.
int CmdPage(const Args& a)
{
    const QSize window = a.Size(QStringLiteral("window"), QSize(800, 600));
    const QString file = a.positional.value(0);
    const QStringList pages = a.positional.mid(1);
    std::vector<std::vector<double>> times(static_cast<size_t>(pages.size()));
    for (int r = 0; r < a.Int(QStringLiteral("repeat"), 15); ++r) {
        for (int i = 0; i < pages.size(); ++i) {
            QElapsedTimer t;
            t.start();
            CTiffImage img(file);
            img.SelectActiveFrame(pages[i].toInt() - 1);
            const QSize sq = img.GetSquarePixelSize();
            if (sq.isEmpty()) {
                std::fprintf(stderr, "page %s cannot be read\n", qPrintable(pages[i]));
                return 1;
            }
            const QSize drawn = sq.scaled(window, Qt::KeepAspectRatio);
            const QImage view = img.RenderRegion(drawn, QRect(QPoint(0, 0), drawn), Mode(a));
            times[static_cast<size_t>(i)].push_back(Ms(t));
        }
    }
    for (int i = 0; i < pages.size(); ++i) {
        auto& v = times[static_cast<size_t>(i)];
        std::printf("page%s %.3f\npage%s_median %.3f\n", qPrintable(pages[i]),
                    *std::min_element(v.begin(), v.end()), qPrintable(pages[i]), Median(v));
    }
    return 0;
}

// zoom FILE [--page N] [--percent P] [--window WxH] [--mode M] [--repeat R]: the page view at P percent
// of the square-pixel size painting only the window's part, as when scrolling through the page: the
// first paint (which decodes the page) and the median of later paints at changing positions.
int CmdZoom(const Args& a)
{
    const QSize window = a.Size(QStringLiteral("window"), QSize(1200, 800));
    CTiffImage img(a.positional.value(0));
    img.SelectActiveFrame(a.Int(QStringLiteral("page"), 1) - 1);
    const QSize sq = img.GetSquarePixelSize();
    const int percent = a.Int(QStringLiteral("percent"), 800);
    const QSize full(static_cast<int>(qint64(sq.width()) * percent / 100),
                     static_cast<int>(qint64(sq.height()) * percent / 100));
    if (full.isEmpty()) {
        return 1;
    }
    QElapsedTimer t;
    t.start();
    (void)img.RenderRegion(full, QRect(QPoint(0, 0), window), Mode(a));
    const double first = Ms(t);
    std::vector<double> later;
    const int repeat = a.Int(QStringLiteral("repeat"), 40);
    for (int r = 1; r <= repeat; ++r) {
        const QPoint at(static_cast<int>(qint64(full.width() - window.width()) * r / (repeat + 1)),
                        static_cast<int>(qint64(full.height() - window.height()) * r / (repeat + 1)));
        t.restart();
        (void)img.RenderRegion(full, QRect(at, window), Mode(a));
        later.push_back(Ms(t));
    }
    std::printf("full %dx%d\nfirst_ms %.3f\nms %.3f\n", full.width(), full.height(), first, Median(later));
    return 0;
}

int Quiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// floor FILE: libtiff alone decoding every strip (or tile) of every page, nothing else.
int CmdFloor(const Args& a)
{
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, Quiet, nullptr);
    QElapsedTimer t;
    t.start();
    TIFF* tif = TIFFOpenExt(QFile::encodeName(a.positional.value(0)).constData(), "rm", opts);
    TIFFOpenOptionsFree(opts);
    if (!tif) {
        return 1;
    }
    std::vector<unsigned char> buf;
    int pages = 0;
    do {
        ++pages;
        const bool tiled = TIFFIsTiled(tif);
        const tmsize_t size = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
        buf.resize(static_cast<size_t>(std::max<tmsize_t>(size, 1)));
        const uint32_t n = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
        for (uint32_t s = 0; s < n; ++s) {
            if (tiled) {
                TIFFReadEncodedTile(tif, s, buf.data(), size);
            } else {
                TIFFReadEncodedStrip(tif, s, buf.data(), size);
            }
        }
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    std::printf("pages %d\nms %.1f\n", pages, Ms(t));
    return 0;
}

// Writes one page of w x h pixels, `samples` 8-bit samples per pixel, Deflate in one strip: paper of value
// 230 with a black frame and dark bars, as a scanner might hand over a huge page. Small on disk.
bool WriteFlatDeflatePage(TIFF* tif, int w, int h, int samples)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tif, TIFFTAG_ZIPQUALITY, 1);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(h));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    const int frame = std::max(4, w / 100);
    std::vector<unsigned char> paper(static_cast<size_t>(w) * samples, 230);
    std::vector<unsigned char> edge(paper);
    std::fill(edge.begin(), edge.begin() + frame * samples, 0);
    std::fill(edge.end() - frame * samples, edge.end(), 0);
    std::vector<unsigned char> bar(edge);
    std::fill(bar.begin() + w / 4 * samples, bar.begin() + w / 2 * samples, 40);
    std::vector<unsigned char> black(paper.size(), 0);
    for (int y = 0; y < h; ++y) {
        const bool border = y < frame || y >= h - frame;
        const bool inBar = (y / (h / 16 + 1)) % 4 == 1;
        const unsigned char* row = border ? black.data() : inBar ? bar.data() : edge.data();
        if (TIFFWriteScanline(tif, const_cast<unsigned char*>(row), static_cast<uint32_t>(y), 0) < 0) {
            return false;
        }
    }
    return TIFFWriteDirectory(tif) != 0;
}

// Writes `pages` blank Group 4 pages of side x side pixels. Coded in two dimensions, an empty row is a
// single bit, so a page is side / 8 bytes.
bool WriteBlankG4Pages(TIFF* tif, int side, int pages)
{
    const std::vector<unsigned char> rows(static_cast<size_t>(side + 7) / 8, 0xFF);
    for (int i = 0; i < pages; ++i) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(side));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(side));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(side));
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 204.0f);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 196.0f);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        if (TIFFWriteRawStrip(tif, 0, const_cast<unsigned char*>(rows.data()),
                              static_cast<tmsize_t>(rows.size())) < 0 ||
            !TIFFWriteDirectory(tif)) {
            return false;
        }
    }
    return true;
}

// huge KIND FILE [--pages N]: writes one of the huge pages of the robustness figures. KIND: grey27000
// (27000 x 27000 8-bit grey), rgb16384 (16384 x 16383 RGB), g4-92000 (500, or N, blank G4 pages of
// 92000 x 92000).
int CmdHuge(const Args& a)
{
    const QString kind = a.positional.value(0);
    TIFF* tif = TIFFOpen(QFile::encodeName(a.positional.value(1)).constData(), "w8");
    if (!tif) {
        return 1;
    }
    bool ok = false;
    if (kind == QStringLiteral("grey27000")) {
        ok = WriteFlatDeflatePage(tif, 27000, 27000, 1);
    } else if (kind == QStringLiteral("rgb16384")) {
        ok = WriteFlatDeflatePage(tif, 16384, 16383, 3);
    } else if (kind == QStringLiteral("g4-92000")) {
        ok = WriteBlankG4Pages(tif, 92000, a.Int(QStringLiteral("pages"), 500));
    }
    TIFFClose(tif);
    return ok ? 0 : 1;
}

// view FILE [--page N] [--percent P] [--window WxH]: opens the file and paints the page view of page N at P
// percent (0: whole page in the window) once, as the page view does after a page change: the time and the
// process's peak memory.
int CmdView(const Args& a)
{
    QElapsedTimer t;
    t.start();
    CTiffImage img(a.positional.value(0));
    img.SelectActiveFrame(a.Int(QStringLiteral("page"), 1) - 1);
    const QSize window = a.Size(QStringLiteral("window"), QSize(1200, 800));
    const QSize sq = img.GetSquarePixelSize();
    const int percent = a.Int(QStringLiteral("percent"), 0);
    const QSize full = percent > 0 ? QSize(static_cast<int>(qint64(sq.width()) * percent / 100),
                                           static_cast<int>(qint64(sq.height()) * percent / 100))
                                   : sq.scaled(window, Qt::KeepAspectRatio);
    const QImage part = img.RenderRegion(full, QRect(QPoint(0, 0), window), InterpolationMode::HighQuality);
    std::printf("shown %dx%d\nms %.1f\npeak_rss_kb %ld\nnull %d\n", part.width(), part.height(), Ms(t),
                PeakRssKb(), part.isNull() ? 1 : 0);
    return 0;
}

struct Command
{
    const char* name;
    const char* usage;
    std::function<int(const Args&)> run;
};

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"info", "info FILE", CmdInfo},
        {"count", "count FILE [--repeat N]", CmdCount},
        {"thumbs", "thumbs FILE [--mode 1|2|7] [--size WxH] [--out DIR] [--pages N]", CmdThumbs},
        {"page", "page FILE N [M...] [--window WxH] [--mode M] [--repeat R]", CmdPage},
        {"zoom", "zoom FILE [--page N] [--percent P] [--window WxH] [--mode M] [--repeat R]", CmdZoom},
        {"floor", "floor FILE", CmdFloor},
        {"huge", "huge grey27000|rgb16384|g4-92000 FILE [--pages N]", CmdHuge},
        {"view", "view FILE [--page N] [--percent P] [--window WxH]", CmdView},
    };
    return commands;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: folivant-bench COMMAND ...\n");
        for (const Command& c : Commands()) {
            std::fprintf(stderr, "  %s\n", c.usage);
        }
        return 2;
    }
    Args args;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--")) && i + 1 < argc) {
            args.options[arg.mid(2)] = QString::fromLocal8Bit(argv[++i]);
        } else {
            args.positional << arg;
        }
    }
    for (const Command& c : Commands()) {
        if (qstrcmp(argv[1], c.name) == 0) {
            return c.run(args);
        }
    }
    std::fprintf(stderr, "folivant-bench: unknown command '%s'\n", argv[1]);
    return 2;
}
