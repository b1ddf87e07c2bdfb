#include "core/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace {

struct Span
{
    std::int64_t from;
    std::int64_t to; // exclusive
};

std::int64_t Overlap(Span a, std::int64_t from, std::int64_t length)
{
    return std::max<std::int64_t>(0, std::min(a.to, from + length) - std::max(a.from, from));
}

// Length `length` (at most `avail`'s) placed at `from`, moved as little as needed to lie within `avail`.
std::int64_t MoveInto(std::int64_t from, std::int64_t length, std::int64_t availFrom,
                      std::int64_t availLength)
{
    return std::clamp(from, availFrom, availFrom + availLength - length);
}

} // namespace

std::optional<QRect> RestoredPlacement(int x1, int x2, int y1, int y2, const std::vector<QRect>& screens)
{
    if (x1 <= kPlacementUnset || x2 <= kPlacementUnset || y1 <= kPlacementUnset || y2 <= kPlacementUnset ||
        x1 >= x2 || y1 >= y2 || screens.empty()) {
        return std::nullopt;
    }
    const Span h{x1, x2};
    const Span v{y1, y2};
    if (h.to - h.from < kPlacementMinWidth || v.to - v.from < kPlacementMinHeight) {
        return std::nullopt;
    }
    const QRect* best = &screens.front();
    std::int64_t bestArea = 0;
    for (const QRect& s : screens) {
        const std::int64_t area = Overlap(h, s.x(), s.width()) * Overlap(v, s.y(), s.height());
        if (area > bestArea) {
            bestArea = area;
            best = &s;
        }
    }
    const std::int64_t width = std::min<std::int64_t>(h.to - h.from, best->width());
    const std::int64_t height = std::min<std::int64_t>(v.to - v.from, best->height());
    if (width < kPlacementMinWidth || height < kPlacementMinHeight) {
        return std::nullopt;
    }
    const std::int64_t left = MoveInto(h.from, width, best->x(), best->width());
    const std::int64_t top = MoveInto(v.from, height, best->y(), best->height());
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                 static_cast<int>(height));
}
