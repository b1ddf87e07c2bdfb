<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>Accessible</name>
    <message>
        <source>Keine Seite</source>
        <translation>No page</translation>
    </message>
    <message>
        <source>Seite %1 von %2, %3 %</source>
        <translation>Page %1 of %2, %3 %</translation>
    </message>
    <message>
        <source>Seite %1, %2 %</source>
        <translation>Page %1, %2 %</translation>
    </message>
    <message>
        <source>, gedreht %1°</source>
        <translation>, rotated %1°</translation>
    </message>
    <message>
        <source>Seiten</source>
        <translation>Pages</translation>
    </message>
    <message>
        <source>Seite</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>von %1</source>
        <translation>of %1</translation>
    </message>
</context>
<context>
    <name>CDiaAbout</name>
    <message>
        <source>Info über...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Copyright © 2004-2026</source>
        <translation>Copyright © 2004-2026</translation>
    </message>
    <message>
        <source>Zentrel Software GmbH</source>
        <translation>Zentrel Software GmbH</translation>
    </message>
    <message>
        <source>Musterstadt</source>
        <translation>Musterstadt</translation>
    </message>
    <message>
        <source>Bei Programmstart nicht anzeigen.</source>
        <translation>Do not show at program start.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
</context>
<context>
    <name>CDiaHelp</name>
    <message>
        <source>Kommandozeilen-Parameter Folivant</source>
        <translation>Folivant Command-Line Parameters</translation>
    </message>
    <message>
        <source>Meldung:</source>
        <translation>Message:</translation>
    </message>
    <message>
        <source>Schliessen</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CDiaOptionBase</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CDiaOptionImage</name>
    <message>
        <source>Optionen Hauptbild</source>
        <translation>Main image options</translation>
    </message>
    <message>
        <source>Ausrichtung</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>Zentriert</source>
        <translation>Centred</translation>
    </message>
    <message>
        <source>Ecke links oben</source>
        <translation>Top left corner</translation>
    </message>
</context>
<context>
    <name>CDiaOptionLanguage</name>
    <message>
        <source>Optionen Sprache</source>
        <translation>Language options</translation>
    </message>
    <message>
        <source>Deutsch</source>
        <translation>German</translation>
    </message>
    <message>
        <source>Englisch</source>
        <translation>English</translation>
    </message>
</context>
<context>
    <name>CDiaOptionThumb</name>
    <message>
        <source>Optionen Vorschaubilder</source>
        <translation>Thumbnail options</translation>
    </message>
    <message>
        <source>Vorschaubilder anzeigen</source>
        <translation>Show thumbnails</translation>
    </message>
    <message>
        <source>Breite:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Pixel</source>
        <translation>Pixels</translation>
    </message>
    <message>
        <source>Qualität</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>Tief</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Mittel</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>Hoch</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Anordnung</source>
        <translation>Arrangement</translation>
    </message>
    <message>
        <source>Vertikal</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>Änderung wird erst nach Neustart von Folivant wirksam.</source>
        <translation>Change takes effect only after Folivant is restarted.</translation>
    </message>
</context>
<context>
    <name>CDiaPage</name>
    <message>
        <source>Seite anzeigen</source>
        <translation>Show page</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Seitennummer:</source>
        <translation>Page number:</translation>
    </message>
</context>
<context>
    <name>CDiaPrintSetup</name>
    <message>
        <source>Druckereinrichtung</source>
        <translation>Print Setup</translation>
    </message>
    <message>
        <source>Drucker</source>
        <translation>Printer</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Typ:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>Ort:</source>
        <translation>Location:</translation>
    </message>
    <message>
        <source>Es ist kein Drucker eingerichtet.</source>
        <translation>No printer is set up.</translation>
    </message>
    <message>
        <source>Papier</source>
        <translation>Paper</translation>
    </message>
    <message>
        <source>&amp;Grösse:</source>
        <translation>Si&amp;ze:</translation>
    </message>
    <message>
        <source>Ausrichtung</source>
        <translation>Orientation</translation>
    </message>
    <message>
        <source>&amp;Hochformat</source>
        <translation>P&amp;ortrait</translation>
    </message>
    <message>
        <source>&amp;Querformat</source>
        <translation>&amp;Landscape</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CDiaStatus</name>
    <message>
        <source>Die Datei wird geladen...</source>
        <translation>Loading the file...</translation>
    </message>
