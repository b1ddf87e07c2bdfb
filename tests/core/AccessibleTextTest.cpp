#include "core/AccessibleText.h"

#include <gtest/gtest.h>

namespace {

TEST(AccessibleText, CommandNamesLoseTheKeyHintAndTheAcceleratorMarks)
{
    struct Row
    {
        const char* menu;
        const char* name;
        const char* button;
        const char* hint;
    };
    const Row rows[] = {
        {"Ö&ffnen...\tStrg+O", "Öffnen...", "Öffnen", "Strg+O"},
        {"&Drehen 90°\tR | Pfeil rechts", "Drehen 90°", "Drehen 90°", "R | Pfeil rechts"},
        {"Ve&rkleinern\t- | Strg + -", "Verkleinern", "Verkleinern", "- | Strg + -"},
        {"Senden per Mail...", "Senden per Mail...", "Senden per Mail", ""},
        {"&1 /home/anna/Briefe && Faxe/a.tif", "1 /home/anna/Briefe & Faxe/a.tif",
         "1 /home/anna/Briefe & Faxe/a.tif", ""},
        {"&?", "?", "?", ""},
    };
    for (const Row& r : rows) {
        const QString menu = QString::fromUtf8(r.menu);
        EXPECT_EQ(AccessibleCommandName(menu), QString::fromUtf8(r.name)) << r.menu;
        EXPECT_EQ(AccessibleButtonName(menu), QString::fromUtf8(r.button)) << r.menu;
        EXPECT_EQ(AccessibleKeyHint(menu), QString::fromUtf8(r.hint)) << r.menu;
    }
}

TEST(AccessibleText, ThePageViewSaysPageCountZoomAndTurn)
{
    struct Row
    {
        int page, count;
        double zoom;
        int rotation;
        const char* text;
    };
    const Row rows[] = {
        {3, 12, 35.9, 0, "Seite 3 von 12, 35 %"},
        {3, 12, 35.0, 1, "Seite 3 von 12, 35 %, gedreht 90°"},
        {1, 1, 100.0, 2, "Seite 1 von 1, 100 %, gedreht 180°"},
        {12, 12, 5.0, 3, "Seite 12 von 12, 5 %, gedreht -90°"},
        {1, -1, 26.4, 0, "Seite 1, 26 %"}, // the pages are not counted yet
        {0, 12, 100.0, 1, "Keine Seite"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(PageViewText(r.page, r.count, r.zoom, r.rotation), QString::fromUtf8(r.text)) << r.text;
    }
    EXPECT_EQ(PageBoxDescription(12), QStringLiteral("von 12"));
    EXPECT_EQ(PageBoxDescription(0), QString());
}

} // namespace
