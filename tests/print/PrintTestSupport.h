#pragma once
// Helpers of the print tests: documents whose pages a machine can recognise on paper, reading PDF files
// back through poppler's tools, and recording stand-ins for the spooler and the dialogs.

#include "FaxWriter.h"
#include "platform/Platform.h"
#include "platform/PrintBackend.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QPrintDialog;

namespace printtest {

// Writes a document of `pages` pages (G4, bilevel) whose every page carries a thick black frame along
// its edges and its 1-based page number as eight big black blocks (a binary code) inside. Pixel size and
// resolution as given. Fails the calling test on error.
void WriteCodedFax(const QString& path, int pages, int width, int height, double xDpi, double yDpi);
// The same pages in any colour, encoding and strip layout the generator writes: `desc` gives all but the
// drawing.
void WriteCodedDocument(const QString& path, FaxDocSpec desc);

// One printed sheet read back: the bounding box of the drawn page (its frame) on the rendered sheet and the
// page number its blocks encode (-1 when the blocks do not read as a code).
struct Sheet
{
    QSize sheetSize;
    QRect pageBox;
    int code = -1;
};

// Renders every page of the PDF at `dpi` with pdftoppm and reads it. Empty when the file cannot be
// rendered.
std::vector<Sheet> ReadSheets(const QString& pdfPath, int dpi);
std::vector<int> Codes(const std::vector<Sheet>& sheets);

// Runs a tool; returns its exit status, or -1 when it could not be started.
int Run(const QString& program, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr,
        int timeoutMs = 60000);
// pdfinfo's value of `key` ("Title", "Pages").
QString PdfInfo(const QString& pdfPath, const QString& key);
// pdfimages -list: x-ppi and y-ppi of every image.
std::vector<std::pair<int, int>> PdfImageResolutions(const QString& pdfPath);

// A spooler that keeps a copy of every PDF it is given.
class RecordingBackend : public IPrintBackend
{
public:
    struct Job
    {
        QString queue;
        QString pdfCopy;
        QString title;
        std::vector<CupsOption> options;
    };
    RecordingBackend(QString defaultPrinter, QString copyFolder)
        : m_default(std::move(defaultPrinter)), m_folder(std::move(copyFolder))
    {
    }
    QString DefaultPrinterName() override { return m_default; }
    bool PrinterExists(const QString& name) override { return !name.isEmpty() && !missing.contains(name); }
    void SetDefaultPrinter(const QString& name) { m_default = name; }
    int SubmitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                  const std::vector<CupsOption>& options, QString* error) override;

    std::vector<Job> jobs;
    // When set, every job is refused with this reason.
    QString refuse;
    // Destinations CUPS does not know, though a default may name them.
    QStringList missing;
    // When set, jobs are passed on to this spooler after being recorded.
    IPrintBackend* forward = nullptr;

private:
    QString m_default;
    QString m_folder;
};

bool HasOption(const std::vector<CupsOption>& options, const QByteArray& name);

// Runs dialogs through a function instead of showing them modally.
class ScriptedDialogs : public IDialogRunner
{
public:
    std::function<int(QDialog&)> script;
    int calls = 0;
    int Exec(QDialog& dialog) override
    {
        ++calls;
        return script ? script(dialog) : QDialog::Rejected;
    }
};

class RecordingMessageBox : public IMessageBox
{
public:
    struct Shown
    {
        QString text;
        QString caption;
        Icon icon;
    };
    std::vector<Shown> shown;
    void Show(QWidget*, const QString& text, const QString& caption, Icon icon) override
    {
        shown.push_back({text, caption, icon});
    }
};

// Drives a shown print dialog the way a user would: picks "Print to File (PDF)" with `outputFile` when it
// is not empty (else keeps the printer it opened on), types `pages` into the page field when it is not
// empty, and presses the print button. Returns the dialog's result.
int ChooseAndPrint(QPrintDialog& dialog, const QString& outputFile, const QString& pages);

} // namespace printtest
