#include "print/PrintDialogExZentrel.h"

#include "core/Strings.h"
#include "core/WindowPlacement.h"
#include "platform/Platform.h"

#include <QChildEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QLineEdit>
#include <QPageRanges>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

// The widget names come from Qt's own dialog form (qprintsettingsoutput.ui, qprintwidget.ui).
namespace {
const char* const kPageField = "pagesLineEdit";
const char* const kPageChoice = "pagesRadioButton";
const char* const kPrinterList = "printers";
const char* const kPageChoices = "gbPrintRange";
const char* const kFileName = "filename";
const char* const kCurrentChoice = "printCurrentPage";
const char* const kSpanChoice = "printRange";
const char* const kSpanFrom = "from";
const char* const kSpanTo = "to";
const char* const kPaperSizes = "pageSizeCombo"; // qpagesetupwidget.ui

bool IsPropertiesDialog(const QObject* object)
{
    return qstrcmp(object->metaObject()->className(), "QPrintPropertiesDialog") == 0;
}
} // namespace

CPrintDialogExZentrel::CPrintDialogExZentrel(QPrinter* printer, unsigned flags, QWidget* parent)
    : QPrintDialog(printer, parent), m_flags(flags)
{
    setObjectName(QStringLiteral("CPrintDialogExZentrel"));
    setOption(QAbstractPrintDialog::PrintToFile, true);
    setOption(QAbstractPrintDialog::PrintPageRange, true);
    setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    setOption(QAbstractPrintDialog::PrintSelection, (flags & PrintFlags::NoSelection) == 0);
    setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    setMinMax(kPrintMinPage, kPrintMaxPage);
    setPrintRange(QAbstractPrintDialog::AllPages);

    // Qt suggests a PDF file named after the document name, which is the file's full path here:
    // "/home/anna//home/anna/Faxe/fax.pdf". Suggest the file's own name in Qt's folder instead.
    auto* fileName = findChild<QLineEdit*>(QString::fromLatin1(kFileName));
    if (fileName != nullptr && printer != nullptr && printer->outputFileName().isEmpty() &&
        !printer->docName().isEmpty()) {
        const QString home = QDir::homePath();
        const QString current = QDir::currentPath();
        const QString folder = current.startsWith(home) ? current : home;
        fileName->setText(
            QDir(folder).filePath(QFileInfo(printer->docName()).completeBaseName() + QStringLiteral(".pdf")));
    }

    // Qt disables the page field for PDF output because it leaves page selection to CUPS there; this
    // program selects the pages itself, so the field works for every printer. Connected after Qt's own
    // handler, so it runs after it.
    if (auto* printers = findChild<QComboBox*>(QString::fromLatin1(kPrinterList))) {
        connect(printers, &QComboBox::currentIndexChanged, this, [this] { KeepPageFieldEnabled(); });
    }
}

CPrintDialogExZentrel::~CPrintDialogExZentrel() = default;

void CPrintDialogExZentrel::SetDocument(int pageCount, int currentPage, IMessageBox* messages)
{
    m_pageCount = pageCount;
    m_currentPage = currentPage;
    m_messages = messages;
}

void CPrintDialogExZentrel::AddPageRange(int from, int to)
{
    m_preset.push_back({from, to});
}

QLineEdit* CPrintDialogExZentrel::PageRangeField() const
{
    return findChild<QLineEdit*>(QString::fromLatin1(kPageField));
}

QRadioButton* CPrintDialogExZentrel::PageRangeChoice() const
{
    return findChild<QRadioButton*>(QString::fromLatin1(kPageChoice));
}

void CPrintDialogExZentrel::KeepPageFieldEnabled()
{
    if (QRadioButton* choice = PageRangeChoice()) {
        choice->setEnabled(true);
    }
}

void CPrintDialogExZentrel::showEvent(QShowEvent* event)
{
    // Qt fills its widgets from the printer just before the dialog shows; the preset goes on top.
    QPrintDialog::showEvent(event);
    if (!event->spontaneous()) {
        OnInitDialog();
    }
}

