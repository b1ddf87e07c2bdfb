#pragma once
// The page view as assistive technology sees it: an image named and described by what it shows, "Seite 3
// von 12, 35 %" (", gedreht 90°" when turned), busy while the page it was asked for is still being
// decoded. The view reports that what it shows may have changed; a screen reader hears of it only when the
// text did change and the page count is known, and nothing at all happens while no screen reader listens.

class CViewImage;

// Lets Qt make the page view's accessible interface; the first view does it, once for the program.
void InstallViewAccessible();
// The page, the page count, the zoom, the turn or the loading may have changed.
void NotifyViewChanged(CViewImage* view);
