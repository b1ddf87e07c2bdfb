#include "platform/Contrast.h"

#include <cmath>

namespace {
double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// `colour` with its HSL lightness set to `lightness`: the same hue and saturation, so a pale blue
// becomes a deep blue rather than a grey.
QColor WithLightness(const QColor& colour, double lightness)
{
    const QColor hsl = colour.toHsl();
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), static_cast<float>(lightness)).toRgb();
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
    // Darker or lighter, whichever way the background leaves more room; at the end of the way lies black
    // or white.
    const bool darker = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background);
    const double start = colour.toHsl().lightnessF();
    const double end = darker ? 0.0 : 1.0;
    // Between a lightness that falls short (`low`) and one that reaches the ratio or comes closest
    // (`high`), as fractions of the way from the colour's own lightness to the end.
    double low = 0.0;
    double high = 1.0;
    for (int i = 0; i < 16; ++i) {
        const double mid = (low + high) / 2;
        (ContrastRatio(WithLightness(colour, start + (end - start) * mid), background) >= ratio ? high
                                                                                                : low) = mid;
    }
    return WithLightness(colour, start + (end - start) * high);
}
