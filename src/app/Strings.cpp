#include "app/Strings.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace {

struct Entry
{
    int id;
    const char* text;
    bool translatable;
};

// Sorted by id. Names of settings and of files beside the program are not translated: the English
// program reads the same settings and ships the same files.
constexpr std::array kTable{
    Entry{Str::DocTemplate,
          QT_TRANSLATE_NOOP("Strings", "Folivant\n\nFoliva\nTif-Datei (*.tif)\n.tif\nFolivant.Document\nFoliva Document"),
          true},
    Entry{Str::Information, QT_TRANSLATE_NOOP("Strings", "Information"), true},
    Entry{Str::ExpectedInteger, QT_TRANSLATE_NOOP("Strings", "Erwartete Eingabe: Ganzzahl."), true},
    Entry{Str::HelpBook, QT_TRANSLATE_NOOP("Strings", "help/de"), true},
    Entry{Str::SectionMisc, "Misc", false},
    Entry{Str::LogoFile, "FolivantLogo.bmp", false},
    Entry{Str::SettingAbout, "About", false},
    Entry{Str::MenuCopy, QT_TRANSLATE_NOOP("Strings", "Kopieren"), true},
    Entry{Str::MenuZoomIn, QT_TRANSLATE_NOOP("Strings", "Vergrössern"), true},
    Entry{Str::MenuZoomOut, QT_TRANSLATE_NOOP("Strings", "Verkleinern"), true},
    Entry{Str::MenuWholePage, QT_TRANSLATE_NOOP("Strings", "Ganze Seite"), true},
    Entry{Str::MenuWholeWidth, QT_TRANSLATE_NOOP("Strings", "Ganze Breite"), true},
    Entry{Str::MenuActualSize, QT_TRANSLATE_NOOP("Strings", "Originalgrösse"), true},
    Entry{Str::MenuRotateCw, QT_TRANSLATE_NOOP("Strings", "Drehen 90°"), true},
    Entry{Str::MenuRotateCcw, QT_TRANSLATE_NOOP("Strings", "Drehen -90°"), true},
    Entry{Str::Product, QT_TRANSLATE_NOOP("Strings", "Folivant V1.15"), true},
    Entry{Str::CmdArgumentsFile, "FolivantCmndArguments.txt", false},
    Entry{Str::QuitNeedsPrint, QT_TRANSLATE_NOOP("Strings", "/q erfordert /p."), true},
    Entry{Str::RangeNeedsPrint, QT_TRANSLATE_NOOP("Strings", "/r erfordert /p."), true},
    Entry{Str::ListNeedsPrint, QT_TRANSLATE_NOOP("Strings", "/i erfordert /p."), true},
    Entry{Str::RangeSyntax, QT_TRANSLATE_NOOP("Strings", "Sytnax Fehler in Parameter /r."), true},
    Entry{Str::FileTypeUnsupported, QT_TRANSLATE_NOOP("Strings", "Der Dateityp wird nicht unterstützt."), true},
    Entry{Str::FileMissing, QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' existiert nicht."), true},
    Entry{Str::ListSyntax, QT_TRANSLATE_NOOP("Strings", "Sytnax Fehler in Parameter /i."), true},
    Entry{Str::FileNameRequired, QT_TRANSLATE_NOOP("Strings", "Ein Dateiname muss definiert werden."), true},
    Entry{Str::TargetReadOnly, QT_TRANSLATE_NOOP("Strings", "Die Zieldatei '%s' ist schreibgeschützt."), true},
    Entry{Str::CopyFailed,
          QT_TRANSLATE_NOOP("Strings", "Beim Kopieren der Datei '%s' nach '%s' ist ein Fehler aufgetreten."), true},
    Entry{Str::CopySucceeded, QT_TRANSLATE_NOOP("Strings", "Das Kopieren der Datei '%s' nach '%s' war erfolgreich."),
          true},
    Entry{Str::Error, QT_TRANSLATE_NOOP("Strings", "Fehler"), true},
    Entry{Str::OpenFilter,
          QT_TRANSLATE_NOOP("Strings", "Tif-Dateien (*.tif,*.tiff)|*.tif,*.tiff|Alle Dateien (*.*)|*.*||\""), true},
    Entry{Str::SameFile,
          QT_TRANSLATE_NOOP("Strings",
                            "Ein- und Ausgabedatei (Ordner und Name) sind identisch.\nDie Datei wurde nicht gespeichert."),
          true},
    Entry{Str::WrongFormat, QT_TRANSLATE_NOOP("Strings", "Die ausgewählte Datei '%s' hat ein falsches Format. "), true},
    Entry{Str::ThumbLabel, QT_TRANSLATE_NOOP("Strings", "Seite %d / %d"), true},
    Entry{Str::IndicatorCaps, QT_TRANSLATE_NOOP("Strings", "UF"), true},
    Entry{Str::IndicatorNum, QT_TRANSLATE_NOOP("Strings", "NUM"), true},
    Entry{Str::IndicatorScroll, QT_TRANSLATE_NOOP("Strings", "RF"), true},
    Entry{Str::CannotOpenFile,
          QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' kann nicht geöffnet werden.\nDas aktuelle Dokument bleibt geöffnet."),
          true},
    Entry{Str::RestartNeeded, QT_TRANSLATE_NOOP("Strings", "Die Änderung wird erst nach einem Neustart von Folivant wirksam."),
          true},
    Entry{Str::MarkLargerArea, QT_TRANSLATE_NOOP("Strings", "Markieren Sie bitte einen grösseren Ausschnitt!"), true},
    Entry{Str::CopyToClipboardOk,
          QT_TRANSLATE_NOOP("Strings", "Die Seite wurde erfolgreich in die Zwischenablage kopiert !"), true},
    Entry{Str::CopyToClipboardFailed,
          QT_TRANSLATE_NOOP("Strings", "Seite konnte nicht kopiert werden. Ev. ist zuwenig Arbeitsspeicher verfügbar."),
          true},
    Entry{Str::DialogIntegerExpected, QT_TRANSLATE_NOOP("Strings", "Geben Sie eine ganze Zahl ein."), true},
    Entry{Str::DialogIntegerRange, QT_TRANSLATE_NOOP("Strings", "Geben Sie eine ganze Zahl zwischen %1 und %2 ein."),
          true},
    Entry{Str::AppTitle, "Folivant", false},
};

static_assert(std::is_sorted(kTable.begin(), kTable.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table is kept sorted by id");

} // namespace

QString LoadString(int id)
{
    auto it = std::lower_bound(kTable.begin(), kTable.end(), id, [](const Entry& e, int v) { return e.id < v; });
    if (it == kTable.end() || it->id != id) {
        return {};
    }
    return it->translatable ? QCoreApplication::translate("Strings", it->text) : QString::fromUtf8(it->text);
}

QString FormatString(const QString& format, const QStringList& args)
{
    QString out;
    out.reserve(format.size() + 64);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'%' && i + 1 < format.size()) {
            const QChar k = format.at(i + 1);
            if (k == u's' || k == u'd') {
                if (next < args.size()) {
                    out += args.at(next);
                }
                ++next;
                ++i;
                continue;
            }
            if (k == u'%') {
                out += u'%';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString FormatString(int id, const QStringList& args) { return FormatString(LoadString(id), args); }
