#pragma once

#include <QIcon>
#include <QString>

// The program's 16 x 16 (and 32 x 32) command icons, tinted to the current palette's text colour so
// they stay visible in dark looks. `name` is the icon's file name without size, e.g. "zoom-in".
QIcon FolivantIcon(const QString& name);
// Forget tinted icons after the look changed.
void ResetFolivantIcons();