void CPrintDialogExZentrel::ExpandOptions()
{
    // Qt opens its dialog with the page choice folded away under "Options >>"; the choice of pages (and a
    // preset from the command line) must be seen.
    auto* choices = findChild<QWidget*>(QString::fromLatin1(kPageChoices));
    if (choices == nullptr || choices->isVisibleTo(this)) {
        return;
    }
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* b : buttons->buttons()) {
            if (buttons->buttonRole(b) == QDialogButtonBox::ResetRole) {
                // Qt's own toggle, so that its button text and sizes stay in step.
                Q_EMIT static_cast<QPushButton*>(b)->released();
                break;
            }
        }
    }
}

void CPrintDialogExZentrel::OnInitDialog()
{
    ExpandOptions();
    KeepPageFieldEnabled();
    if ((m_flags & PrintFlags::PageNums) != 0 && !m_preset.empty()) {
        const QString text = FormatPageRanges(m_preset);
        QLineEdit* field = PageRangeField();
        QRadioButton* choice = PageRangeChoice();
        if (field != nullptr && choice != nullptr) {
            field->setText(text);
            choice->setChecked(true);
        } else {
            // Without the page field only one span can be shown.
            const QPageRanges ranges = QPageRanges::fromString(text);
            if (!ranges.isEmpty()) {
                setFromTo(ranges.firstPage(), ranges.lastPage());
                setPrintRange(QAbstractPrintDialog::PageRange);
            }
        }
    }

    // Centred on the screen the window is on, not on the main window - at the size it has once the
    // unfolded options are laid out, which happens only on the next pass of the event loop otherwise.
    if (layout() != nullptr) {
        layout()->activate();
    }
    CentreOnScreen();
    // Qt may still settle a size from the printer it fills in; centre once more after that, unless the
    // window has been moved meanwhile.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && pos() == m_centredAt) {
            CentreOnScreen();
        }
    });
}

void CPrintDialogExZentrel::CentreOnScreen()
{
    QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
    if (screen != nullptr) {
        move(CentredIn(frameGeometry().size(), screen->availableGeometry()).topLeft());
    }
    m_centredAt = pos();
}

