#pragma once
// How a print run ended, and what a quiet run tells the script that started it: the exit status, one line
// on stderr when nothing was printed, and the job's name on stdout when CUPS accepted it.

#include "core/ExitStatus.h"

#include <QString>

struct CPrintResult
{
    enum Outcome
    {
        Printed,        // the job was handed over (to CUPS, or written to the chosen file)
        NothingToPrint, // no file to print (the print command without a document)
        Cancelled,      // the user cancelled the dialog
        Unreadable,     // the file cannot be read or decoded, or none of its chosen pages can be drawn
        NoPage,         // no page of the choice exists in the document
        NoPrinter,      // no default printer, or the one named does not exist
        Refused,        // CUPS did not accept the job
        Failed,         // anything else, such as a PDF that cannot be written
    };
    Outcome outcome = NothingToPrint;
    QString message{}; // why nothing was printed, in the user's language; empty otherwise
    int sheets = 0;
    QString printer{}; // the destination of a quiet run or of the job, when known
    int jobId = 0;     // CUPS's number of the accepted job
};

// The exit status of a quiet run that ended so.
ExitStatus StatusOf(CPrintResult::Outcome outcome);

// One line for stderr, in the user's language: "folivant: MESSAGE (Datei 'FILE', Drucker 'PRINTER')". The
// file and the printer are left out when they are unknown (empty) or the message names them already.
QString FailureLine(const QString& message, const QString& file, const QString& printer);

// The line for stdout once CUPS accepted a job: "folivant: job PRINTER-ID, N pages", with the job's name as
// lpstat shows it. Meant for scripts, so it is the same in every language.
QString JobLine(const QString& printer, int jobId, int pages);
