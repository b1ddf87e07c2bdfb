#pragma once
// Where the program's own accessibility events go: to the screen reader through Qt while one listens, and
// nowhere (with nothing computed for them) while none does. Tests listen in place of a screen reader.

#include <functional>

class QAccessibleEvent;

// A screen reader (or a test) listens.
bool ScreenReaderListens();
void NotifyAccessible(QAccessibleEvent& event);
// Tests: every event goes to `listener` instead, and ScreenReaderListens() holds; an empty one ends that.
void ListenToAccessibleEvents(std::function<void(QAccessibleEvent&)> listener);
