#include "core/WindowPlacement.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const std::vector<QRect> kOneScreen{QRect(0, 0, 1920, 1050)}; // a 1920 x 1080 screen less a panel
const std::vector<QRect> kTwoScreens{QRect(0, 0, 1920, 1050), QRect(1920, 0, 1280, 1024)};
const std::vector<QRect> kLaptop{QRect(0, 0, 1280, 900)};

struct PlacementRow
{
    const char* what;
    int x1, x2, y1, y2;
    std::vector<QRect> screens;
    std::optional<QRect> frame; // none: the default placement
};

TEST(Placement, StoredFrameRectangleOnTodaysScreens)
{
    const PlacementRow rows[] = {
        {"sensible", 100, 900, 50, 650, kOneScreen, QRect(100, 50, 800, 600)},
        {"on the second screen", 2000, 3000, 10, 910, kTwoScreens, QRect(2000, 10, 1000, 900)},
        {"unset", -10000, -10000, -10000, -10000, kOneScreen, std::nullopt},
        {"one value unset", -10000, 900, 50, 650, kOneScreen, std::nullopt},
        {"inverted", 500, 400, 50, 650, kOneScreen, std::nullopt},
        {"empty", 100, 100, 50, 650, kOneScreen, std::nullopt},
        {"no screen", 100, 900, 50, 650, {}, std::nullopt},
        // Absurd: beyond any window system's coordinates (once a 177 x 138 window at -159,-106).
        {"huge", -9999, INT_MAX, -9999, INT_MAX, kOneScreen, std::nullopt},
        {"far away", INT_MAX - 1000, INT_MAX, INT_MAX - 800, INT_MAX, kOneScreen, std::nullopt},
        {"beyond 16 bits", 100, 40000, 50, 650, kOneScreen, std::nullopt},
        // Smaller than 400 x 300: enlarged where it was; a smaller screen wins.
        {"tiny", 100, 101, 50, 51, kOneScreen, QRect(100, 50, 400, 300)},
        {"tiny screen", 0, 800, 0, 600, {QRect(0, 0, 320, 240)}, QRect(0, 0, 320, 240)},
        // Saved on a monitor that is gone: onto the first screen, keeping its size, title bar on screen.
        {"gone monitor", 5000, 5800, 3000, 3600, kOneScreen, QRect(1120, 450, 800, 600)},
        {"title bar above the screen", 300, 1100, -200, 400, kOneScreen, QRect(300, 0, 800, 600)},
        {"half off the left", -300, 500, 100, 700, kOneScreen, QRect(0, 100, 800, 600)},
        {"over both screens", 1800, 3100, 0, 1000, kTwoScreens, QRect(1920, 0, 1280, 1000)},
        // The whole screen's size at 1,20: the frame would hang off the bottom.
        {"screen-sized at 1,20", 1, 1281, 20, 920, kLaptop, QRect(0, 0, 1280, 900)},
    };
    for (const PlacementRow& r : rows) {
        const std::optional<QRect> got = RestoredPlacement(r.x1, r.x2, r.y1, r.y2, r.screens);
        EXPECT_EQ(got.has_value(), r.frame.has_value()) << r.what;
        if (got && r.frame) {
            EXPECT_EQ(testsupport::Describe(*got), testsupport::Describe(*r.frame)) << r.what;
        }
    }
}

TEST(Placement, DefaultWhatIsStoredAndTheStripsShare)
{
    EXPECT_EQ(DefaultPlacement(QRect(0, 0, 1920, 1050)), QRect(448, 141, 1024, 768));
    EXPECT_EQ(DefaultPlacement(QRect(1920, 30, 800, 600)), QRect(1920, 30, 800, 600));

    const QRect frame(100, 50, 800, 600);
    EXPECT_EQ(PlacementToStore(frame, true, 7, 8), (StoredPlacement{100, 900, 50, 650}));
    // Wayland tells no position: the one stored stays, the size is new.
    EXPECT_EQ(PlacementToStore(QRect(0, 0, 800, 600), false, 300, 200),
              (StoredPlacement{300, 1100, 200, 800}));
    EXPECT_EQ(PlacementToStore(QRect(0, 0, 800, 600), false, -10000, 40000),
              (StoredPlacement{0, 800, 0, 600}));

    // The strip's pane takes at most half: thumbnails 500 wide above the page in a maximised window.
    EXPECT_EQ(StripPaneExtent(185, 1266), 185);
    EXPECT_EQ(StripPaneExtent(768, 790), 395);
    EXPECT_EQ(StripPaneExtent(185, 0), 0);
}

} // namespace
