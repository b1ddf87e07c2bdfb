#pragma once
// What the window system lets a program know and do with the places of its windows.

#include <QGuiApplication>

// Wayland tells no program where its windows are and moves none: the compositor places them.
inline bool WindowPositionsKnown()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}
