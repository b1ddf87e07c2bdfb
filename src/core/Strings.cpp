#include "core/Strings.h"

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
          QT_TRANSLATE_NOOP(
              "Strings", "Folivant\n\nFoliva\nTif-Datei (*.tif)\n.tif\nFolivant.Document\nFoliva Document"),
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
    Entry{Str::CmdArgumentsFile, QT_TRANSLATE_NOOP("Strings", "FolivantCmndArguments.txt"), true},
    Entry{Str::QuitNeedsPrint, QT_TRANSLATE_NOOP("Strings", "/q erfordert /p."), true},
    Entry{Str::RangeNeedsPrint, QT_TRANSLATE_NOOP("Strings", "/r erfordert /p."), true},
    Entry{Str::ListNeedsPrint, QT_TRANSLATE_NOOP("Strings", "/i erfordert /p."), true},
    Entry{Str::RangeSyntax, QT_TRANSLATE_NOOP("Strings", "Sytnax Fehler in Parameter /r."), true},
    Entry{Str::FileTypeUnsupported, QT_TRANSLATE_NOOP("Strings", "Der Dateityp wird nicht unterstützt."),
          true},
    Entry{Str::FileMissing, QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' existiert nicht."), true},
    Entry{Str::ListSyntax, QT_TRANSLATE_NOOP("Strings", "Sytnax Fehler in Parameter /i."), true},
    Entry{Str::FileNameRequired, QT_TRANSLATE_NOOP("Strings", "Ein Dateiname muss definiert werden."), true},
    Entry{Str::TargetReadOnly, QT_TRANSLATE_NOOP("Strings", "Die Zieldatei '%s' ist schreibgeschützt."),
          true},
    Entry{Str::CopyFailed,
          QT_TRANSLATE_NOOP("Strings", "Beim Kopieren der Datei '%s' nach '%s' ist ein Fehler aufgetreten."),
          true},
    Entry{Str::CopySucceeded,
          QT_TRANSLATE_NOOP("Strings", "Das Kopieren der Datei '%s' nach '%s' war erfolgreich."), true},
    Entry{Str::Error, QT_TRANSLATE_NOOP("Strings", "Fehler"), true},
    Entry{Str::OpenFilter,
          QT_TRANSLATE_NOOP("Strings", "Tif-Dateien (*.tif,*.tiff)|*.tif,*.tiff|Alle Dateien (*.*)|*.*||\""),
          true},
    Entry{Str::SameFile,
          QT_TRANSLATE_NOOP(
              "Strings",
              "Ein- und Ausgabedatei (Ordner und Name) sind identisch.\nDie Datei wurde nicht gespeichert."),
          true},
    Entry{Str::WrongFormat,
          QT_TRANSLATE_NOOP("Strings", "Die ausgewählte Datei '%s' hat ein falsches Format. "), true},
    Entry{Str::ThumbLabel, QT_TRANSLATE_NOOP("Strings", "Seite %d / %d"), true},
    Entry{Str::IndicatorCaps, QT_TRANSLATE_NOOP("Strings", "UF"), true},
    Entry{Str::IndicatorNum, QT_TRANSLATE_NOOP("Strings", "NUM"), true},
    Entry{Str::IndicatorScroll, QT_TRANSLATE_NOOP("Strings", "RF"), true},
    Entry{
        Str::CannotOpenFile,
        QT_TRANSLATE_NOOP(
            "Strings", "Die Datei '%s' kann nicht geöffnet werden.\nDas aktuelle Dokument bleibt geöffnet."),
        true},
    Entry{Str::RestartNeeded,
          QT_TRANSLATE_NOOP("Strings", "Die Änderung wird erst nach einem Neustart von Folivant wirksam."),
          true},
    Entry{Str::MarkLargerArea,
          QT_TRANSLATE_NOOP("Strings", "Markieren Sie bitte einen grösseren Ausschnitt!"), true},
    Entry{Str::CopyToClipboardOk,
          QT_TRANSLATE_NOOP("Strings", "Die Seite wurde erfolgreich in die Zwischenablage kopiert !"), true},
    Entry{Str::CopyToClipboardFailed,
          QT_TRANSLATE_NOOP("Strings",
                            "Seite konnte nicht kopiert werden. Ev. ist zuwenig Arbeitsspeicher verfügbar."),
          true},
    Entry{Str::DialogIntegerExpected, QT_TRANSLATE_NOOP("Strings", "Geben Sie eine ganze Zahl ein."), true},
    Entry{Str::DialogIntegerRange,
          QT_TRANSLATE_NOOP("Strings", "Geben Sie eine ganze Zahl zwischen %1 und %2 ein."), true},
    Entry{Str::MailNotLoaded,
          QT_TRANSLATE_NOOP("Strings", "Die Unterstützung für das Mailsystem kann nicht geladen werden."),
          true},
    Entry{Str::MailInvalid,
          QT_TRANSLATE_NOOP(
              "Strings", "Es wurde kein Mailprogramm gefunden, mit dem die Nachricht gesendet werden kann."),
          true},
    Entry{Str::MailFailed, QT_TRANSLATE_NOOP("Strings", "Fehler bei \"Nachricht senden\"."), true},
    Entry{Str::PrintNoPrinter,
          QT_TRANSLATE_NOOP("Strings", "Es ist kein Standarddrucker eingerichtet; es wurde nichts gedruckt."),
          true},
    Entry{Str::PrintFailed, QT_TRANSLATE_NOOP("Strings", "Der Druckauftrag ist fehlgeschlagen: %s"), true},
    Entry{Str::PrintUnreadable,
          QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' kann nicht gelesen werden; es wurde nichts gedruckt."),
          true},
    Entry{Str::PrintCannotWrite,
          QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' kann nicht geschrieben werden."), true},
    Entry{Str::NoDisplay,
          QT_TRANSLATE_NOOP("Strings",
                            "Kein Bildschirm erreichbar (DISPLAY, WAYLAND_DISPLAY); ohne Bildschirm "
                            "druckt Folivant nur mit /p /q."),
          true},
    Entry{Str::CannotOpenFileAlone,
          QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' kann nicht geöffnet werden."), true},
    Entry{Str::FileGone,
          QT_TRANSLATE_NOOP("Strings", "Die Datei '%s' existiert nicht mehr.\nDas Dokument bleibt angezeigt, "
                                       "bis eine andere Datei geöffnet wird."),
          true},
    Entry{Str::PrintNoPage,
          QT_TRANSLATE_NOOP("Strings", "Die Seitenauswahl enthält keine Seite dieses Dokuments (%d Seiten)."),
          true},
    Entry{Str::PrintNoPageOfOne,
          QT_TRANSLATE_NOOP("Strings", "Die Seitenauswahl enthält keine Seite dieses Dokuments (1 Seite)."),
          true},
    Entry{Str::PrintNoSuchPrinter,
          QT_TRANSLATE_NOOP("Strings", "Den Drucker '%s' gibt es nicht; es wurde nichts gedruckt."), true},
    Entry{Str::PrintNoSuchPrinterNamedBy,
          QT_TRANSLATE_NOOP("Strings",
                            "Den Drucker '%s', den %s nennt, gibt es nicht; es wurde nichts gedruckt."),
          true},
    Entry{Str::PrintReportFile, QT_TRANSLATE_NOOP("Strings", "Datei '%s'"), true},
    Entry{Str::PrintReportPrinter, QT_TRANSLATE_NOOP("Strings", "Drucker '%s'"), true},
    Entry{Str::CmdHelpUnreadable,
          QT_TRANSLATE_NOOP("Strings", "Die Kommandozeilen-Hilfe '%s' kann nicht gelesen werden."), true},
    Entry{Str::PrintUnavailable,
          QT_TRANSLATE_NOOP("Strings",
                            "Drucken ist nicht möglich: das Druckmodul fehlt oder ist beschädigt (%s)."),
          true},
    Entry{32773, QT_TRANSLATE_NOOP("Strings", "Vorhergehende Seite anzeigen\nVorhergehende Seite"), true},
    Entry{32774, QT_TRANSLATE_NOOP("Strings", "Nächste Seite anzeigen\nNächste Seite"), true},
    Entry{32775, QT_TRANSLATE_NOOP("Strings", "Bestimmte Seite anzeigen\nBestimmte Seite anzeigen"), true},
    Entry{32776, QT_TRANSLATE_NOOP("Strings", "Optionen Vorschaubilder\nOptionen Vorschaubilder"), true},
    Entry{32777, QT_TRANSLATE_NOOP("Strings", "Erste Seite anzeigen\nErste Seite"), true},
    Entry{32778, QT_TRANSLATE_NOOP("Strings", "Letzte Seite anzeigen\nLetzte Seite"), true},
    Entry{32779,
          QT_TRANSLATE_NOOP("Strings", "Aktuelle Seite um 90° im Gegenuhrzeigersinn drehen.\n-90° drehen"),
          true},
    Entry{32780, QT_TRANSLATE_NOOP("Strings", "Aktuelle Seite um 90° im Uhrzeigersinn drehen.\n90° drehen"),
          true},
    Entry{32781, QT_TRANSLATE_NOOP("Strings", "Drucken\nDrucken"), true},
    Entry{32786, QT_TRANSLATE_NOOP("Strings", "Angaben über den Support von Folivant."), true},
    Entry{32788, QT_TRANSLATE_NOOP("Strings", "Vergrössern\nVergrössern"), true},
    Entry{32789, QT_TRANSLATE_NOOP("Strings", "Verkleinern\nVerkleinern"), true},
    Entry{32790, QT_TRANSLATE_NOOP("Strings", "Ganze Seite\nGanze Seite"), true},
    Entry{32791, QT_TRANSLATE_NOOP("Strings", "Ganze Breite\nGanze Breite"), true},
    Entry{32792, QT_TRANSLATE_NOOP("Strings", "Tatsächliche Pixel\nTatsächliche Pixel"), true},
    Entry{32795, QT_TRANSLATE_NOOP("Strings", "Optionen Hauptbild\nOptionen Hauptbild"), true},
    Entry{32810, QT_TRANSLATE_NOOP("Strings", "Sprache wählen\nSprache wählen"), true},
    Entry{32837,
          QT_TRANSLATE_NOOP("Strings", "Speichert das aktive Dokument unter neuem Namen.\nSpeichern unter"),
          true},
    Entry{32841,
          QT_TRANSLATE_NOOP("Strings", "Vorhergehende Datei im Ordner laden und anzeigen.\nVorhergehende "
                                       "Datei im Ordner laden und anzeigen."),
          true},
    Entry{32842,
          QT_TRANSLATE_NOOP(
              "Strings",
              "Nächste Datei im Ordner laden und anzeigen.\nNächste Datei im Ordner laden und anzeigen."),
          true},
    Entry{Str::AppTitle, "Folivant", false},
    Entry{57601, QT_TRANSLATE_NOOP("Strings", "Öffnet ein bestehendes Dokument.\nÖffnen"), true},
    Entry{57606,
          QT_TRANSLATE_NOOP("Strings", "Ändert den Drucker und die Druckoptionen.\nDruckereinrichtung"),
          true},
    Entry{57612, QT_TRANSLATE_NOOP("Strings", "Sendet das aktive Dokument per Mail.\nSenden per Mail"), true},
    Entry{57616, QT_TRANSLATE_NOOP("Strings", "Öffnet dieses Dokument."), true},
    Entry{57634,
          QT_TRANSLATE_NOOP("Strings",
                            "Kopiert die Markierung und überträgt sie in die Zwischenablage.\nKopieren"),
          true},
    Entry{57643, QT_TRANSLATE_NOOP("Strings", "Macht die letzte Aktion rückgängig.\nRückgängig"), true},
    Entry{
        57664,
        QT_TRANSLATE_NOOP("Strings", "Zeigt Programm-Informationen, Versionsnummer und Copyright an.\nInfo"),
        true},
    Entry{57665,
          QT_TRANSLATE_NOOP("Strings",
                            "Verläßt die Anwendung; fragt, ob Dokumente gespeichert werden sollen.\nBeenden"),
          true},
};

static_assert(std::is_sorted(kTable.begin(), kTable.end(),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table is kept sorted by id");

} // namespace

QString LoadString(int id)
{
    auto it =
        std::lower_bound(kTable.begin(), kTable.end(), id, [](const Entry& e, int v) { return e.id < v; });
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

QString FormatString(int id, const QStringList& args)
{
    return FormatString(LoadString(id), args);
}
