#pragma once
// For measuring start-up from outside: when the environment variable FOLIVANT_STAMP_FIRST_PAINT names a
// file, the moment the page view has first painted a page as it stays - whole, fitted to the view (filling
// its width or height) and sharp (nothing more on its way to it) - is written there once, on one line:
// CLOCK_MONOTONIC nanoseconds, so that a benchmark that started the program can subtract the time it
// started it, and the CPU time the process had used by then (all its threads), which other work on the
// machine barely changes. A paint of a page prepared for another size, or of a stand-in scaled from it,
// does not count. Without the variable nothing is watched.

class CViewImage;

void StampFirstPaintWhenAsked(CViewImage* view);
