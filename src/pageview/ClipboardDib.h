#pragma once
// The page as a device-independent bitmap for the clipboard: a 40-byte information header, no colour
// table for 24 bits, the rows bottom-up, each padded to a multiple of 4 bytes.

#include <QByteArray>
#include <QImage>

// The packed bitmap (information header + pixel rows), as other programs expect it under the classic
// bitmap clipboard format.
QByteArray MakePackedDib(const QImage& image);
// The same bitmap as a complete BMP file (14-byte file header in front), which is what "image/bmp"
// means on the Linux clipboard.
QByteArray MakeClipboardBmp(const QImage& image);
