// folivant-mkfax: writes a fictional multi-page fax or scan TIFF document for tests and benchmarks.
//   folivant-mkfax --pages 500 --compression g4 --dpi 204x196 OUT.tif

#include "FaxWriter.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool ParsePair(const QString& text, double* a, double* b)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool ok1 = false;
    bool ok2 = false;
    if (parts.size() == 1) {
        *a = *b = parts.at(0).toDouble(&ok1);
        return ok1;
    }
    if (parts.size() != 2) {
        return false;
    }
    *a = parts.at(0).toDouble(&ok1);
    *b = parts.at(1).toDouble(&ok2);
    return ok1 && ok2;
}

// Qt's complaints about the environment of a headless run (no runtime folder) are of no concern here.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && !message.startsWith(QLatin1String("QStandardPaths:"))) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "folivant-mkfax: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts only: no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(QuietQt);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("folivant-mkfax"));

    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Writes a fictional, deterministic multi-page fax or scan TIFF document.\n"
                       "Default: 4 pages, A4 fax in fine mode (1728x2292 at 204x196 dpi), Group 4."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("TIFF file to write"));
    const QCommandLineOption pages(QStringLiteral("pages"), QStringLiteral("number of pages (4)"),
                                   QStringLiteral("N"), QStringLiteral("4"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("pixel size (1728x2292)"),
                                  QStringLiteral("WxH"));
    const QCommandLineOption normal(QStringLiteral("normal"),
                                    QStringLiteral("fax normal mode: 1728x1146 at 204x98 dpi"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), QStringLiteral("resolution (204x196)"),
                                 QStringLiteral("XxY"));
    const QCommandLineOption unit(QStringLiteral("unit"),
                                  QStringLiteral("resolution unit: inch, cm, none, omit"),
                                  QStringLiteral("UNIT"), QStringLiteral("inch"));
    const QCommandLineOption compression(
        QStringLiteral("compression"),
        QStringLiteral("g4, g3, g3-2d, rle, none, lzw, packbits, deflate, jpeg (g4)"), QStringLiteral("NAME"),
        QStringLiteral("g4"));
    const QCommandLineOption colour(QStringLiteral("photometric"),
                                    QStringLiteral("bilevel (min-is-white), grey or rgb (bilevel)"),
                                    QStringLiteral("KIND"), QStringLiteral("bilevel"));
    const QCommandLineOption minIsBlack(QStringLiteral("min-is-black"),
                                        QStringLiteral("store bilevel or grey pages min-is-black"));
    const QCommandLineOption rps(QStringLiteral("rows-per-strip"),
                                 QStringLiteral("rows per strip (bilevel: whole page; others: about 8 KB)"),
                                 QStringLiteral("N"));
    const QCommandLineOption tile(QStringLiteral("tile"),
                                  QStringLiteral("write tiles of WxH (multiples of 16)"),
                                  QStringLiteral("WxH"));
    const QCommandLineOption fill(QStringLiteral("fill-order"), QStringLiteral("1 or 2 (1)"),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption orient(QStringLiteral("orientation"), QStringLiteral("Orientation tag 1-8 (1)"),
                                    QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption big(QStringLiteral("bigtiff"), QStringLiteral("write BigTIFF"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("text seed (1)"),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption quality(QStringLiteral("jpeg-quality"), QStringLiteral("JPEG quality (75)"),
                                     QStringLiteral("N"), QStringLiteral("75"));
    const QCommandLineOption blank(
        QStringLiteral("blank"),
        QStringLiteral("blank Group 4 pages of any size, nothing drawn (huge pages)"));
    p.addOptions({pages, size, normal, dpi, unit, compression, colour, minIsBlack, rps, tile, fill, orient,
                  big, seed, quality, blank});
    p.process(app);

    const QStringList args = p.positionalArguments();
    if (args.size() != 1) {
        return Fail(QStringLiteral("exactly one output file expected (see --help)"));
    }

    FaxDocSpec desc;
    bool ok = true;
    desc.pages = p.value(pages).toInt(&ok);
    if (!ok) {
        return Fail(QStringLiteral("bad --pages"));
    }
    if (p.isSet(normal)) {
        desc.height = 1146;
        desc.yDpi = 98;
    }
    double a = 0;
    double b = 0;
    if (p.isSet(size)) {
        if (!ParsePair(p.value(size), &a, &b)) {
            return Fail(QStringLiteral("bad --size"));
        }
        desc.width = static_cast<int>(a);
        desc.height = static_cast<int>(b);
    }
    if (p.isSet(dpi)) {
        if (!ParsePair(p.value(dpi), &desc.xDpi, &desc.yDpi)) {
            return Fail(QStringLiteral("bad --dpi"));
        }
    }
    const QString u = p.value(unit).toLower();
    desc.resolutionUnit = u == QLatin1String("cm")     ? 3
                          : u == QLatin1String("none") ? 1
                          : u == QLatin1String("omit") ? 0
                                                       : 2;
    if (!ParseCompression(p.value(compression), &desc.compression)) {
        return Fail(QStringLiteral("unknown compression '%1'").arg(p.value(compression)));
    }
    if (!ParseColour(p.value(colour), &desc.colour)) {
        return Fail(QStringLiteral("unknown photometric '%1'").arg(p.value(colour)));
    }
    desc.minIsBlack = p.isSet(minIsBlack);
    if (p.isSet(rps)) {
        desc.rowsPerStrip = p.value(rps).toInt();
    }
    if (p.isSet(tile)) {
        if (!ParsePair(p.value(tile), &a, &b)) {
            return Fail(QStringLiteral("bad --tile"));
        }
        desc.tileWidth = static_cast<int>(a);
        desc.tileHeight = static_cast<int>(b);
    }
    desc.fillOrder = p.value(fill).toInt();
    desc.orientation = p.value(orient).toInt();
    desc.bigTiff = p.isSet(big);
    desc.seed = p.value(seed).toUInt();
    desc.jpegQuality = p.value(quality).toInt();

    QString error;
    if (p.isSet(blank)) {
        if (!WriteBlankG4Document(args.at(0), desc.pages, desc.width, desc.height, desc.xDpi, desc.yDpi,
                                  &error)) {
            return Fail(error);
        }
    } else if (!WriteTiffDocument(args.at(0), desc, &error)) {
        return Fail(error);
    }
    std::printf("%s: %d pages, %lld bytes\n", qPrintable(args.at(0)), desc.pages,
                static_cast<long long>(QFileInfo(args.at(0)).size()));
    return 0;
}