</context>
<context>
    <name>CHelpWindow</name>
    <message>
        <source>Folivant - Hilfe</source>
        <translation>Folivant - Help</translation>
    </message>
    <message>
        <source>Zurück</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Vorwärts</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Inhalt</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>&lt;p&gt;Die Hilfe wurde nicht gefunden:&lt;br&gt;%1&lt;/p&gt;</source>
        <translation>&lt;p&gt;The help was not found:&lt;br&gt;%1&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Fensterteiler</source>
        <translation>Pane divider</translation>
    </message>
    <message>
        <source>Fenstergrösse ändern</source>
        <translation>Resize window</translation>
    </message>
    <message>
        <source>Weitere Schaltflächen</source>
        <translation>More buttons</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>Ö&amp;ffnen...	Strg+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>Speichern unter...	Strg+S</source>
        <translation>Save As...	Ctrl+S</translation>
    </message>
    <message>
        <source>Nächste Datei	Strg+N</source>
        <translation>Next File	Ctrl+N</translation>
    </message>
    <message>
        <source>Vorhergehende Datei	Strg+V</source>
        <translation>Previous File	Ctrl+V</translation>
    </message>
    <message>
        <source>Senden per Mail...</source>
        <translation>Send by Mail...</translation>
    </message>
    <message>
        <source>&amp;Drucken...	Strg+P</source>
        <translation>&amp;Print...	Ctrl+P</translation>
    </message>
    <message>
        <source>Drucker&amp;einrichtung...</source>
        <translation>Print Set&amp;up...</translation>
    </message>
    <message>
        <source>Letzte Datei</source>
        <translation>Recent File</translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Rückgängig	Strg+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Kopieren	Strg+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Drehen 90°	R | Pfeil rechts</source>
        <translation>&amp;Rotate 90°	R | Right arrow</translation>
    </message>
    <message>
        <source>Drehen -90°	L | Pfeil links</source>
        <translation>Rotate -90°	L | Left arrow</translation>
    </message>
    <message>
        <source>&amp;Erste Seite	Home</source>
        <translation>&amp;First Page	Home</translation>
    </message>
    <message>
        <source>&amp;Vorhergehende Seite	Page Up</source>
        <translation>&amp;Previous Page	Page Up</translation>
    </message>
    <message>
        <source>Bestimmte Seite anzeigen</source>
        <translation>Show a given page</translation>
    </message>
    <message>
        <source>&amp;Gehe zu...</source>
        <translation>&amp;Go to...</translation>
    </message>
    <message>
        <source>&amp;Nächste Seite	Page down</source>
        <translation>&amp;Next Page	Page Down</translation>
    </message>
    <message>
        <source>&amp;Letzte Seite	End</source>
        <translation>&amp;Last Page	End</translation>
    </message>
    <message>
        <source>Ganze Breite</source>
        <translation>Whole Width</translation>
    </message>
    <message>
        <source>Gan&amp;ze Seite</source>
        <translation>&amp;Whole Page</translation>
    </message>
    <message>
        <source>Ve&amp;rkleinern	- | Strg + -</source>
        <translation>Zoom &amp;Out	- | Ctrl + -</translation>
    </message>
    <message>
        <source>&amp;Vergrössern	+ | Strg + +</source>
        <translation>Zoom &amp;In	+ | Ctrl + +</translation>
    </message>
    <message>
        <source>Tatsächliche &amp;Pixel</source>
        <translation>&amp;Actual Pixels</translation>
    </message>
    <message>
        <source>&amp;Vorschaubilder...</source>
        <translation>&amp;Thumbnails...</translation>
    </message>
    <message>
        <source>&amp;Hauptbild...</source>
        <translation>&amp;Main Image...</translation>
    </message>
    <message>
        <source>S&amp;prache...</source>
        <translation>&amp;Language...</translation>
    </message>
    <message>
        <source>Windows &amp;2000</source>
        <translation>Windows &amp;2000</translation>
    </message>
    <message>
        <source>Office &amp;XP</source>
        <translation>Office &amp;XP</translation>
    </message>
    <message>
        <source>&amp;Windows XP</source>
        <translation>&amp;Windows XP</translation>
    </message>
    <message>
        <source>Office 200&amp;3</source>
        <translation>Office 200&amp;3</translation>
    </message>
    <message>
        <source>Visual Studio 200&amp;5</source>
        <translation>Visual Studio 200&amp;5</translation>
    </message>
    <message>
        <source>Visual Studio 200&amp;8</source>
        <translation>Visual Studio 200&amp;8</translation>
    </message>
    <message>
        <source>&amp;Blue Style</source>
        <translation>&amp;Blue Style</translation>
    </message>
    <message>
        <source>B&amp;lack Style</source>
        <translation>B&amp;lack Style</translation>
    </message>
    <message>
        <source>&amp;Silver Style</source>
        <translation>&amp;Silver Style</translation>
    </message>
    <message>
        <source>&amp;Aqua Style</source>
        <translation>&amp;Aqua Style</translation>
    </message>
    <message>
        <source>Windows 7</source>
        <translation>Windows 7</translation>
    </message>
    <message>
        <source>Inhalt...</source>
        <translation>Contents...</translation>
    </message>
    <message>
        <source>Support...</source>
        <translation>Support...</translation>
    </message>
    <message>
        <source>Inf&amp;o über Folivant...</source>
        <translation>&amp;About Folivant...</translation>
    </message>
    <message>
        <source>&amp;Datei</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Bearbeiten</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Seite</source>
        <translation>&amp;Page</translation>
    </message>
    <message>
        <source>&amp;Ansicht</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Optionen</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>&amp;Benutzeroberfläche</source>
        <translation>&amp;User Interface</translation>
    </message>
    <message>
        <source>Office 200&amp;7</source>
        <translation>Office 200&amp;7</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <source>Folivant

