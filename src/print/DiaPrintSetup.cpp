#include "print/DiaPrintSetup.h"

#include "core/HelpTopics.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CDiaPrintSetup::CDiaPrintSetup(const CPrintSetup& setup, QWidget* parent)
    : CDiaBase(HelpTopic::PrintSetup, parent), m_printers(QPrinterInfo::availablePrinterNames())
{
    setObjectName(QStringLiteral("CDiaPrintSetup"));
    setWindowTitle(tr("Druckereinrichtung"));

    auto* printerBox = new QGroupBox(tr("Drucker"), this);
    auto* printerForm = new QFormLayout(printerBox);
    m_printer = new QComboBox(printerBox);
    m_printer->setObjectName(QStringLiteral("printer"));
    m_printer->addItems(m_printers);
    m_printer->setMinimumContentsLength(24);
    m_type = new QLabel(printerBox);
    m_location = new QLabel(printerBox);
    for (QLabel* l : {m_type, m_location}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    printerForm->addRow(tr("&Name:"), m_printer);
    printerForm->addRow(tr("Typ:"), m_type);
    printerForm->addRow(tr("Ort:"), m_location);
    m_none = new QLabel(tr("Es ist kein Drucker eingerichtet."), printerBox);
    m_none->setObjectName(QStringLiteral("noPrinter"));
    printerForm->addRow(m_none);

    auto* paperBox = new QGroupBox(tr("Papier"), this);
    auto* paperForm = new QFormLayout(paperBox);
    m_paper = new QComboBox(paperBox);
    m_paper->setObjectName(QStringLiteral("paper"));
    paperForm->addRow(tr("&Grösse:"), m_paper);

    auto* orientationBox = new QGroupBox(tr("Ausrichtung"), this);
    auto* orientationLayout = new QVBoxLayout(orientationBox);
    m_portrait = new QRadioButton(tr("&Hochformat"), orientationBox);
    m_landscape = new QRadioButton(tr("&Querformat"), orientationBox);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape->setObjectName(QStringLiteral("landscape"));
    orientationLayout->addWidget(m_portrait);
    orientationLayout->addWidget(m_landscape);
    (setup.orientation == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);

    m_buttons = new QDialogButtonBox(this);
    QPushButton* ok = m_buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    m_buttons->addButton(tr("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(paperBox, 1);
    paperRow->addWidget(orientationBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addLayout(paperRow);
    layout->addWidget(m_buttons);

    // The printer chosen before if it is still there, else the default printer.
    qsizetype start = m_printers.indexOf(setup.printer);
    if (start < 0) {
        start = std::max<qsizetype>(m_printers.indexOf(QPrinterInfo::defaultPrinterName()), 0);
    }
    m_printer->setCurrentIndex(m_printers.isEmpty() ? -1 : int(start));
    OnPrinterChanged(m_printer->currentIndex());
    if (setup.IsChosen() && setup.printer == m_printer->currentText() && m_sizes.contains(setup.pageSize)) {
        m_paper->setCurrentIndex(int(m_sizes.indexOf(setup.pageSize)));
    }
    connect(m_printer, &QComboBox::currentIndexChanged, this, &CDiaPrintSetup::OnPrinterChanged);

    const bool any = !m_printers.isEmpty();
    m_none->setVisible(!any);
    for (QWidget* w : std::initializer_list<QWidget*>{m_printer, m_paper, m_portrait, m_landscape, ok}) {
        w->setEnabled(any);
    }
}

void CDiaPrintSetup::OnPrinterChanged(int index)
{
    // Each printer has its own papers; the size chosen so far stays when the new printer has it too.
    const QPageSize before =
        m_paper->currentIndex() >= 0 ? m_sizes.value(m_paper->currentIndex()) : QPageSize();
    m_paper->clear();
    m_sizes.clear();
    if (index < 0 || index >= m_printers.size()) {
        m_type->clear();
        m_location->clear();
        return;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printers.at(index));
    m_type->setText(info.makeAndModel());
    m_location->setText(info.location());
    m_sizes = info.supportedPageSizes();
    for (const QPageSize& size : m_sizes) {
        m_paper->addItem(size.name());
    }
    qsizetype chosen = m_sizes.indexOf(before.isValid() ? before : info.defaultPageSize());
    if (chosen < 0) {
        chosen = m_sizes.indexOf(info.defaultPageSize());
    }
    m_paper->setCurrentIndex(chosen >= 0 ? int(chosen) : (m_sizes.isEmpty() ? -1 : 0));
}

CPrintSetup CDiaPrintSetup::Setup() const
{
    CPrintSetup setup;
    setup.printer = m_printer->currentText();
    if (m_paper->currentIndex() >= 0) {
        setup.pageSize = m_sizes.value(m_paper->currentIndex());
    }
    setup.orientation = m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    return setup;
}
