#pragma once
// The print spooler as the print command sees it: which destination is the default, and handing a
// finished PDF to a queue. The real one talks to CUPS; tests put a recording one in its place.

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

struct CupsOption
{
    QByteArray name;
    QByteArray value;
    friend bool operator==(const CupsOption&, const CupsOption&) = default;
};

class IPrintBackend
{
public:
    virtual ~IPrintBackend() = default;
    // The destination quiet runs print on and every print dialog starts from, as CUPS finds it ($LPDEST,
    // $PRINTER, "lpoptions -d", the server's default), also when no such destination exists. Empty when
    // none is set or no CUPS server answers.
    virtual QString DefaultPrinterName() = 0;
    // Whether CUPS knows the destination ("name" or "name/instance").
    virtual bool PrinterExists(const QString& name) = 0;
    // Hands the PDF file to `queue` as one job named `title`. Returns the job id once CUPS accepted the
    // job; 0 with the reason in *error when it did not.
    virtual int SubmitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                          const std::vector<CupsOption>& options, QString* error) = 0;
};

// The real one, through libcups (part of the print module).
std::unique_ptr<IPrintBackend> CreateCupsPrintBackend();

// The one the program starts with: it loads the print module and makes the real one at its first use,
// so that a start loads no printing library. Without the module it knows no printer and takes no job.
// (Defined with the print module's loading.)
std::unique_ptr<IPrintBackend> CreatePrintBackendOnFirstUse();
