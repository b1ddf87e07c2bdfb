#include "print/PrintSetup.h"

#include <QPrinter>
#include <QPrinterInfo>

bool ApplyPrintSetup(const CPrintSetup& setup, QPrinter& printer)
{
    if (!setup.IsChosen()) {
        return false;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(setup.printer);
    if (info.isNull()) {
        return false;
    }
    // The printer first: choosing a printer sets its own default paper.
    printer.setPrinterName(setup.printer);
    if (setup.pageSize.isValid()) {
        const QPageSize supported =
            info.supportedPageSizes().contains(setup.pageSize) ? setup.pageSize : info.defaultPageSize();
        printer.setPageSize(supported);
    }
    printer.setPageOrientation(setup.orientation);
    return true;
}
