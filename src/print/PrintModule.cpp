#include "print/PrintModule.h"

#include "core/Strings.h"
#include "platform/PrintBackend.h"

namespace {

// Answers for the spooler until its first use, then passes everything on to the real one. Without the
// print module there is no printer and no job is taken.
class PrintBackendOnFirstUse : public IPrintBackend
{
public:
    QString DefaultPrinterName() override
    {
        IPrintBackend* real = Real(nullptr);
        return real != nullptr ? real->DefaultPrinterName() : QString();
    }
    bool PrinterExists(const QString& name) override
    {
        IPrintBackend* real = Real(nullptr);
        return real != nullptr && real->PrinterExists(name);
    }
    int SubmitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                  const std::vector<CupsOption>& options, QString* error) override
    {
        if (IPrintBackend* real = Real(error)) {
            return real->SubmitPdf(queue, pdfPath, title, options, error);
        }
        return 0;
    }

private:
    IPrintBackend* Real(QString* error)
    {
        if (m_real == nullptr) {
            QString whyNot;
            if (IPrintModule* module = PrintModule(&whyNot)) {
                m_real = module->CreateCupsBackend();
            } else if (error != nullptr) {
                *error = PrintUnavailableMessage(whyNot);
            }
        }
        return m_real.get();
    }

    std::unique_ptr<IPrintBackend> m_real;
};

} // namespace

std::unique_ptr<IPrintBackend> CreatePrintBackendOnFirstUse()
{
    return std::make_unique<PrintBackendOnFirstUse>();
}

QString PrintUnavailableMessage(const QString& whyNot)
{
    return FormatString(Str::PrintUnavailable, {whyNot});
}

CPrintResult PrintUnavailableResult(const QString& whyNot)
{
    CPrintResult result;
    result.outcome = CPrintResult::Failed;
    result.message = PrintUnavailableMessage(whyNot);
    return result;
}