Foliva
Tif-Datei (*.tif)
.tif
Folivant.Document
Foliva Document</source>
        <translation>Folivant

Foliva
Tif file (*.tif)
.tif
Folivant.Document
Foliva Document</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Erwartete Eingabe: Ganzzahl.</source>
        <translation>Expected input: integer.</translation>
    </message>
    <message>
        <source>help/de</source>
        <translation>help/en</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Vergrössern</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>Verkleinern</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>Ganze Seite</source>
        <translation>Whole Page</translation>
    </message>
    <message>
        <source>Ganze Breite</source>
        <translation>Whole Width</translation>
    </message>
    <message>
        <source>Originalgrösse</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>Drehen 90°</source>
        <translation>Rotate 90°</translation>
    </message>
    <message>
        <source>Drehen -90°</source>
        <translation>Rotate -90°</translation>
    </message>
    <message>
        <source>Folivant V1.15</source>
        <translation>Folivant V1.15</translation>
    </message>
    <message>
        <source>FolivantCmndArguments.txt</source>
        <translation>FolivantCmndArgumentsEng.txt</translation>
    </message>
    <message>
        <source>/q erfordert /p.</source>
        <translation>/q requires /p.</translation>
    </message>
    <message>
        <source>/r erfordert /p.</source>
        <translation>/r requires /p.</translation>
    </message>
    <message>
        <source>/i erfordert /p.</source>
        <translation>/i requires /p.</translation>
    </message>
    <message>
        <source>Sytnax Fehler in Parameter /r.</source>
        <translation>Syntax error in parameter /r.</translation>
    </message>
    <message>
        <source>Der Dateityp wird nicht unterstützt.</source>
        <translation>The file type is not supported.</translation>
    </message>
    <message>
        <source>Die Datei &apos;%s&apos; existiert nicht.</source>
        <translation>The file &apos;%s&apos; does not exist.</translation>
    </message>
    <message>
        <source>Sytnax Fehler in Parameter /i.</source>
        <translation>Syntax error in parameter /i.</translation>
    </message>
    <message>
        <source>Ein Dateiname muss definiert werden.</source>
        <translation>A file name must be given.</translation>
    </message>
    <message>
        <source>Die Zieldatei &apos;%s&apos; ist schreibgeschützt.</source>
        <translation>The target file &apos;%s&apos; is write-protected.</translation>
    </message>
    <message>
        <source>Beim Kopieren der Datei &apos;%s&apos; nach &apos;%s&apos; ist ein Fehler aufgetreten.</source>
        <translation>An error occurred while copying the file &apos;%s&apos; to &apos;%s&apos;.</translation>
    </message>
    <message>
        <source>Das Kopieren der Datei &apos;%s&apos; nach &apos;%s&apos; war erfolgreich.</source>
        <translation>The file &apos;%s&apos; was copied to &apos;%s&apos; successfully.</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Tif-Dateien (*.tif,*.tiff)|*.tif,*.tiff|Alle Dateien (*.*)|*.*||&quot;</source>
        <translation>Tif files (*.tif,*.tiff)|*.tif,*.tiff|All files (*.*)|*.*||&quot;</translation>
    </message>
    <message>
        <source>Ein- und Ausgabedatei (Ordner und Name) sind identisch.
