#include "pageview/ClipboardDib.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

quint32 U32(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 U16(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

TEST(ClipboardDib, HeaderRowsBottomUpAndPadding)
{
    // 5 x 3, so each 15-byte row is padded to 16.
    QImage image(5, 3, QImage::Format_RGB888);
    image.fill(Qt::white);
    image.setPixelColor(0, 0, QColor(10, 20, 30)); // top-left
    image.setPixelColor(4, 2, QColor(40, 50, 60)); // bottom-right
    const QByteArray dib = MakePackedDib(image);
    ASSERT_EQ(dib.size(), 40 + 16 * 3);
    EXPECT_EQ(U32(dib, 0), 40u);
    EXPECT_EQ(U32(dib, 4), 5u);
    EXPECT_EQ(U32(dib, 8), 3u); // positive: bottom-up
    EXPECT_EQ(U16(dib, 12), 1u);
    EXPECT_EQ(U16(dib, 14), 24u);
    EXPECT_EQ(U32(dib, 16), 0u);
    EXPECT_EQ(U32(dib, 20), 48u); // ((24 * 5 + 31) & ~31) / 8 * 3
    EXPECT_EQ(U32(dib, 32), 0u);  // no colour table at 24 bits
    const uchar* px = reinterpret_cast<const uchar*>(dib.constData()) + 40;
    // The first stored row is the bottom one; bytes are blue, green, red.
    EXPECT_EQ(px[4 * 3 + 0], 60);
    EXPECT_EQ(px[4 * 3 + 1], 50);
    EXPECT_EQ(px[4 * 3 + 2], 40);
    const uchar* top = px + 2 * 16;
    EXPECT_EQ(top[0], 30);
    EXPECT_EQ(top[1], 20);
    EXPECT_EQ(top[2], 10);
    EXPECT_EQ(px[15], 0); // padding
}

TEST(ClipboardDib, BmpFileForTheLinuxClipboardLoadsBack)
{
    QImage image(7, 4, QImage::Format_Grayscale8);
    image.fill(200);
    image.setPixel(3, 1, qRgb(0, 0, 0));
    const QByteArray bmp = MakeClipboardBmp(image);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(U32(bmp, 2), static_cast<quint32>(bmp.size()));
    EXPECT_EQ(U32(bmp, 10), 54u);
    const QImage back = QImage::fromData(bmp, "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(7, 4));
    EXPECT_EQ(qGray(back.pixel(3, 1)), 0);
    EXPECT_EQ(qGray(back.pixel(0, 0)), 200);
    EXPECT_TRUE(MakeClipboardBmp(QImage()).isEmpty());
}

} // namespace
