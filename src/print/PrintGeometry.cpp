#include "print/PrintGeometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {
int Clamp32(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<int>::max()));
}
} // namespace

PrintSize PrintableArea(const PrintDeviceCaps& caps)
{
    if (caps.LX <= 0 || caps.LY <= 0) {
        return {};
    }
    const std::int64_t w = (std::int64_t{caps.PW} - 2 * std::int64_t{caps.OX}) * 100 / caps.LX;
    const std::int64_t h = (std::int64_t{caps.PH} - 2 * std::int64_t{caps.OY}) * 100 / caps.LY;
    if (w <= 0 || h <= 0) {
        return {};
    }
    return {Clamp32(w), Clamp32(h)};
}

PrintSize FitPageToArea(const PrintSize& area, int w, int h)
{
    if (area.IsEmpty() || w <= 0 || h <= 0) {
        return {};
    }
    const std::int64_t d = std::int64_t{area.width} * h / w;
    PrintSize drawn;
    if (d < area.height) {
        drawn = {area.width, Clamp32(d)};
    } else {
        drawn = {Clamp32(std::int64_t{area.height} * w / h), area.height};
    }
    // A sliver of a page (a few pixels high on a wide sheet) can truncate to nothing.
    return drawn.IsEmpty() ? PrintSize{} : drawn;
}