Die Datei wurde nicht gespeichert.</source>
        <translation>Input and output file (folder and name) are identical.
The file was not saved.</translation>
    </message>
    <message>
        <source>Die ausgewählte Datei &apos;%s&apos; hat ein falsches Format. </source>
        <translation>The selected file &apos;%s&apos; has a wrong format. </translation>
    </message>
    <message>
        <source>Seite %d / %d</source>
        <translation>Page %d / %d</translation>
    </message>
    <message>
        <source>UF</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>RF</source>
        <translation>SCRL</translation>
    </message>
    <message>
        <source>Die Datei &apos;%s&apos; kann nicht geöffnet werden.
Das aktuelle Dokument bleibt geöffnet.</source>
        <translation>The file &apos;%s&apos; cannot be opened.
The current document stays open.</translation>
    </message>
    <message>
        <source>Die Änderung wird erst nach einem Neustart von Folivant wirksam.</source>
        <translation>The change will take effect only after Folivant is restarted.</translation>
    </message>
    <message>
        <source>Markieren Sie bitte einen grösseren Ausschnitt!</source>
        <translation>Please mark a larger area!</translation>
    </message>
    <message>
        <source>Die Seite wurde erfolgreich in die Zwischenablage kopiert !</source>
        <translation>The page was copied to the clipboard successfully!</translation>
    </message>
    <message>
        <source>Seite konnte nicht kopiert werden. Ev. ist zuwenig Arbeitsspeicher verfügbar.</source>
        <translation>The page could not be copied. There may not be enough memory available.</translation>
    </message>
    <message>
        <source>Geben Sie eine ganze Zahl ein.</source>
        <translation>Enter an integer.</translation>
    </message>
    <message>
        <source>Geben Sie eine ganze Zahl zwischen %1 und %2 ein.</source>
        <translation>Enter an integer between %1 and %2.</translation>
    </message>
    <message>
        <source>Die Unterstützung für das Mailsystem kann nicht geladen werden.</source>
        <translation>Unable to load mail system support.</translation>
    </message>
    <message>
        <source>Es wurde kein Mailprogramm gefunden, mit dem die Nachricht gesendet werden kann.</source>
        <translation>No mail program was found to send the message with.</translation>
    </message>
    <message>
        <source>Fehler bei &quot;Nachricht senden&quot;.</source>
        <translation>Send Mail failed to send message.</translation>
    </message>
    <message>
        <source>Es ist kein Standarddrucker eingerichtet; es wurde nichts gedruckt.</source>
        <translation>No default printer is set up; nothing was printed.</translation>
    </message>
    <message>
        <source>Der Druckauftrag ist fehlgeschlagen: %s</source>
        <translation>The print job failed: %s</translation>
    </message>
    <message>
        <source>Vorhergehende Seite anzeigen
