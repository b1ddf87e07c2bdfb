#pragma once
// One run of the print command: the print dialog (or none in a quiet run), the page list, and one sheet
// per listed page, each page decoded once from the file and drawn straight onto the printer, scaled into
// the printable area in hundredths of an inch. Everything of a run is made and released inside it.

#include "platform/PrintBackend.h"
#include "print/PrintGeometry.h"
#include "print/PrintReport.h"

#include <QString>

#include <vector>

class CCustomCommandLineInfo;
class CTiffImage;
class IDialogRunner;
class IMessageBox;
class QPrinter;
class QWidget;
class T_OSrtList;
struct CPrintSetup;

struct CPrintRequest
{
    QString file;                                        // full path; empty: nothing to print
    int currentPage = 1;                                 // 1-based page shown in the window
    const CCustomCommandLineInfo* commandLine = nullptr; // set for the command-line run
    bool quiet = false;                                  // /q: no dialog, the default printer
    QWidget* parent = nullptr;                           // owner of the dialog
    const CPrintSetup* setup = nullptr;                  // printer and paper the dialog starts from
    IMessageBox* messages = nullptr;                     // the dialog's own messages (a choice without pages)
};

// One print run. A quiet run checks, in this order, the file, the pages asked for, the printer and CUPS's
// answer, and reports the first that fails; an interactive run reads the file before it offers the dialog.
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
