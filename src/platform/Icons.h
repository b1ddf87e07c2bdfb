#pragma once

#include <QIcon>
#include <QString>

// The program's 16 x 16 (and 32 x 32) command icons, tinted to the current palette's text colour so
// they stay visible in dark looks. `name` is the icon's file name without size, e.g. "zoom-in".
QIcon FolivantIcon(const QString& name);
// Starts decoding the pictures of every icon on a thread of its own, once the application object exists;
// FolivantIcon then takes them from there (waiting for the thread if need be) instead of decoding them.
void DecodeFolivantIconsAhead();
// Forget tinted icons after the look changed.
void ResetFolivantIcons();
