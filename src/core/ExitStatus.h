#pragma once
// The exit status of a command-line run, for the scripts, fax servers and print hooks that start the
// program and decide from it whether a fax reached a printer. Each failure has its own status, so that a
// script can tell a wrong call from a bad file, a document without the requested pages, a missing printer
// and a queue that refused the job. The values are documented (man page, --help, help book, README): they
// never change meaning.

enum class ExitStatus : int
{
    Ok = 0,          // printed: CUPS accepted a job with at least one page (or help, version, a normal end)
    Failure = 1,     // anything else: no display, the job could not be prepared
    CommandLine = 2, // the command line is wrong
    File = 3,        // the file is missing, cannot be read or is no TIFF document
    NoPage = 4,      // no page of the request exists in the file
    NoPrinter = 5,   // the printer named does not exist, or there is no default printer
    Refused = 6,     // CUPS refused the job
};

inline int ToExitCode(ExitStatus status)
{
    return static_cast<int>(status);
}
