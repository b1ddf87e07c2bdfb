#include "platform/Contrast.h"

#include <cmath>

namespace {
double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor Mix(const QColor& from, const QColor& to, double t)
{
    auto channel = [t](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * t));
    };
    return {channel(from.red(), to.red()), channel(from.green(), to.green()),
            channel(from.blue(), to.blue())};
}
} // namespace

double RelativeLuminance(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor WithContrast(const QColor& colour, const QColor& background, double ratio)
{
    if (ContrastRatio(colour, background) >= ratio) {
        return colour;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor target =
        ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
    // Between a mix that falls short (`low`) and one that reaches the ratio or comes closest (`high`).
    double low = 0.0;
    double high = 1.0;
    for (int i = 0; i < 16; ++i) {
        const double mid = (low + high) / 2;
        (ContrastRatio(Mix(colour, target, mid), background) >= ratio ? high : low) = mid;
    }
    return Mix(colour, target, high);
}
