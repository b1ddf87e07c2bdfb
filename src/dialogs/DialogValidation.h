#pragma once
// Reading a whole number from a dialog's edit field, the way the dialogs have always checked it.

#include <QString>

enum class IntFieldResult
{
    Ok,
    NotInteger,
    OutOfRange
};

// Optional blanks, an optional sign, digits, optional blanks - nothing else. Then min <= value <= max.
IntFieldResult ReadIntField(const QString& text, int min, int max, int* value);
// The message for a failed read: "Geben Sie eine ganze Zahl ein." or the range message with min and max.
QString IntFieldMessage(IntFieldResult result, int min, int max);
