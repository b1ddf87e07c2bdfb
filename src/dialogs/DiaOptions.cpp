#include "dialogs/DiaOptions.h"

#include "core/HelpTopics.h"
#include "core/Options.h"
#include "core/Strings.h"
#include "dialogs/DialogValidation.h"
#include "platform/Platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// A radio value of -1 checks no button.
void CheckRadio(QButtonGroup* group, int value)
{
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) {
        b->setChecked(group->id(b) == value);
    }
    group->setExclusive(true);
}

// One radio button per text, numbered from 0 in the group, laid out one below the other.
QList<QWidget*> AddRadios(QButtonGroup* group, QWidget* parent, QLayout* layout, const QStringList& texts)
{
    QList<QWidget*> radios;
    for (int i = 0; i < texts.size(); ++i) {
        auto* r = new QRadioButton(texts.at(i), parent);
        group->addButton(r, i);
        layout->addWidget(r);
        radios << r;
    }
    return radios;
}
} // namespace

void CDiaOptionBase::Finish(QWidget* content)
{
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(content);
    layout->addWidget(buttons);
}

// ---- thumbnails ----

CDiaOptionThumb::CDiaOptionThumb(CSettingsStore& store, CPlatform& platform, QWidget* parent)
    : CDiaOptionBase(HelpTopic::ThumbOptions, parent), m_store(store), m_platform(platform)
{
    setWindowTitle(tr("Optionen Vorschaubilder"));
    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);

    m_on = new QCheckBox(tr("Vorschaubilder anzeigen"), content);
    auto* widthLabel = new QLabel(tr("Breite:"), content);
    m_width = new QLineEdit(content);
    m_width->setObjectName(QStringLiteral("width"));
    m_width->setAlignment(Qt::AlignRight);
    m_width->setMaximumWidth(70);
    auto* pixels = new QLabel(tr("Pixel"), content);
    widthLabel->setBuddy(m_width);

    auto* qualityBox = new QGroupBox(tr("Qualität"), content);
    auto* qualityLayout = new QVBoxLayout(qualityBox);
    m_quality = new QButtonGroup(this);
    QList<QWidget*> radios =
        AddRadios(m_quality, qualityBox, qualityLayout, {tr("Tief"), tr("Mittel"), tr("Hoch")});

    auto* alignBox = new QGroupBox(tr("Anordnung"), content);
    auto* alignLayout = new QVBoxLayout(alignBox);
    m_align = new QButtonGroup(this);
    radios << AddRadios(m_align, alignBox, alignLayout, {tr("Vertikal"), tr("Horizontal")});
    auto* note = new QLabel(tr("Änderung wird erst nach Neustart von Folivant wirksam."), alignBox);
    note->setWordWrap(true);
    alignLayout->addWidget(note);

    grid->addWidget(m_on, 0, 0, 1, 3);
    grid->addWidget(widthLabel, 1, 0);
    grid->addWidget(m_width, 1, 1);
    grid->addWidget(pixels, 1, 2);
    grid->addWidget(qualityBox, 2, 0, 1, 3);
    grid->addWidget(alignBox, 3, 0, 1, 3);
    m_dependent = {widthLabel, pixels, m_width, qualityBox};
    m_dependent << radios << QList<QWidget*>{alignBox, note};
    Finish(content);
    connect(m_on, &QCheckBox::clicked, this, &CDiaOptionThumb::OnCheckClicked);
    m_width->setText(QStringLiteral("0"));
    CheckRadio(m_quality, -1);
    CheckRadio(m_align, -1);
    UpdateEnabling();
}

QList<QWidget*> CDiaOptionThumb::DependentControls() const
{
    return m_dependent;
}

void CDiaOptionThumb::SetRecord(COptionThumb* record)
{
    m_record = record;
    if (record == nullptr) {
        return;
    }
    m_on->setChecked(record->On == 1);
    m_width->setText(QString::number(record->Width));
    CheckRadio(m_quality, record->Quality);
    CheckRadio(m_align, record->Align);
    m_enabledState = m_on->isChecked();
    UpdateEnabling();
}

void CDiaOptionThumb::UpdateEnabling()
{
    for (QWidget* w : m_dependent) {
        w->setEnabled(m_enabledState);
    }
}

bool CDiaOptionThumb::ReadControls(int* width)
{
    const IntFieldResult r = ReadIntField(m_width->text(), kMinWidth, kMaxWidth, width);
    if (r != IntFieldResult::Ok) {
        m_platform.messageBox->Show(this, IntFieldMessage(r, kMinWidth, kMaxWidth), LoadString(Str::AppTitle),
                                    IMessageBox::Exclamation);
        m_width->setFocus();
        m_width->selectAll();
        return false;
    }
    return true;
}

void CDiaOptionThumb::OnCheckClicked()
{
    int width = 0;
    if (ReadControls(&width)) {
        m_enabledState = m_on->isChecked();
        UpdateEnabling();
    }
}

void CDiaOptionThumb::accept()
{
    int width = 0;
    if (!ReadControls(&width)) {
        return;
    }
    if (m_record != nullptr) {
        m_record->Width = width;
        m_record->On = m_on->isChecked() ? 1 : 0;
        m_record->Quality = m_quality->checkedId();
        m_record->Align = m_align->checkedId();
        m_record->SaveSettings(m_store);
    }
    QDialog::accept();
}

// ---- main image ----

CDiaOptionImage::CDiaOptionImage(CSettingsStore& store, QWidget* parent)
    : CDiaOptionBase(HelpTopic::ImageOptions, parent), m_store(store)
{
    setWindowTitle(tr("Optionen Hauptbild"));
    auto* box = new QGroupBox(tr("Ausrichtung"), this);
    auto* layout = new QVBoxLayout(box);
    m_align = new QButtonGroup(this);
    AddRadios(m_align, box, layout, {tr("Zentriert"), tr("Ecke links oben")});
    CheckRadio(m_align, -1);
    Finish(box);
}

void CDiaOptionImage::SetRecord(COptionImage* record)
{
    m_record = record;
    if (record != nullptr) {
        CheckRadio(m_align, record->Align);
    }
}

void CDiaOptionImage::accept()
{
    if (m_record != nullptr) {
        m_record->Align = m_align->checkedId();
        m_record->SaveSettings(m_store);
    }
    QDialog::accept();
}

// ---- language ----

CDiaOptionLanguage::CDiaOptionLanguage(CSettingsStore& store, QWidget* parent)
    : CDiaOptionBase(HelpTopic::LanguageOptions, parent), m_store(store)
{
    setWindowTitle(tr("Optionen Sprache"));
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_language = new QButtonGroup(this);
    AddRadios(m_language, box, layout, {tr("Deutsch"), tr("Englisch")});
    CheckRadio(m_language, 0);
    Finish(box);
}

void CDiaOptionLanguage::SetRecord(COptionLanguage* record)
{
    m_record = record;
    if (record != nullptr) {
        CheckRadio(m_language, record->Language);
    }
}

void CDiaOptionLanguage::accept()
{
    if (m_record != nullptr) {
        m_record->Language = m_language->checkedId();
        m_record->SaveSettings(m_store);
    }
    QDialog::accept();
}
