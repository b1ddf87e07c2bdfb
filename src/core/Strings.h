#pragma once
// The program's string table. Every text that the program shows by number lives here, in German as the
// built-in source text; the English translation supplies its own text for each entry when it is loaded.

#include <QString>
#include <QStringList>

namespace Str {
enum Id : int
{
    DocTemplate = 128,     // document template string
    Information = 130,     // message caption for hints and confirmations
    ExpectedInteger = 132, // page box input that is not a whole number
    HelpBook = 133,        // name of the help book beside the program
    SectionMisc = 134,     // settings section of the general values
    LogoFile = 140,        // logo beside the program
    SettingAbout = 142,    // settings name of the About start-up switch
    MenuCopy = 143,
    MenuZoomIn = 144,
    MenuZoomOut = 145,
    MenuWholePage = 146,
    MenuWholeWidth = 147,
    MenuActualSize = 148,
    MenuRotateCw = 149,
    MenuRotateCcw = 150,
    Product = 153,          // product name and version
    CmdArgumentsFile = 164, // command-line help text beside the program
    QuitNeedsPrint = 166,
    RangeNeedsPrint = 167,
    ListNeedsPrint = 168,
    RangeSyntax = 169,
    FileTypeUnsupported = 172,
    FileMissing = 173, // %s: path
    ListSyntax = 174,
    FileNameRequired = 175,
    TargetReadOnly = 176, // %s: target
    CopyFailed = 177,     // %s: source, %s: target
    CopySucceeded = 178,  // %s: source, %s: target
    Error = 179,          // message caption for errors
    OpenFilter = 180,
    SameFile = 181,
    WrongFormat = 182, // %s: path
    ThumbLabel = 190,  // %d: page, %d: page count
    IndicatorCaps = 191,
    IndicatorNum = 192,
    IndicatorScroll = 193,
    CannotOpenFile = 194, // %s: path
    RestartNeeded = 195,
    MarkLargerArea = 196,
    CopyToClipboardOk = 197,
    CopyToClipboardFailed = 198,
    DialogIntegerExpected = 199,
    DialogIntegerRange = 200, // %1 and %2: the bounds
    MailNotLoaded = 201,
    MailInvalid = 202,
    MailFailed = 203,
    PrintNoPrinter = 204,
    PrintFailed = 205,      // %s: reason
    PrintUnreadable = 206,  // %s: path
    PrintCannotWrite = 207, // %s: path; a reason for PrintFailed
    NoDisplay = 208,        // a start without a display that is not a quiet print run

    CannotOpenFileAlone = 220, // %s: path; CannotOpenFile when no document is open
    FileGone = 221,            // %s: path of the open document

    PrintNoPage = 230,               // %d: the document's page count
    PrintNoPageOfOne = 231,          // the same for a document of one page
    PrintNoSuchPrinter = 232,        // %s: printer
    PrintNoSuchPrinterNamedBy = 233, // %s: printer, %s: the environment variable that names it
    PrintReportFile = 234,           // %s: path; the file a quiet run's line is about
    PrintReportPrinter = 235,        // %s: printer; the printer a quiet run's line is about
    CmdHelpUnreadable = 236,         // %s: path of the command-line help text
    PrintUnavailable = 237,          // %s: why the print module cannot be loaded
    AppTitle = 57344,
};
}

// Text of string `id` in the language in use; an unknown id gives an empty text.
QString LoadString(int id);

// Replaces "%s" and "%d" in `format` by the arguments in order, like the C formatting of the string table.
QString FormatString(const QString& format, const QStringList& args);
QString FormatString(int id, const QStringList& args);

// The product text, "Folivant V1.15".
inline QString ProductText()
{
    return LoadString(Str::Product);
}
