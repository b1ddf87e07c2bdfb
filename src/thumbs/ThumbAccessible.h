#pragma once
// The thumbnail strip as assistive technology sees it: a list named "Seiten" with one item per page, named
// by the page's label ("Seite 3 / 12") and selected (and focused, while the strip has the keyboard focus)
// when it is the current page. Items are made only when a screen reader asks for them and then kept, so a
// document of thousands of pages costs nothing until then; and nothing is announced, nor anything made,
// while no screen reader listens.

class CListViewThumb;

// Lets Qt make the strip's accessible interface; the first strip does it, once for the program.
void InstallThumbAccessible();
// The current page moved from row `previous` (-1: none) to row `current`: the new page is selected, the
// old one no longer is, the strip's active item changed and, while the strip has the focus, the focus
// moved to the new page's item.
void NotifyThumbPageChanged(CListViewThumb* strip, int previous, int current);
// The strip got the keyboard focus: its current page is the focused item.
void NotifyThumbFocus(CListViewThumb* strip);
