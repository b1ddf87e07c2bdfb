#include "dialogs/DialogValidation.h"

#include "core/Strings.h"

#include <QRegularExpression>

IntFieldResult ReadIntField(const QString& text, int min, int max, int* value)
{
    static const QRegularExpression kInteger(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!kInteger.match(text).hasMatch()) {
        return IntFieldResult::NotInteger;
    }
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < min || v > max) {
        return IntFieldResult::OutOfRange;
    }
    *value = static_cast<int>(v);
    return IntFieldResult::Ok;
}

QString IntFieldMessage(IntFieldResult result, int min, int max)
{
    if (result == IntFieldResult::NotInteger) {
        return LoadString(Str::DialogIntegerExpected);
    }
    return LoadString(Str::DialogIntegerRange).arg(min).arg(max);
}
