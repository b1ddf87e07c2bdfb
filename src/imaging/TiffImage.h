#pragma once
// One multi-page TIFF file opened for reading: page count, page selection, pixel size and resolution of
// the selected page, rotation in memory, scaled rendering and drawing. Every consumer (page view,
// thumbnail strip, loader thread, printing, clipboard copy) opens its own object and uses it on one
// thread. Nothing here reports to the user and nothing throws: the status of the last failed call is
// recorded, and a file that cannot be decoded reads as no pages of size 0.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

class QPainter;

// The scaling qualities the program uses, numbered as they have always been stored and passed around.
enum class InterpolationMode : int
{
    LowQuality = 1,         // fast; bilevel pages are still averaged into grey when shrunk
    HighQuality = 2,        // area averaging when shrinking, bilinear when enlarging
    HighQualityBicubic = 7, // bicubic with a prefilter when shrinking
};

// The eight rotate/flip types: quarter turns clockwise, optionally followed by a horizontal flip.
enum class RotateFlipType : int
{
    RotateNoneFlipNone = 0,
    Rotate90FlipNone = 1,
    Rotate180FlipNone = 2,
    Rotate270FlipNone = 3,
    RotateNoneFlipX = 4,
    Rotate90FlipX = 5,
    Rotate180FlipX = 6,
    Rotate270FlipX = 7,
};

enum class ImageStatus : int
{
    Ok = 0,
    FileNotFound,     // missing, unreadable, or a folder
    UnknownFormat,    // not a TIFF file
    InvalidParameter, // e.g. a page index outside the file
    DecodeError,      // damaged or unsupported page data
    OutOfMemory,      // a page or target over the memory budget
    Interrupted,      // the interrupt flag stopped a decode or render (see SetInterruptFlag)
};

// Square pixels at the higher resolution: the axis of lower resolution is stretched. Resolutions are
// truncated to whole dots per inch; equal resolutions, or one below 1 dpi, leave the size unchanged.
// 64-bit intermediate, clamped to the 32-bit range.
QSize SquarePixelSize(int width, int height, float xDpi, float yDpi);

class CTiffImage
{
public:
    // The memory budget of the active page: everything held for it at once (the page kept decoded, or the
    // band being read; the target being rendered and the scaler's rows; libtiff's strip) stays within it.
    // A page whose decoded form takes more than half of it is kept at reduced resolution for rendering
    // (read band by band and shrunk evenly into an eighth of the budget), so it still shows, only less
    // sharp when zoomed in; a page larger than four times the budget, or of which even one band would not
    // fit, reads as undecodable (status OutOfMemory).
    static constexpr qint64 kDefaultMaxDecodedBytes = qint64(1) << 30;

    explicit CTiffImage(const QString& path);
    // The same over bytes in memory (for fuzzing and tests); `name` only labels it.
    static std::unique_ptr<CTiffImage> FromBytes(const QByteArray& data, const QString& name = QString());
    ~CTiffImage();
    CTiffImage(const CTiffImage&) = delete;
    CTiffImage& operator=(const CTiffImage&) = delete;

    const QString& GetPath() const { return m_path; }
    // The file was opened and is a TIFF file (its pages may still fail to decode).
    bool IsOpen() const;
    // The status of the last call that failed (Ok when none has).
    ImageStatus GetLastStatus() const;

    // Number of pages, counted by walking the directory chain only (no page is decoded). 0 when the
    // file cannot be read.
    int GetFrameCount();
    // Makes page `index` (0-based) the active one, reading that page's directory directly. An index
    // outside the file fails and leaves the previously active page active. A page inside the file that
    // cannot be decoded becomes active as an empty page (size 0, renders as background), so that no other
    // page is ever shown in its place; false is returned for it too. Turns from RotateFlip are dropped.
    bool SelectActiveFrame(int index);
    int GetActiveFrame() const;

    // Size of the active page in pixels as it is displayed: after the file's Orientation tag and after
    // every RotateFlip. 0 when there is no decodable page.
    int GetWidth() const;
    int GetHeight() const;
    // Resolution in dots per inch (centimetre units converted, rounded to a thousandth). Missing tags read
    // 0 for both (unknown: no correction); with only one of the two, both take it. With ResolutionUnit
    // "none" the values only give the pixels' aspect ratio: they are kept as stored when both are 100 or
    // more, and otherwise scaled together so that the smaller is 1000, so that square pixels keep the
    // ratio. Without a ResolutionUnit tag TIFF's default, inch, applies. Follows the orientation (x and y
    // swap for transposed pages).
    float GetHorizontalResolution() const;
    float GetVerticalResolution() const;
    // SquarePixelSize of the active page.
    QSize GetSquarePixelSize() const;
    // The active page holds only grey values (bilevel or greyscale), so a rendering may be kept as 8-bit.
    bool IsGrey() const;

