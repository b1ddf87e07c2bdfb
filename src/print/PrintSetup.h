#pragma once
// The printer and paper chosen under "Druckereinrichtung..." for this run of the program. Every print
// dialog of the run starts from them; a quiet run from the command line never uses them (it prints on the
// default printer). Nothing of it is saved.

#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QPrinter;

struct CPrintSetup
{
    QString printer;    // a CUPS destination; empty: nothing chosen yet
    QPageSize pageSize; // invalid: the printer's own default paper
    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    bool IsChosen() const { return !printer.isEmpty(); }
};

// Puts the setup on `printer`: the chosen printer when it still exists, then its paper (when the printer
// has it) and orientation. Returns false, changing nothing, when the chosen printer is gone.
bool ApplyPrintSetup(const CPrintSetup& setup, QPrinter& printer);