bool CPrintDialogExZentrel::CheckChoice()
{
    unsigned flags = 0;
    std::vector<PageRangeEntry> ranges;
    QWidget* field = nullptr;
    auto* current = findChild<QRadioButton*>(QString::fromLatin1(kCurrentChoice));
    auto* span = findChild<QRadioButton*>(QString::fromLatin1(kSpanChoice));
    if (QRadioButton* choice = PageRangeChoice(); choice != nullptr && choice->isChecked()) {
        QLineEdit* text = PageRangeField();
        field = text;
        const QPageRanges parsed = QPageRanges::fromString(text != nullptr ? text->text() : QString());
        if (parsed.isEmpty()) {
            return true; // malformed: Qt's own message follows
        }
        for (const QPageRanges::Range& r : parsed.toRangeList()) {
            ranges.push_back({r.from, r.to});
        }
        flags = PrintFlags::PageNums;
    } else if (span != nullptr && span->isChecked()) {
        auto* from = findChild<QSpinBox*>(QString::fromLatin1(kSpanFrom));
        auto* to = findChild<QSpinBox*>(QString::fromLatin1(kSpanTo));
        if (from != nullptr && to != nullptr) {
            field = from;
            ranges.push_back({from->value(), to->value()});
            flags = PrintFlags::PageNums;
        }
    } else if (current != nullptr && current->isChecked()) {
        flags = PrintFlags::CurrentPage;
    }
    QString message;
    switch (CheckPageChoice(flags, m_currentPage, ranges, m_pageCount)) {
    case PageChoiceCheck::Ok:
        return true;
    case PageChoiceCheck::OutOfBounds:
        message = LoadString(Str::DialogIntegerRange).arg(kPrintMinPage).arg(kPrintMaxPage);
        break;
    case PageChoiceCheck::NoPage:
        message = NoPageMessage(m_pageCount);
        break;
    }
    if (m_messages != nullptr) {
        m_messages->Show(this, message, LoadString(Str::Error), IMessageBox::Stop);
    }
    if (field != nullptr) {
        field->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

void CPrintDialogExZentrel::accept()
{
    // A choice that would print nothing keeps the dialog open, as a malformed one does.
    if (m_pageCount > 0 && !CheckChoice()) {
        return;
    }
    // Qt 6.4 checks the page field against the printer's old page ranges before it takes the field's
    // text, so a valid "2-3,5" typed into a fresh dialog is refused. Hand it the ranges the field holds:
    // a valid text passes, an invalid one still gets Qt's own message.
    if (QRadioButton* choice = PageRangeChoice(); choice != nullptr && choice->isChecked()) {
        QLineEdit* field = PageRangeField();
        printer()->setPageRanges(QPageRanges::fromString(field != nullptr ? field->text() : QString()));
    }
    // Qt takes the paper from its "Properties" dialog also when the user never accepted it there, and
    // that dialog starts from the printer's default paper, not from the paper the printer was given
    // (the printer set-up's choice): unless the user chose a paper there, the given one stays.
    const QPageLayout given = printer()->pageLayout();
    const bool paperChosen = PaperChosenInProperties();
    QPrintDialog::accept();
    if (!paperChosen && result() == QDialog::Accepted &&
        printer()->outputFormat() == QPrinter::NativeFormat) {
        printer()->setPageSize(given.pageSize());
        printer()->setPageOrientation(given.orientation());
    }
}

bool CPrintDialogExZentrel::PaperChosenInProperties() const
{
    const QList<QDialog*> dialogs = findChildren<QDialog*>();
    return std::any_of(dialogs.begin(), dialogs.end(), [](const QDialog* d) {
        return IsPropertiesDialog(d) && d->result() == QDialog::Accepted;
    });
}

void CPrintDialogExZentrel::childEvent(QChildEvent* event)
{
    QPrintDialog::childEvent(event);
    if (event->added() && event->child()->isWidgetType()) {
        event->child()->installEventFilter(this);
    }
}

bool CPrintDialogExZentrel::eventFilter(QObject* watched, QEvent* event)
{
    // Qt's "Properties" dialog shows the printer's default paper, not the paper the printer was given:
    // it shows the given one when it opens, so that what the user sees there is what prints.
    if (event->type() == QEvent::Show && IsPropertiesDialog(watched) && printer() != nullptr) {
        watched->removeEventFilter(this);
        if (auto* sizes = watched->findChild<QComboBox*>(QString::fromLatin1(kPaperSizes))) {
            const int index = sizes->findText(printer()->pageLayout().pageSize().name());
            if (index >= 0) {
                sizes->setCurrentIndex(index);
            }
        }
    }
    return QPrintDialog::eventFilter(watched, event);
}

unsigned CPrintDialogExZentrel::ResultFlags() const
{
    unsigned flags = m_flags & ~(PrintFlags::PageNums | PrintFlags::CurrentPage);
    switch (printer()->printRange()) {
    case QPrinter::CurrentPage:
        flags |= PrintFlags::CurrentPage;
        break;
    case QPrinter::PageRange:
        flags |= PrintFlags::PageNums;
        break;
    default:
        break;
    }
    return flags;
}

std::vector<PageRangeEntry> CPrintDialogExZentrel::ResultRanges() const
{
    std::vector<PageRangeEntry> ranges;
    if (printer()->printRange() != QPrinter::PageRange) {
        return ranges;
    }
    for (const QPageRanges::Range& r : printer()->pageRanges().toRangeList()) {
        ranges.push_back({r.from, r.to});
    }
    return ranges;
}
