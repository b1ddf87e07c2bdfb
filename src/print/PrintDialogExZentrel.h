#pragma once
// The print dialog of the print command: Qt's own (never a native one), offering the printer, all pages,
// the current page and page ranges, and the copies. It opens centred on the screen, and the page ranges of
// a command-line run stand preset in its page field ("2-4,7,3"), exactly as given. Afterwards the print
// command reads the choice back as flags and ranges.

#include "print/PrintList.h"

#include <QPrintDialog>

#include <span>
#include <vector>

class QLineEdit;
class QRadioButton;

class CPrintDialogExZentrel : public QPrintDialog
{
    Q_OBJECT
public:
    // `flags` as the print command sets them (PrintFlags); PageNums opens the dialog on the page field.
    CPrintDialogExZentrel(QPrinter* printer, unsigned flags, QWidget* parent);
    ~CPrintDialogExZentrel() override;

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void ExpandOptions();
    void KeepPageFieldEnabled();
    void CentreOnScreen();

    unsigned m_flags;
    std::vector<PageRangeEntry> m_preset;
    QPoint m_centredAt;
};
