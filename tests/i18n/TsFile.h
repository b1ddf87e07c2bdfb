#pragma once
// Reading Qt Linguist .ts files and running lupdate on the program's sources, for the translation tests.

#include <QString>
#include <QStringList>

#include <vector>

namespace i18ntest {

struct TsMessage
{
    QString context;
    QString source;
    QString comment;
    QString type;      // "" for finished; "unfinished", "vanished", "obsolete"
    QStringList forms; // the translation, or its numerus forms
    bool numerus = false;

    QString Key() const { return context + u'\x1f' + source + u'\x1f' + comment; }
    // "Context: source", with line breaks and tabs made visible, for failure messages.
    QString Describe() const;
    bool IsFinished() const;
};

struct TsFile
{
    QString language;
    QString sourceLanguage;
    std::vector<TsMessage> messages;
    QString error; // empty when the file was read
};

TsFile ReadTsFile(const QString& path);

// Runs lupdate over src/ of the source tree into a fresh .ts in `folder`; returns its path, or an empty
// string with `log` holding lupdate's output.
QString ScanSources(const QString& folder, QString* log);

// The placeholders of a text in order: %s, %d, %1 ... %99, %L1, %n, %%.
QStringList Placeholders(const QString& text);

// The character marked with a single "&" (lower-cased), or a null QChar; "&&" is a literal ampersand.
// The text after a "\t" (the key hint) does not count.
QChar AcceleratorOf(const QString& menuText);
int AcceleratorMarks(const QString& menuText);

} // namespace i18ntest
