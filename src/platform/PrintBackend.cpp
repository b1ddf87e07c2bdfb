#include "platform/PrintBackend.h"

#include <QFile>

#include <cups/cups.h>

namespace {

class CupsPrintBackend : public IPrintBackend
{
public:
    // Not Qt's default printer: Qt names none when $PRINTER names a queue that does not exist, and the
    // user would be told that no default printer is set up instead of which one is missing.
    QString DefaultPrinterName() override
    {
        const char* name = cupsGetDefault2(CUPS_HTTP_DEFAULT);
        return name != nullptr ? QString::fromLocal8Bit(name) : QString();
    }

    bool PrinterExists(const QString& name) override
    {
        if (name.isEmpty()) {
            return false;
        }
        const QByteArray queue = name.section(u'/', 0, 0).toLocal8Bit();
        const QByteArray instance = name.section(u'/', 1).toLocal8Bit();
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                             instance.isEmpty() ? nullptr : instance.constData());
        if (dest == nullptr) {
            return false;
        }
        cupsFreeDests(1, dest);
        return true;
    }

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
