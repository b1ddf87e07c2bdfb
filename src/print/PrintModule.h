#pragma once
// Printing is a module of its own, loaded at the first print command: Qt's printing and CUPS bring two
// dozen libraries (TLS, Kerberos, service discovery) that a start of the program does not need. The
// program finds the module beside itself or in its library folder; tests and tools link the same code in.

#include "print/PrintReport.h"
#include "print/PrintRun.h"

#include <QString>

#include <functional>
#include <memory>

class CDiaBase;
class IDialogRunner;
class IPrintBackend;
class QWidget;
struct CPrintSetup;

class IPrintModule
{
public:
    virtual ~IPrintModule() = default;
    // The print spooler through libcups.
    virtual std::unique_ptr<IPrintBackend> CreateCupsBackend() = 0;
    // One print run (see RunPrint).
    virtual CPrintResult RunPrint(const CPrintRequest& request, IPrintBackend& backend,
                                  IDialogRunner& dialogs) = 0;
    // "Druckereinrichtung" through `dialogs`, `prepare` called on the dialog first. True after OK, with the
    // choice in `setup`.
    virtual bool RunPrintSetup(CPrintSetup& setup, QWidget* parent, IDialogRunner& dialogs,
                               const std::function<void(CDiaBase&)>& prepare) = 0;
};

// The printing functions, loaded at the first call. Null when the module cannot be loaded, with the reason
// in *whyNot; every later call gives the same answer.
IPrintModule* PrintModule(QString* whyNot = nullptr);

// The printing functions as the module hands them out (defined in the module's code).
IPrintModule& LinkedPrintModule();

// Why nothing can be printed when the module cannot be loaded, in the user's language; and a print run
// that ended so.
QString PrintUnavailableMessage(const QString& whyNot);
CPrintResult PrintUnavailableResult(const QString& whyNot);

// The name of the function through which the module hands out its functions.
inline constexpr char kPrintModuleEntry[] = "folivant_print_module";
