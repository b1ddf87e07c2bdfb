#pragma once
// "Druckereinrichtung": the printer and the paper that the print dialogs of this run start from - the
// printer among CUPS's destinations (its type and place shown beside it), the paper size among the sizes
// that printer offers, and the orientation. OK keeps the choice for the run; quiet printing from the
// command line never uses it.

#include "dialogs/DiaBase.h"
#include "print/PrintSetup.h"

#include <QList>
#include <QPageSize>
#include <QStringList>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;

class CDiaPrintSetup : public CDiaBase
{
    Q_OBJECT
public:
    // Starts from `setup` when a printer was chosen before, else from the default printer and its paper.
    CDiaPrintSetup(const CPrintSetup& setup, QWidget* parent);

    // The choice as it stands; read after OK.
    CPrintSetup Setup() const;

private:
    void OnPrinterChanged(int index);

    QStringList m_printers;
    QList<QPageSize> m_sizes; // the sizes of the chosen printer, in the paper box's order
    QComboBox* m_printer = nullptr;
    QLabel* m_type = nullptr;
    QLabel* m_location = nullptr;
    QLabel* m_none = nullptr;
    QComboBox* m_paper = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
