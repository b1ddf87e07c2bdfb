#pragma once
// Where the main window reappears: the rectangle stored at the last exit, checked against the screens of
// today. Settings files can hold anything (edited by hand, copied from another machine, a monitor that is
// gone), so the values are read in 64 bits and only a rectangle that makes sense is used.

#include <QRect>

#include <optional>
#include <vector>

inline constexpr int kPlacementUnset = -10000;
inline constexpr int kPlacementMinWidth = 400;
inline constexpr int kPlacementMinHeight = 300;

// The window rectangle for the stored "PosX1", "PosX2", "PosY1", "PosY2", or none for the placement of a
// fresh installation. None when a value is unset (-10000 or lower), the rectangle is empty or inverted,
// smaller than 400 x 300, or no screen can hold 400 x 300. Otherwise the rectangle on the screen it covers
// most (the first screen when it covers none): no larger than that screen's available area and moved
// into it.
std::optional<QRect> RestoredPlacement(int x1, int x2, int y1, int y2, const std::vector<QRect>& screens);
