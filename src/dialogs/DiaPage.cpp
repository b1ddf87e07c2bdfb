#include "dialogs/DiaPage.h"

#include "core/HelpTopics.h"
#include "core/Strings.h"
#include "dialogs/DialogValidation.h"
#include "platform/Platform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CDiaPage::CDiaPage(CPlatform& platform, QWidget* parent)
    : CDiaBase(HelpTopic::Main, parent), m_platform(platform)
{
    setWindowTitle(tr("Seite anzeigen"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("pageNumber"));
    m_edit->setAlignment(Qt::AlignRight);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDiaPage::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDiaPage::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Seitennummer:"), m_edit);
    form->addRow(buttons);
    SetPageNumber(m_page);
}

void CDiaPage::SetPageNumber(int n)
{
    m_page = n;
    m_edit->setText(QString::number(n));
    m_edit->selectAll();
}

void CDiaPage::accept()
{
    int value = 0;
    const IntFieldResult r = ReadIntField(m_edit->text(), kMin, kMax, &value);
    if (r != IntFieldResult::Ok) {
        m_platform.messageBox->Show(this, IntFieldMessage(r, kMin, kMax), LoadString(Str::AppTitle),
                                    IMessageBox::Exclamation);
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_page = value;
    QDialog::accept();
}
