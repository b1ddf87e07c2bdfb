#include "core/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace {

bool Usable(int v)
{
    return v > kPlacementUnset && v >= -kPlacementLimit && v <= kPlacementLimit;
}

std::int64_t Overlap(std::int64_t from, std::int64_t to, std::int64_t availFrom, std::int64_t availLength)
{
    return std::max<std::int64_t>(0, std::min(to, availFrom + availLength) - std::max(from, availFrom));
}

// A length of at least `least` and at most `avail` (a smaller screen wins over the least size).
std::int64_t Fit(std::int64_t length, std::int64_t least, std::int64_t avail)
{
    return std::clamp(length, std::min(least, avail), avail);
}

} // namespace

std::optional<QRect> RestoredPlacement(int x1, int x2, int y1, int y2, const std::vector<QRect>& screens)
{
    if (!Usable(x1) || !Usable(x2) || !Usable(y1) || !Usable(y2) || x1 >= x2 || y1 >= y2 || screens.empty()) {
        return std::nullopt;
    }
    const QRect* best = &screens.front();
    std::int64_t bestArea = 0;
    for (const QRect& s : screens) {
        const std::int64_t area = Overlap(x1, x2, s.x(), s.width()) * Overlap(y1, y2, s.y(), s.height());
        if (area > bestArea) {
            bestArea = area;
            best = &s;
        }
    }
    if (best->isEmpty()) {
        return std::nullopt;
    }
    const std::int64_t width = Fit(std::int64_t(x2) - x1, kPlacementMinWidth, best->width());
    const std::int64_t height = Fit(std::int64_t(y2) - y1, kPlacementMinHeight, best->height());
    // Moved in as little as needed: a window half off the edge comes back beside it.
    const std::int64_t left = std::clamp<std::int64_t>(x1, best->x(), best->x() + best->width() - width);
    const std::int64_t top = std::clamp<std::int64_t>(y1, best->y(), best->y() + best->height() - height);
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                 static_cast<int>(height));
}

QRect CentredIn(const QSize& size, const QRect& area)
{
    QRect r(QPoint(0, 0), size);
    r.moveCenter(area.center());
    return r;
}

QRect DefaultPlacement(const QRect& screen)
{
    return CentredIn(QSize(std::min(kPlacementDefaultWidth, screen.width()),
                           std::min(kPlacementDefaultHeight, screen.height())),
                     screen);
}

StoredPlacement PlacementToStore(const QRect& frame, bool positionKnown, int storedX1, int storedY1)
{
    const int x = positionKnown ? frame.x() : Usable(storedX1) ? storedX1 : 0;
    const int y = positionKnown ? frame.y() : Usable(storedY1) ? storedY1 : 0;
    return {x, x + frame.width(), y, y + frame.height()};
}

int StripPaneExtent(int ideal, int total)
{
    return std::clamp(ideal, 0, std::max(0, total / 2));
}
