#include "core/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const std::vector<QRect> kOneScreen{QRect(0, 0, 1920, 1050)}; // a 1920 x 1080 screen less a panel
const std::vector<QRect> kTwoScreens{QRect(0, 0, 1920, 1050), QRect(1920, 0, 1280, 1024)};

TEST(Placement, ASensibleRectangleComesBackExactly)
{
    EXPECT_EQ(RestoredPlacement(100, 900, 50, 650, kOneScreen), QRect(100, 50, 800, 600));
    // On the second screen it stays there.
    EXPECT_EQ(RestoredPlacement(2000, 3000, 10, 910, kTwoScreens), QRect(2000, 10, 1000, 900));
}

TEST(Placement, UnsetEmptyInvertedOrTinyGivesTheFreshInstallation)
{
    EXPECT_EQ(RestoredPlacement(-10000, -10000, -10000, -10000, kOneScreen), std::nullopt);
    EXPECT_EQ(RestoredPlacement(-10000, 900, 50, 650, kOneScreen), std::nullopt);
    EXPECT_EQ(RestoredPlacement(500, 400, 50, 650, kOneScreen), std::nullopt);
    EXPECT_EQ(RestoredPlacement(100, 100, 50, 650, kOneScreen), std::nullopt);
    EXPECT_EQ(RestoredPlacement(100, 499, 50, 650, kOneScreen), std::nullopt);
    EXPECT_EQ(RestoredPlacement(100, 900, 50, 349, kOneScreen), std::nullopt);
    EXPECT_EQ(RestoredPlacement(100, 900, 50, 650, {}), std::nullopt);
    EXPECT_EQ(RestoredPlacement(100, 900, 50, 650, {QRect(0, 0, 320, 240)}), std::nullopt);
}

// Regression: PosX1=-9999 with PosX2=2147483647 overflowed and gave a 177 x 138 window at -159,-106.
TEST(Placement, HugeOrFarAwayRectanglesAreBroughtOntoTheScreen)
{
    EXPECT_EQ(RestoredPlacement(-9999, INT_MAX, -9999, INT_MAX, kOneScreen), QRect(0, 0, 1920, 1050));
    EXPECT_EQ(RestoredPlacement(INT_MAX - 1000, INT_MAX, INT_MAX - 800, INT_MAX, kOneScreen),
              QRect(920, 250, 1000, 800));
    // Saved on a screen that is gone: moved onto the first screen, keeping its size.
    EXPECT_EQ(RestoredPlacement(5000, 5800, 3000, 3600, kOneScreen), QRect(1120, 450, 800, 600));
    // Half off the left edge: moved in.
    EXPECT_EQ(RestoredPlacement(-300, 500, 100, 700, kOneScreen), QRect(0, 100, 800, 600));
    // Reaching over both screens: the screen it covers most takes it.
    EXPECT_EQ(RestoredPlacement(1800, 3100, 0, 1000, kTwoScreens), QRect(1920, 0, 1280, 1000));
}

} // namespace
