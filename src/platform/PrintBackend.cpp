#include "platform/PrintBackend.h"

#include <QFile>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace {

class CupsPrintBackend : public IPrintBackend
{
public:
    QString DefaultPrinterName() override { return QPrinterInfo::defaultPrinterName(); }

    int SubmitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                  const std::vector<CupsOption>& options, QString* error) override
    {
        cups_option_t* cupsOptions = nullptr;
        int count = 0;
        for (const CupsOption& o : options) {
            count = cupsAddOption(o.name.constData(), o.value.constData(), count, &cupsOptions);
        }
        // A destination "name/instance" is queued on "name"; CUPS knows queues, not instances.
        const QByteArray name = queue.section(u'/', 0, 0).toLocal8Bit();
        const QByteArray file = QFile::encodeName(pdfPath);
        const QByteArray jobTitle = title.toUtf8();
        const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), file.constData(),
                                       jobTitle.constData(), count, cupsOptions);
        cupsFreeOptions(count, cupsOptions);
        if (job <= 0 && error != nullptr) {
            *error = QString::fromUtf8(cupsLastErrorString());
        }
        return job > 0 ? job : 0;
    }
};

} // namespace

std::unique_ptr<IPrintBackend> CreateCupsPrintBackend()
{
    return std::make_unique<CupsPrintBackend>();
}
