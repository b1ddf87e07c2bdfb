// libFuzzer entry: the bytes as a TIFF file, used the way the viewer uses one (count, select every page,
// thumbnails in each quality, a part of a large render, the image for a printer, turning), and as a BMP file
// for CDIB.

#include "imaging/DIB.h"
#include "imaging/TiffImage.h"

#include <QBuffer>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto img = CTiffImage::FromBytes(bytes, QStringLiteral("fuzz.tif"));
    // A smaller cap keeps every run within the fuzzer's memory and time limits.
    img->SetMaxDecodedBytes(qint64(32) << 20);
    const int pages = std::min(img->GetFrameCount(), 8);
    const InterpolationMode modes[] = {InterpolationMode::LowQuality, InterpolationMode::HighQuality,
                                       InterpolationMode::HighQualityBicubic};
    for (int i = 0; i <= pages; ++i) {
        img->SelectActiveFrame(i);
        (void)img->GetSquarePixelSize();
        (void)img->RenderScaled(150, 212, modes[i % 3]);
        (void)img->RenderRegion(QSize(img->GetWidth() * 2 + 1, img->GetHeight() * 2 + 1), QRect(7, 9, 64, 48),
                                modes[(i + 1) % 3]);
        (void)img->PrintImage(QSize(120 + i, 170));
        img->RotateFlip(static_cast<RotateFlipType>(i % 8));
        (void)img->RenderScaled(40, 30, modes[(i + 2) % 3]);
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CDIB dib;
    if (dib.Load(buffer)) {
        (void)dib.ToImage();
        CDIB target;
        dib.StretchBits(target, 1, 2, 13, 11, 0, 0, dib.GetWidth(), dib.GetHeight(), 7);
        (void)dib.MapColorsToPalette(QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 30, 30)});
    }
    return 0;
}
