// The least a Qt Widgets program can do to show page 1 of a TIFF file: start, decode the page with libtiff,
// and paint it scaled to fit into a maximised window beside an empty strip 212 pixels wide. Nothing of
// Folivant is linked, so it loads only Qt Widgets, libtiff and what they need. It is the floor against
// which the whole program's cold start is measured (run-coldstart.sh).
//
//   folivant-coldstart-floor FILE
// With FOLIVANT_STAMP_FIRST_PAINT set it writes the moment it first painted the page as the program does
// (CLOCK_MONOTONIC and the process's CPU time in nanoseconds, one line), and keeps running until ended.

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace {

constexpr int kStripWidth = 212;

struct TiffCloser
{
    void operator()(TIFF* t) const { TIFFClose(t); }
};

// Page 1 as it is stored: a bilevel page one bit per pixel, anything else as RGBA.
QImage DecodeFirstPage(const char* path)
{
    TIFFSetWarningHandler(nullptr);
    const std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(path, "r"));
    if (!tif) {
        return {};
    }
    uint32_t w = 0;
    uint32_t h = 0;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    if (w == 0 || h == 0) {
        return {};
    }
    if (bits == 1 && samples == 1) {
        QImage page(static_cast<int>(w), static_cast<int>(h), QImage::Format_Mono);
        const bool whiteIsZero = photometric == PHOTOMETRIC_MINISWHITE;
        page.setColorTable(
            {whiteIsZero ? 0xffffffffu : 0xff000000u, whiteIsZero ? 0xff000000u : 0xffffffffu});
        for (uint32_t y = 0; y < h; ++y) {
            if (TIFFReadScanline(tif.get(), page.scanLine(static_cast<int>(y)), y, 0) < 0) {
                break;
            }
        }
        return page;
    }
    QImage page(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGBA8888);
    if (!TIFFReadRGBAImageOriented(tif.get(), w, h, reinterpret_cast<uint32_t*>(page.bits()),
                                   ORIENTATION_TOPLEFT, 0)) {
        return {};
    }
    return page;
}

void StampNow()
{
    const char* path = std::getenv("FOLIVANT_STAMP_FIRST_PAINT");
    if (path == nullptr || *path == '\0') {
        return;
    }
    timespec now{};
    timespec cpu{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const std::string part = std::string(path) + ".part";
    if (std::FILE* f = std::fopen(part.c_str(), "w")) {
        std::fprintf(f, "%lld %lld\n", static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec,
                     static_cast<long long>(cpu.tv_sec) * 1'000'000'000LL + cpu.tv_nsec);
        std::fclose(f);
        std::rename(part.c_str(), path);
    }
}

class FloorWindow : public QWidget
{
public:
    explicit FloorWindow(QImage page) : m_page(std::move(page)) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.setClipRect(event->rect());
        const QRect strip(0, 0, kStripWidth, height());
        const QRect area = rect().adjusted(kStripWidth, 0, 0, 0);
        painter.fillRect(strip, palette().color(QPalette::Base));
        painter.fillRect(area, palette().color(QPalette::Window));
        if (m_page.isNull() || area.isEmpty()) {
            return;
        }
        // Fitted whole and filtered by the painter: of Qt's ways to shrink a one-bit page this is by far the
        // fastest (QImage::scaled takes over ten times as long).
        const QSize fit = m_page.size().scaled(area.size(), Qt::KeepAspectRatio);
        const QRect target(QPoint(area.x() + (area.width() - fit.width()) / 2,
                                  area.y() + (area.height() - fit.height()) / 2),
                           fit);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_page);
        if (!m_stamped) {
            m_stamped = true;
            StampNow();
        }
    }

private:
    QImage m_page;
    bool m_stamped = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: folivant-coldstart-floor FILE\n");
        return 2;
    }
    FloorWindow window(DecodeFirstPage(argv[1]));
    window.setWindowTitle(QStringLiteral("Floor"));
    window.showMaximized();
    return QApplication::exec();
}
