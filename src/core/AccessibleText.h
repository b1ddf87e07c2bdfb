#pragma once
// What a screen reader says of the program's controls: the names and descriptions that assistive
// technology reads. Plain text rules on the program's own texts, no widgets.

#include <QString>

// The name of a command in a menu: its menu text without the key hint after "\t" and without the
// accelerator marks ("Ö&ffnen...\tStrg+O" is "Öffnen...", a doubled "&&" stands for one "&").
QString AccessibleCommandName(const QString& menuText);
// The same for a toolbar button, which opens nothing further by its name: without a trailing "...".
QString AccessibleButtonName(const QString& menuText);
// The key hint of a menu text: what follows the "\t" ("Strg+O"), empty when there is none.
QString AccessibleKeyHint(const QString& menuText);

// The page view's name and description: "Seite 3 von 12, 35 %", with ", gedreht 90°" (180°, -90°) when the
// page is turned. `page` is 1-based; a page count below the page (not known yet) is left out ("Seite 1,
// 35 %"); no page at all gives "Keine Seite". The zoom is said in whole percent, truncated.
QString PageViewText(int page, int pageCount, double zoomPercent, int rotation);

// The thumbnail strip ("Seiten") and the toolbar's page number box ("Seite").
QString StripAccessibleName();
QString PageBoxAccessibleName();
// What the page box says after its number: "von 12"; nothing without pages.
QString PageBoxDescription(int pageCount);
