#pragma once
// One run of the print command: the print dialog (or none in a quiet run), the page list, and one sheet
// per listed page, each page decoded once from the file and drawn straight onto the printer, scaled into
// the printable area in hundredths of an inch. Everything of a run is made and released inside it.

#include "platform/PrintBackend.h"
#include "print/PrintGeometry.h"

#include <QString>

#include <vector>

class CCustomCommandLineInfo;
class CTiffImage;
class IDialogRunner;
class QPrinter;
class QWidget;
class T_OSrtList;

struct CPrintRequest
{
    QString file;                                        // full path; empty: nothing to print
    int currentPage = 1;                                 // 1-based page shown in the window
    const CCustomCommandLineInfo* commandLine = nullptr; // set for the command-line run
    bool quiet = false;                                  // /q: no dialog, the default printer
    QWidget* parent = nullptr;                           // owner of the dialog
};

struct CPrintResult
{
    enum Outcome
    {
        Printed,        // the job was handed over (to CUPS, or written to the chosen file)
        NothingToPrint, // no file, or none of the chosen pages exists
        Cancelled,      // the user cancelled the dialog
        Failed,         // `message` says why, in the user's language
    };
    Outcome outcome = NothingToPrint;
    QString message;
    int sheets = 0;
};

CPrintResult RunPrint(const CPrintRequest& request, IPrintBackend& backend, IDialogRunner& dialogs);

// The device's measurements: resolution, whole sheet and the top-left offset of the printable area.
PrintDeviceCaps DeviceCaps(const QPrinter& printer);

// Draws the listed pages of `image` onto `device`, one sheet per page in the list's order, each at the
// top-left corner of the printable area. A page that cannot be selected or has a side of 0 gets no sheet.
// The device is started only for the first sheet, so a run without drawable pages leaves no output.
// Returns the number of sheets, or -1 when the device cannot be started.
int PrintPagesOnDevice(QPrinter& device, CTiffImage& image, const T_OSrtList& pages);

// What CUPS needs to know besides the pages: paper, copies, sides and orientation as the printer was set
// up, and the dialog's other CUPS options. Never a page range: the pages are already chosen.
std::vector<CupsOption> CupsJobOptions(QPrinter& printer);
