#pragma once
// Where the main window reappears: the rectangle stored at the last exit, checked against the screens of
// today. The rectangle is the window's frame rectangle - the window with its title bar and borders - and
// that of the window when it is neither maximised nor minimised; whether it was maximised is stored
// beside it. Settings files can hold anything (edited by hand, copied from another machine, a monitor
// that is gone), so the values are read in 64 bits and only a rectangle that makes sense is used.

#include <QRect>

#include <optional>
#include <vector>

inline constexpr int kPlacementUnset = -10000;
inline constexpr int kPlacementMinWidth = 400;
inline constexpr int kPlacementMinHeight = 300;
// No window system places a window beyond X11's 16-bit coordinates: values past them are damage.
inline constexpr int kPlacementLimit = 32767;
inline constexpr int kPlacementDefaultWidth = 1024;
inline constexpr int kPlacementDefaultHeight = 768;

// The frame rectangle for the stored "PosX1", "PosX2", "PosY1", "PosY2" on screens whose available areas
// are `screens`, or none for the default placement: when a value is unset (-10000 or lower) or beyond
// +-32767, the rectangle is empty or inverted, or there is no screen. Otherwise the rectangle on the
// screen it covers most (the first screen when it covers none), at least 400 x 300 and at most that
// screen's available area, moved as little as needed to lie wholly within it - title bar included.
std::optional<QRect> RestoredPlacement(int x1, int x2, int y1, int y2, const std::vector<QRect>& screens);

// A rectangle of `size` centred on `area` (a window's frame on a screen or on its owner).
QRect CentredIn(const QSize& size, const QRect& area);

// The frame rectangle of a fresh installation on a screen whose available area is `screen`: 1024 x 768,
// no larger than the area, centred on it.
QRect DefaultPlacement(const QRect& screen);

// The four values stored for a window whose frame rectangle is `frame`. Where the window system does not
// tell windows where they are (Wayland), only the size is new: the stored position `storedX1`, `storedY1`
// stays, and the size is stored from it (from 0, 0 where none usable is stored).
struct StoredPlacement
{
    int x1;
    int x2;
    int y1;
    int y2;
    bool operator==(const StoredPlacement&) const = default;
};
StoredPlacement PlacementToStore(const QRect& frame, bool positionKnown, int storedX1, int storedY1);

// The extent of the thumbnail strip's pane along the splitter of extent `total`: `ideal`, but never more
// than half, so that the page view always keeps room.
int StripPaneExtent(int ideal, int total);