Vorhergehende Seite</source>
        <translation>Show the previous page
Previous Page</translation>
    </message>
    <message>
        <source>Nächste Seite anzeigen
Nächste Seite</source>
        <translation>Show the next page
Next Page</translation>
    </message>
    <message>
        <source>Bestimmte Seite anzeigen
Bestimmte Seite anzeigen</source>
        <translation>Show a given page
Show a given page</translation>
    </message>
    <message>
        <source>Optionen Vorschaubilder
Optionen Vorschaubilder</source>
        <translation>Thumbnail options
Thumbnail options</translation>
    </message>
    <message>
        <source>Erste Seite anzeigen
Erste Seite</source>
        <translation>Show the first page
First Page</translation>
    </message>
    <message>
        <source>Letzte Seite anzeigen
Letzte Seite</source>
        <translation>Show the last page
Last Page</translation>
    </message>
    <message>
        <source>Aktuelle Seite um 90° im Gegenuhrzeigersinn drehen.
-90° drehen</source>
        <translation>Rotate the current page 90° counter-clockwise.
Rotate -90°</translation>
    </message>
    <message>
        <source>Aktuelle Seite um 90° im Uhrzeigersinn drehen.
90° drehen</source>
        <translation>Rotate the current page 90° clockwise.
Rotate 90°</translation>
    </message>
    <message>
        <source>Drucken
Drucken</source>
        <translation>Print
Print</translation>
    </message>
    <message>
        <source>Angaben über den Support von Folivant.</source>
        <translation>Information about support for Folivant.</translation>
    </message>
    <message>
        <source>Vergrössern
Vergrössern</source>
        <translation>Zoom In
Zoom In</translation>
    </message>
    <message>
        <source>Verkleinern
Verkleinern</source>
        <translation>Zoom Out
Zoom Out</translation>
    </message>
    <message>
        <source>Ganze Seite
Ganze Seite</source>
        <translation>Whole Page
Whole Page</translation>
    </message>
    <message>
        <source>Ganze Breite
Ganze Breite</source>
        <translation>Whole Width
Whole Width</translation>
    </message>
    <message>
        <source>Tatsächliche Pixel
Tatsächliche Pixel</source>
        <translation>Actual Pixels
Actual Pixels</translation>
    </message>
    <message>
        <source>Optionen Hauptbild
Optionen Hauptbild</source>
        <translation>Main image options
Main image options</translation>
    </message>
    <message>
        <source>Sprache wählen
Sprache wählen</source>
        <translation>Choose the language
Choose the language</translation>
    </message>
    <message>
        <source>Speichert das aktive Dokument unter neuem Namen.
Speichern unter</source>
        <translation>Save the active document under a new name.
Save As</translation>
    </message>
    <message>
        <source>Vorhergehende Datei im Ordner laden und anzeigen.
Vorhergehende Datei im Ordner laden und anzeigen.</source>
        <translation>Load and show the previous file in the folder.
Load and show the previous file in the folder.</translation>
    </message>
    <message>
        <source>Nächste Datei im Ordner laden und anzeigen.
Nächste Datei im Ordner laden und anzeigen.</source>
        <translation>Load and show the next file in the folder.
Load and show the next file in the folder.</translation>
    </message>
    <message>
        <source>Öffnet ein bestehendes Dokument.
Öffnen</source>
        <translation>Open an existing document.
Open</translation>
    </message>
    <message>
        <source>Ändert den Drucker und die Druckoptionen.
Druckereinrichtung</source>
        <translation>Change the printer and the printing options.
