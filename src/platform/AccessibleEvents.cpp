#include "platform/AccessibleEvents.h"

#include <QAccessible>

namespace {
std::function<void(QAccessibleEvent&)>& Listener()
{
    static std::function<void(QAccessibleEvent&)> listener;
    return listener;
}
} // namespace

bool ScreenReaderListens()
{
    return Listener() || QAccessible::isActive();
}

void NotifyAccessible(QAccessibleEvent& event)
{
    if (Listener()) {
        Listener()(event);
    } else {
        QAccessible::updateAccessibility(&event);
    }
}

void ListenToAccessibleEvents(std::function<void(QAccessibleEvent&)> listener)
{
    Listener() = std::move(listener);
}
