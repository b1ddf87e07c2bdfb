#pragma once
// The three options dialogs. Each shows its settings record when it opens and, on OK, writes the values
// back into the record and saves it at once. F1 asks for the dialog's help page.

#include "dialogs/DiaBase.h"

class COptionThumb;
class COptionImage;
struct COptionLanguage;
class CSettingsStore;
struct CPlatform;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QGroupBox;
class QLabel;

class CDiaOptionBase : public CDiaBase
{
    Q_OBJECT
public:
    using CDiaBase::CDiaBase;

protected:
    // OK and "Abbrechen" below `content`.
    void Finish(QWidget* content);
};

class CDiaOptionThumb : public CDiaOptionBase
{
    Q_OBJECT
public:
    static constexpr int kMinWidth = 100;
    static constexpr int kMaxWidth = 500;

    CDiaOptionThumb(CSettingsStore& store, CPlatform& platform, QWidget* parent = nullptr);
    void SetRecord(COptionThumb* record);

    QCheckBox* OnBox() const { return m_on; }
    QLineEdit* WidthEdit() const { return m_width; }
    QButtonGroup* QualityGroup() const { return m_quality; }
    QButtonGroup* AlignGroup() const { return m_align; }
    // The controls that follow "Vorschaubilder anzeigen".
    QList<QWidget*> DependentControls() const;

public Q_SLOTS:
    void accept() override;

private:
    bool ReadControls(int* width);
    void UpdateEnabling();
    void OnCheckClicked();

    CSettingsStore& m_store;
    CPlatform& m_platform;
    COptionThumb* m_record = nullptr;
    QCheckBox* m_on = nullptr;
    QLineEdit* m_width = nullptr;
    QButtonGroup* m_quality = nullptr;
    QButtonGroup* m_align = nullptr;
    QList<QWidget*> m_dependent;
    bool m_enabledState = false;
};

class CDiaOptionImage : public CDiaOptionBase
{
    Q_OBJECT
public:
    CDiaOptionImage(CSettingsStore& store, QWidget* parent = nullptr);
    void SetRecord(COptionImage* record);
    QButtonGroup* AlignGroup() const { return m_align; }

public Q_SLOTS:
    void accept() override;

private:
    CSettingsStore& m_store;
    COptionImage* m_record = nullptr;
    QButtonGroup* m_align = nullptr;
};

class CDiaOptionLanguage : public CDiaOptionBase
{
    Q_OBJECT
public:
    CDiaOptionLanguage(CSettingsStore& store, QWidget* parent = nullptr);
    void SetRecord(COptionLanguage* record);
    QButtonGroup* LanguageGroup() const { return m_language; }

public Q_SLOTS:
    void accept() override;

private:
    CSettingsStore& m_store;
    COptionLanguage* m_record = nullptr;
    QButtonGroup* m_language = nullptr;
};
