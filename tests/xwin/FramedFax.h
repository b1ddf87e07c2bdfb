#pragma once
// A fax whose pages carry a thick black frame along their edges and their number in the middle: where
// the frame is on the screen tells where the whole page is and which shape it has.

#include <QImage>
#include <QRect>
#include <QString>

namespace xwin {

// A4 fax in fine mode; its square-pixel shape is 1728 x (2292 * 204 / 196).
inline constexpr int kFaxWidth = 1728;
inline constexpr int kFaxHeight = 2292;
inline constexpr double kPageAspect = 1728.0 / (2292.0 * 204.0 / 196.0);

QString MakeFramedFax(const QString& path, int pages);
bool Dark(QRgb c);
// The framed page on the screen: the box spanned by the rows that hold a long dark run (the frame's top
// and bottom edges) and the runs' ends. Icons and text never make runs that long.
QRect FramedPage(const QImage& shot, int minRun);

} // namespace xwin