Print Setup</translation>
    </message>
    <message>
        <source>Sendet das aktive Dokument per Mail.
Senden per Mail</source>
        <translation>Send the active document by mail.
Send by Mail</translation>
    </message>
    <message>
        <source>Öffnet dieses Dokument.</source>
        <translation>Open this document.</translation>
    </message>
    <message>
        <source>Kopiert die Markierung und überträgt sie in die Zwischenablage.
Kopieren</source>
        <translation>Copy the selection and put it on the clipboard.
Copy</translation>
    </message>
    <message>
        <source>Macht die letzte Aktion rückgängig.
Rückgängig</source>
        <translation>Undo the last action.
Undo</translation>
    </message>
    <message>
        <source>Zeigt Programm-Informationen, Versionsnummer und Copyright an.
Info</source>
        <translation>Display program information, version number and copyright.
About</translation>
    </message>
    <message>
        <source>Verläßt die Anwendung; fragt, ob Dokumente gespeichert werden sollen.
Beenden</source>
        <translation>Quit the application; prompts to save documents.
Exit</translation>
    </message>
    <message>
        <source>Die Datei &apos;%s&apos; kann nicht gelesen werden; es wurde nichts gedruckt.</source>
        <translation>The file &apos;%s&apos; cannot be read; nothing was printed.</translation>
    </message>
    <message>
        <source>Die Datei &apos;%s&apos; kann nicht geschrieben werden.</source>
        <translation>The file &apos;%s&apos; cannot be written.</translation>
    </message>
    <message>
        <source>Kein Bildschirm erreichbar (DISPLAY, WAYLAND_DISPLAY); ohne Bildschirm druckt Folivant nur mit /p /q.</source>
        <translation>No display available (DISPLAY, WAYLAND_DISPLAY); without a display Folivant only prints with /p /q.</translation>
    </message>
    <message>
        <source>Die Datei &apos;%s&apos; kann nicht geöffnet werden.</source>
        <translation>The file &apos;%s&apos; cannot be opened.</translation>
    </message>
    <message>
        <source>Die Datei &apos;%s&apos; existiert nicht mehr.
Das Dokument bleibt angezeigt, bis eine andere Datei geöffnet wird.</source>
        <translation>The file &apos;%s&apos; no longer exists.
The document stays on screen until another file is opened.</translation>
    </message>
    <message>
        <source>Die Seitenauswahl enthält keine Seite dieses Dokuments (%d Seiten).</source>
        <translation>The page selection contains no page of this document (%d pages).</translation>
    </message>
    <message>
        <source>Die Seitenauswahl enthält keine Seite dieses Dokuments (1 Seite).</source>
        <translation>The page selection contains no page of this document (1 page).</translation>
    </message>
    <message>
        <source>Den Drucker &apos;%s&apos; gibt es nicht; es wurde nichts gedruckt.</source>
        <translation>The printer &apos;%s&apos; does not exist; nothing was printed.</translation>
    </message>
    <message>
        <source>Den Drucker &apos;%s&apos;, den %s nennt, gibt es nicht; es wurde nichts gedruckt.</source>
        <translation>The printer &apos;%s&apos; named by %s does not exist; nothing was printed.</translation>
    </message>
    <message>
        <source>Datei &apos;%s&apos;</source>
        <translation>file &apos;%s&apos;</translation>
    </message>
    <message>
        <source>Drucker &apos;%s&apos;</source>
        <translation>printer &apos;%s&apos;</translation>
    </message>
    <message>
        <source>Die Kommandozeilen-Hilfe &apos;%s&apos; kann nicht gelesen werden.</source>
        <translation>The command-line help &apos;%s&apos; cannot be read.</translation>
    </message>
    <message>
        <source>Drucken ist nicht möglich: das Druckmodul fehlt oder ist beschädigt (%s).</source>
        <translation>Printing is not possible: the print module is missing or damaged (%s).</translation>
    </message>
</context>
</TS>
