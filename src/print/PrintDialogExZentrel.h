#pragma once
// The print dialog of the print command: Qt's own (never a native one), offering the printer, all pages,
// the current page and page ranges, and the copies. It opens centred on the screen, and the page ranges of
// a command-line run stand preset in its page field ("2-4,7,3"), exactly as given. Afterwards the print
// command reads the choice back as flags and ranges.

#include "print/PrintList.h"

#include <QPrintDialog>

#include <span>
#include <vector>

class IMessageBox;
class QLineEdit;
class QRadioButton;

class CPrintDialogExZentrel : public QPrintDialog
{
    Q_OBJECT
public:
    // `flags` as the print command sets them (PrintFlags); PageNums opens the dialog on the page field.
    CPrintDialogExZentrel(QPrinter* printer, unsigned flags, QWidget* parent);
    ~CPrintDialogExZentrel() override;

    // The document printed: its page count and the current page, by which the choice is judged before the
    // dialog closes, and where to say that a choice selects no page or lies beyond 1 ... 1000.
    void SetDocument(int pageCount, int currentPage, IMessageBox* messages);
    // Adds one range to those shown in the page field when the dialog opens.
    void AddPageRange(int from, int to);
    const std::vector<PageRangeEntry>& PresetRanges() const { return m_preset; }
    unsigned Flags() const { return m_flags; }

    // The field for several page ranges and its choice; null in a Qt built without CUPS.
    QLineEdit* PageRangeField() const;
    QRadioButton* PageRangeChoice() const;

    // After the dialog was accepted: CurrentPage or PageNums (or neither for all pages) on top of the
    // flags it was opened with, and the chosen ranges, ascending and merged as Qt reports them.
    unsigned ResultFlags() const;
    std::vector<PageRangeEntry> ResultRanges() const;

    void accept() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void OnInitDialog();
    void ExpandOptions();
    void KeepPageFieldEnabled();
    void CentreOnScreen();
    // False, with a message, when the choice on the dialog's page would print nothing.
    bool CheckChoice();
    // The user accepted Qt's "Properties" dialog, where the paper is chosen.
    bool PaperChosenInProperties() const;

    unsigned m_flags;
    int m_pageCount = 0; // 0: not judged
    int m_currentPage = 1;
    IMessageBox* m_messages = nullptr;
    std::vector<PageRangeEntry> m_preset;
    QPoint m_centredAt;
};