    // Turns the active page in memory; the file is never changed. Nothing is decoded for it: only the
    // mapping from stored to shown pixels changes, which every later render and DecodedImage follow.
    void RotateFlip(RotateFlipType type);

    // The whole active page stretched to exactly w x h (aspect not kept), 24-bit (QImage::Format_RGB888).
    // Unless the page is already decoded whole (by RenderRegion, Draw or DecodedImage), it is streamed strip
    // by strip from the file (a strip too tall to hold a few rows at a time), so a thumbnail needs about one
    // band plus the target. Transparent parts show `background`. When the page cannot be decoded the
    // result is w x h filled with `background`. w or h <= 0, more than 2^20 pixels on a side, or a target
    // that does not fit the memory budget beside what the page holds give a null image.
    QImage RenderScaled(int w, int h, InterpolationMode mode, QRgb background = 0xFFFFFFFF);
    // The same pixels, rendered as 8-bit grey (Format_Grayscale8) when the page holds only grey values
    // (IsGrey): a third of the memory, for renderings that are kept (thumbnails, the page view's page).
    QImage RenderScaledCompact(int w, int h, InterpolationMode mode, QRgb background = 0xFFFFFFFF);

    // The part `part` of the active page scaled to `fullSize`; its pixels equal the same part of
    // RenderScaled(fullSize...). Used to paint only what is visible at high zoom. The page is decoded once
    // (whole, or at reduced resolution when it is over the budget) and kept while it stays active, so each
    // call costs in proportion to the part. `part` is clipped to the page; the result has the clipped size
    // (null when nothing is left, or when the part does not fit the memory budget or has more than 2^20
    // pixels on a side).
    QImage RenderRegion(QSize fullSize, QRect part, InterpolationMode mode, QRgb background = 0xFFFFFFFF);

    // The whole active page at its stored resolution, as shown (orientation and turns applied):
    // Format_Mono for bilevel pages (colour table {ink, paper}, so {black, white} for a fax page),
    // Format_Grayscale8 for grey, ARGB32 premultiplied otherwise. Null when the page cannot be decoded, or
    // when it and its copy would not fit the memory budget (status OutOfMemory). Kept decoded while the page
    // stays active.
    QImage DecodedImage();

    // Lets another thread stop long work: while `*flag` is true, decoding and rendering give up at their
    // next band or row; the call then returns a null image (Draw draws nothing) and the status is
    // Interrupted. Nothing half-decoded is kept, so the same call made again once the flag is false does
    // the whole work. The flag must outlive the object or be replaced first; null (the default) never
    // interrupts. Only the flag is shared: the object itself stays on one thread.
    void SetInterruptFlag(const std::atomic<bool>* flag);

    // The active page as handed to a printer or PDF on which it is drawn `devicePixels` large (device
    // pixels along the page's width and height). A page no larger than that goes at its stored resolution,
    // as DecodedImage gives it. A larger one is scaled down while it is read band by band, each axis to no
    // more than the device's pixels, so that printing any page holds about one band and this image:
    // bilevel pages are then dithered to 1 bit (colour table {ink, paper}), grey pages are 8-bit, colour
    // pages 24-bit. Null when the page cannot be decoded, the image does not fit the memory budget, or the
    // interrupt flag is set. Draw uses it on printers and PDF devices.
    QImage PrintImage(QSize devicePixels);

    // Lowers (or raises) the memory budget for this object; applies to the active page at once.
    void SetMaxDecodedBytes(qint64 bytes);
    qint64 GetMaxDecodedBytes() const;

    // Draws the whole active page stretched into `target`. On screen only the part inside the painter's
    // clip (or device) is scaled, with `mode`; on a printer or PDF device the page is handed over as
    // PrintImage gives it for the target's size in device pixels, and the device scales it (bilevel pages
    // stay 1-bit there).
    void Draw(QPainter& painter, const QRect& target, InterpolationMode mode);

private:
    struct Impl;
    struct FromMemory
    {
    };
    CTiffImage(FromMemory, const QByteArray& data, const QString& name);
    QImage RenderScaledAs(int w, int h, InterpolationMode mode, QRgb background, QImage::Format format);
    QString m_path;
    std::unique_ptr<Impl> d;
};
