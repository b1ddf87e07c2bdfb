#pragma once
// "Info über...": the product and version in bold, the maker's logo and notice, a link to the maker's
// web site and the box that stops the dialog from opening at start.

#include "core/HelpTopics.h"
#include "dialogs/DiaBase.h"

class CSettingsStore;
class CURLLinkButton;
struct CPlatform;
class QCheckBox;
class QLabel;

class CDiaAbout : public CDiaBase
{
    Q_OBJECT
public:
    static constexpr int kHelpTopic = HelpTopic::About;

    CDiaAbout(CSettingsStore& store, CPlatform& platform, QString programFolder, QWidget* parent = nullptr);

    QCheckBox* DoNotShowBox() const { return m_doNotShow; }
    CURLLinkButton* LinkButton() const { return m_link; }
    QLabel* VersionLabel() const { return m_version; }
    // The rectangle the logo is drawn into, and whether a logo was drawn at the last paint.
    QRect LogoRect() const;
    bool LogoDrawn() const { return m_logoDrawn; }

public Q_SLOTS:
    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSettingsStore& m_store;
    QString m_programFolder;
    QWidget* m_logoArea = nullptr;
    QLabel* m_version = nullptr;
    CURLLinkButton* m_link = nullptr;
    QCheckBox* m_doNotShow = nullptr;
    bool m_logoDrawn = false;
};
