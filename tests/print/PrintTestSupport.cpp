#include "PrintTestSupport.h"

#include "FaxWriter.h"
#include "print/PrintDialogExZentrel.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace printtest {

namespace {

constexpr int kBits = 8;

// The code's blocks, in fractions of the page: a 4 x 2 grid in the middle of the page.
QRectF Cell(int bit)
{
    const double col = bit % 4;
    const double row = bit / 4;
    const double cw = 0.7 / 4;
    const double ch = 0.7 / 2;
    return {0.15 + col * cw, 0.15 + row * ch, cw, ch};
}

void PaintCodedPage(QImage& page, int index)
{
    QPainter p(&page);
    const int w = page.width();
    const int h = page.height();
    const int frame = std::max(4, std::max(w, h) / 40);
    p.fillRect(0, 0, w, frame, Qt::black);
    p.fillRect(0, h - frame, w, frame, Qt::black);
    p.fillRect(0, 0, frame, h, Qt::black);
    p.fillRect(w - frame, 0, frame, h, Qt::black);
    const int number = index + 1;
    for (int bit = 0; bit < kBits; ++bit) {
        if ((number >> bit) & 1) {
            const QRectF c = Cell(bit);
            // The block fills the middle 60 % of its cell.
            p.fillRect(QRectF((c.x() + c.width() * 0.2) * w, (c.y() + c.height() * 0.2) * h,
                              c.width() * 0.6 * w, c.height() * 0.6 * h),
                       Qt::black);
        }
    }
}

bool Dark(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

Sheet ReadSheet(const QImage& img)
{
    Sheet s;
    s.sheetSize = img.size();
    int left = img.width(), top = img.height(), right = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (Dark(img, x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return s;
    }
    s.pageBox = QRect(QPoint(left, top), QPoint(right, bottom));
    int number = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        const QRectF c = Cell(bit);
        const int cx = left + qRound((c.center().x()) * s.pageBox.width());
        const int cy = top + qRound((c.center().y()) * s.pageBox.height());
        int dark = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                dark += Dark(img, std::clamp(cx + dx, 0, img.width() - 1),
                             std::clamp(cy + dy, 0, img.height() - 1));
            }
        }
        if (dark >= 7) {
            number |= 1 << bit;
        } else if (dark > 2) {
            return s; // neither clearly black nor clearly white: not our code
        }
    }
    s.code = number;
    return s;
}

} // namespace

void WriteCodedFax(const QString& path, int pages, int width, int height, double xDpi, double yDpi)
{
    FaxDocSpec desc;
    desc.pages = pages;
    desc.width = width;
    desc.height = height;
    desc.xDpi = xDpi;
    desc.yDpi = yDpi;
    desc.compression = FaxDocSpec::Compression::G4;
    WriteCodedDocument(path, desc);
}

void WriteCodedDocument(const QString& path, FaxDocSpec desc)
{
    desc.paintPage = PaintCodedPage;
    QString error;
    ASSERT_TRUE(WriteTiffDocument(path, desc, &error)) << error.toStdString();
}

int Run(const QString& program, const QStringList& args, QByteArray* out, QByteArray* err, int timeoutMs)
{
    QProcess proc;
    proc.start(program, args);
    if (!proc.waitForStarted(10000)) {
        return -1;
    }
    proc.closeWriteChannel();
    if (!proc.waitForFinished(timeoutMs)) {
        proc.kill();
        proc.waitForFinished(5000);
        return -1;
    }
    if (out != nullptr) {
        *out = proc.readAllStandardOutput();
    }
    if (err != nullptr) {
        *err = proc.readAllStandardError();
    }
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

std::vector<Sheet> ReadSheets(const QString& pdfPath, int dpi)
{
    std::vector<Sheet> sheets;
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("sheet"));
    if (Run(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-gray", pdfPath, prefix}) != 0) {
        return sheets;
    }
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("sheet*.pgm")}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        sheets.push_back(ReadSheet(QImage(dir.filePath(f))));
    }
    return sheets;
}

std::vector<int> Codes(const std::vector<Sheet>& sheets)
{
    std::vector<int> codes;
    for (const Sheet& s : sheets) {
        codes.push_back(s.code);
    }
    return codes;
}

QString PdfInfo(const QString& pdfPath, const QString& key)
{
    QByteArray out;
    if (Run(QStringLiteral("pdfinfo"), {pdfPath}, &out) != 0) {
        return {};
    }
    for (const QString& line : QString::fromUtf8(out).split(u'\n')) {
        if (line.startsWith(key + u':')) {
            return line.mid(key.size() + 1).trimmed();
        }
    }
    return {};
}

std::vector<std::pair<int, int>> PdfImageResolutions(const QString& pdfPath)
{
    std::vector<std::pair<int, int>> res;
    QByteArray out;
    if (Run(QStringLiteral("pdfimages"), {"-list", pdfPath}, &out) != 0) {
        return res;
    }
    const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f =
            lines.at(i).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
        if (f.size() >= 14) {
            res.emplace_back(f.at(12).toInt(), f.at(13).toInt());
        }
    }
    return res;
}

int RecordingBackend::SubmitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                                const std::vector<CupsOption>& options, QString* error)
{
    Job job{queue, QStringLiteral("%1/job%2.pdf").arg(m_folder).arg(jobs.size() + 1), title, options};
    QFile::copy(pdfPath, job.pdfCopy);
    jobs.push_back(job);
    if (!refuse.isEmpty()) {
        *error = refuse;
        return 0;
    }
    if (forward != nullptr) {
        return forward->SubmitPdf(queue, pdfPath, title, options, error);
    }
    return static_cast<int>(jobs.size());
}

bool HasOption(const std::vector<CupsOption>& options, const QByteArray& name)
{
    return std::any_of(options.begin(), options.end(), [&](const CupsOption& o) { return o.name == name; });
}

int ChooseAndPrint(QPrintDialog& dialog, const QString& outputFile, const QString& pages)
{
    if (!dialog.isVisible()) {
        dialog.show(); // QPrintDialog refills its widgets from the printer on every show()
    }
    if (!outputFile.isEmpty()) {
        auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
        auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
        EXPECT_NE(printers, nullptr);
        EXPECT_NE(fileName, nullptr);
        if (printers == nullptr || fileName == nullptr) {
            return QDialog::Rejected;
        }
        printers->setCurrentIndex(printers->count() - 1); // "Print to File (PDF)" is the last entry
        fileName->setText(outputFile);
    }
    if (!pages.isEmpty()) {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("pagesLineEdit"));
        auto* choice = dialog.findChild<QRadioButton*>(QStringLiteral("pagesRadioButton"));
        EXPECT_NE(field, nullptr);
        EXPECT_NE(choice, nullptr);
        if (field == nullptr || choice == nullptr) {
            return QDialog::Rejected;
        }
        EXPECT_TRUE(choice->isEnabled());
        choice->setChecked(true);
        field->setText(pages);
    }
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    EXPECT_NE(buttons, nullptr);
    if (buttons == nullptr) {
        return QDialog::Rejected;
    }
    // Should the dialog answer with a message box of its own, nobody would close it: close it here and
    // fail instead of waiting for a person.
    QString refusal;
    QTimer guard;
    guard.setInterval(100);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != &dialog) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                refusal = box->text();
            }
            modal->close();
        }
    });
    guard.start();
    buttons->button(QDialogButtonBox::Ok)->click();
    guard.stop();
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the print dialog did not accept: " << refusal.toStdString();
        dialog.reject();
    }
    return dialog.result();
}

} // namespace printtest
