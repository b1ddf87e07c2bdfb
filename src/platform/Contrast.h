#pragma once
// How well a colour stands out against another: relative luminance and contrast ratio as the WCAG 2
// guidelines define them (4.5 : 1 is their minimum for text and icons).

#include <QColor>

// 0 for black ... 1 for white.
double RelativeLuminance(const QColor& colour);
// 1 : 1 for equal colours ... 21 : 1 for black on white; the same either way round.
double ContrastRatio(const QColor& a, const QColor& b);
// `colour` itself when it reaches `ratio` against `background`; otherwise the same hue made darker or
// lighter, whichever stands out more, just far enough to reach it (a ratio above about 4.58 may not be
// reachable on a mid-grey background: then black or white).
QColor WithContrast(const QColor& colour, const QColor& background, double ratio = 4.5);
