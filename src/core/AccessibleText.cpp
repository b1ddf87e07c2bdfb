#include "core/AccessibleText.h"

#include <QCoreApplication>

namespace {
const char* const kContext = "Accessible";

QString Tr(const char* text)
{
    return QCoreApplication::translate(kContext, text);
}
} // namespace

QString AccessibleCommandName(const QString& menuText)
{
    const qsizetype tab = menuText.indexOf(u'\t');
    const QString text = tab < 0 ? menuText : menuText.left(tab);
    QString name;
    name.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (i + 1 < text.size() && text.at(i + 1) == u'&') {
                name += u'&';
                ++i;
            }
            continue;
        }
        name += text.at(i);
    }
    return name.trimmed();
}

QString AccessibleButtonName(const QString& menuText)
{
    QString name = AccessibleCommandName(menuText);
    if (name.endsWith(QStringLiteral("..."))) {
        name.chop(3);
    }
    return name.trimmed();
}

QString AccessibleKeyHint(const QString& menuText)
{
    const qsizetype tab = menuText.indexOf(u'\t');
    return tab < 0 ? QString() : menuText.mid(tab + 1).trimmed();
}

QString PageViewText(int page, int pageCount, double zoomPercent, int rotation)
{
    if (page < 1) {
        return Tr(QT_TRANSLATE_NOOP("Accessible", "Keine Seite"));
    }
    const int zoom = static_cast<int>(zoomPercent);
    QString text =
        pageCount >= page
            ? Tr(QT_TRANSLATE_NOOP("Accessible", "Seite %1 von %2, %3 %")).arg(page).arg(pageCount).arg(zoom)
            : Tr(QT_TRANSLATE_NOOP("Accessible", "Seite %1, %2 %")).arg(page).arg(zoom);
    // Quarter turns clockwise; three of them are said the way the command that makes them is named.
    static const int kDegrees[4] = {0, 90, 180, -90};
    const int degrees = kDegrees[rotation & 3];
    if (degrees != 0) {
        text += Tr(QT_TRANSLATE_NOOP("Accessible", ", gedreht %1°")).arg(degrees);
    }
    return text;
}

QString StripAccessibleName()
{
    return Tr(QT_TRANSLATE_NOOP("Accessible", "Seiten"));
}

QString PageBoxAccessibleName()
{
    return Tr(QT_TRANSLATE_NOOP("Accessible", "Seite"));
}

QString PageBoxDescription(int pageCount)
{
    return pageCount > 0 ? Tr(QT_TRANSLATE_NOOP("Accessible", "von %1")).arg(pageCount) : QString();
}
