#include "frame/PageInput.h"

#include "core/CommandLineInfo.h"

bool ParsePageInput(const QString& text, int* page)
{
    if (text.isEmpty()) {
        return false;
    }
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == u' ') {
        --end;
    }
    const QString t = text.mid(begin, end - begin);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const bool digit = c >= u'0' && c <= u'9';
        const bool leadingMinus = i == 0 && c == u'-' && t.size() > 1;
        if (!digit && !leadingMinus) {
            return false;
        }
    }
    const int value = t.isEmpty() ? 0 : ReadNumber(t);
    *page = value <= 0 ? 1 : value;
    return true;
}
