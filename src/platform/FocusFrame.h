#pragma once
// The frame that shows which pane has the keyboard focus. Each pane (the strip, the page view) gets a frame
// of its own, two pixels wide in every look, around its visible area: in the look's mid colour, and in the
// look's selection colour, made strong enough to stand out against the pane as text does (4.5 : 1; WCAG asks
// 3 : 1 of a focus indicator), while the pane has the keyboard focus. The frame never covers the content.

#include <QColor>

class QFrame;
class QPalette;

constexpr int kFocusFrameWidth = 2;

QColor FocusFrameColor(const QPalette& palette);
// Gives `pane` its frame; done once, when the pane is made.
void SetUpPaneFrame(QFrame* pane);
// Paints the frame; called when the pane itself (not its viewport) is painted, after its own painting.
void PaintPaneFrame(QFrame* pane);
