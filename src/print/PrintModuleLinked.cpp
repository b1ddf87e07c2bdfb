// The printing functions behind the print module's interface: the same code in the module and in the
// tools and tests that link it in.
#include "print/PrintModule.h"

#include "platform/Platform.h"
#include "platform/PrintBackend.h"
#include "print/DiaPrintSetup.h"

namespace {

class LinkedPrinting : public IPrintModule
{
public:
    std::unique_ptr<IPrintBackend> CreateCupsBackend() override { return CreateCupsPrintBackend(); }
    CPrintResult RunPrint(const CPrintRequest& request, IPrintBackend& backend,
                          IDialogRunner& dialogs) override
    {
        return ::RunPrint(request, backend, dialogs);
    }
    bool RunPrintSetup(CPrintSetup& setup, QWidget* parent, IDialogRunner& dialogs,
                       const std::function<void(CDiaBase&)>& prepare) override
    {
        CDiaPrintSetup dialog(setup, parent);
        if (prepare) {
            prepare(dialog);
        }
        if (dialogs.Exec(dialog) != QDialog::Accepted) {
            return false;
        }
        setup = dialog.Setup();
        return true;
    }
};

} // namespace

IPrintModule& LinkedPrintModule()
{
    static LinkedPrinting printing;
    return printing;
}
