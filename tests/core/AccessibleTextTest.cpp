#include "core/AccessibleText.h"

#include <gtest/gtest.h>

namespace {

TEST(AccessibleText, CommandNamesLoseTheKeyHintAndTheAcceleratorMarks)
{
    // Menu text, its name, a toolbar button's name, the key hint.
    const char* rows[][4] = {
        {"Ö&ffnen...\tStrg+O", "Öffnen...", "Öffnen", "Strg+O"},
        {"&Drehen 90°\tR | Pfeil rechts", "Drehen 90°", "Drehen 90°", "R | Pfeil rechts"},
        {"&1 /home/a/B && C.tif", "1 /home/a/B & C.tif", "1 /home/a/B & C.tif", ""},
    };
    for (const auto& r : rows) {
        const QString menu = QString::fromUtf8(r[0]);
        EXPECT_EQ(AccessibleCommandName(menu), QString::fromUtf8(r[1])) << r[0];
        EXPECT_EQ(AccessibleButtonName(menu), QString::fromUtf8(r[2])) << r[0];
        EXPECT_EQ(AccessibleKeyHint(menu), QString::fromUtf8(r[3])) << r[0];
    }
}

TEST(AccessibleText, ThePageViewSaysPageCountZoomAndTurn)
{
    EXPECT_EQ(PageViewText(3, 12, 35.9, 0), QStringLiteral("Seite 3 von 12, 35 %"));
    EXPECT_EQ(PageViewText(3, 12, 35.0, 1), QStringLiteral("Seite 3 von 12, 35 %, gedreht 90°"));
    EXPECT_EQ(PageViewText(1, 1, 100.0, 2), QStringLiteral("Seite 1 von 1, 100 %, gedreht 180°"));
    EXPECT_EQ(PageViewText(12, 12, 5.0, 3), QStringLiteral("Seite 12 von 12, 5 %, gedreht -90°"));
    EXPECT_EQ(PageViewText(1, -1, 26.4, 0), QStringLiteral("Seite 1, 26 %")); // not counted yet
    EXPECT_EQ(PageViewText(0, 12, 100.0, 1), QStringLiteral("Keine Seite"));
    EXPECT_EQ(PageBoxDescription(12) + PageBoxDescription(0), QStringLiteral("von 12"));
}

} // namespace
