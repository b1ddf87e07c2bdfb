#pragma once
// Test documents of our own: realistic, fictional, deterministic multi-page fax and scan TIFF files.
//
// Every page is drawn with QPainter (letterhead, German business text from a fixed pseudo-random
// generator, a table, a signature, a footer) and carries a large page number in a box at the top right,
// so that thumbnails and printouts show which page is which. The pages are then written with libtiff in
// the encoding the caller asks for. The same description always gives the same bytes.
//
// Needs a QGuiApplication (fonts). Used by the folivant-mkfax tool, by tests and by the benchmark.

#include <QImage>
#include <QString>

#include <functional>

struct FaxDocSpec
{
    enum class Compression
    {
        None,
        G3,    // CCITT T.4 one-dimensional, EOLs byte-aligned (what most fax servers store)
        G3_2D, // CCITT T.4 two-dimensional
        G4,    // CCITT T.6
        Rle,   // CCITT modified Huffman run lengths (TIFF compression 2)
        Lzw,
        PackBits,
        Deflate,
        Jpeg, // colour and grey only; colour pages are stored as YCbCr 2x2
    };
    enum class Colour
    {
        Bilevel, // 1 bit per pixel, min-is-white unless minIsBlack
        Grey,    // 8 bits per pixel
        Rgb,     // 8 bits per sample, 3 samples
    };

    int pages = 4;
    int width = 1728; // pixels; 1728 x 2292 is an A4 fax in fine mode, 1728 x 1146 in normal mode
    int height = 2292;
    double xDpi = 204.0;
    double yDpi = 196.0;
    int resolutionUnit = 2; // 2 inch, 3 centimetre (dpi converted), 1 no unit; 0 writes no resolution tags
    Compression compression = Compression::G4;
    Colour colour = Colour::Bilevel;
    bool minIsBlack = false; // photometric of bilevel and grey pages
    int rowsPerStrip = 0;    // 0: bilevel pages in one strip each, other pages in strips of about 8 KB
    int tileWidth = 0;       // both > 0 (multiples of 16): tiles instead of strips
    int tileHeight = 0;
    int fillOrder = 1;   // 2: least significant bit first, as many fax modems deliver it
    int orientation = 1; // TIFF Orientation tag 1-8; pages are stored so that they display upright
    bool bigTiff = false;
    quint32 seed = 1; // chooses sender, recipient and the text
    int jpegQuality = 75;

    // Optional: draws the page instead of the generated letter. It receives a white page of the page's
    // pixel size (Format_Grayscale8 for bilevel and grey, Format_RGB888 for colour) and the 0-based page
    // index. Bilevel pages are thresholded at 50% afterwards.
    std::function<void(QImage& page, int pageIndex)> paintPage;
};

// Writes the document; false with a message in *error (if given) on failure.
bool WriteTiffDocument(const QString& path, const FaxDocSpec& desc, QString* error);

// Blank pages of any size, without drawing them: every row is one Group 4 vertical-mode code against the
// white row above it, so a page of 92000 x 92000 pixels takes 11.5 KB in the file (and 1 GB decoded).
// For tests and benchmarks of huge pages. False with a message in *error (if given) on failure.
bool WriteBlankG4Document(const QString& path, int pages, int width, int height, double xDpi, double yDpi,
                          QString* error);

// Page `pageIndex` (0-based) upright, exactly as a correct reader shows it after decoding: Grayscale8 for
// bilevel (only 0 and 255) and grey pages, RGB888 for colour. JPEG pages differ from this by the
// compression loss.
QImage RenderFaxPage(const FaxDocSpec& desc, int pageIndex);

// Parses the names the command line uses ("g4", "g3", "g3-2d", "rle", "none", "lzw", "packbits",
// "deflate", "jpeg"; "bilevel", "grey", "rgb"). False for an unknown name.
bool ParseCompression(const QString& name, FaxDocSpec::Compression* out);
bool ParseColour(const QString& name, FaxDocSpec::Colour* out);
