#pragma once
// What the screen shows of the thumbnail strip: the pixels its window last flushed, so that a part the
// strip failed to repaint shows as it was, not as a fresh rendering would draw it.

#include <QImage>
#include <QRect>

#include <string>
#include <vector>

class QWidget;
class CListViewThumb;

namespace testsupport {

// The widget's part of its window as last flushed to the screen.
QImage OnScreen(const QWidget* widget);
// The rows whose label band shows the selection colour on the screen (visible labels only).
std::vector<int> HighlightedLabels(const CListViewThumb& strip);
// Waits until the label of `row`, and only it, shows highlighted, then checks that (fatally: a test
// stops at the first wrong screen) and that the whole item is in view; `how` names the step in failure
// messages.
void ExpectOnlyLabelHighlighted(const CListViewThumb& strip, int row, const char* how);
// The bounding box of the dark pixels of `image` inside `area`; empty if none.
QRect DarkBox(const QImage& image, const QRect& area);

} // namespace testsupport
