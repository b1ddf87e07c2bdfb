#pragma once
// "Seite anzeigen": asks for a page number (1 ... 1000), starting from the current page. F1 shows the help
// page on paging through a document.

#include "dialogs/DiaBase.h"

struct CPlatform;
class QLineEdit;

class CDiaPage : public CDiaBase
{
    Q_OBJECT
public:
    static constexpr int kMin = 1;
    static constexpr int kMax = 1000;

    explicit CDiaPage(CPlatform& platform, QWidget* parent = nullptr);
    void SetPageNumber(int n);
    int GetPageNumber() const { return m_page; }
    QLineEdit* Edit() const { return m_edit; }

public Q_SLOTS:
    // Checks the field; a bad number gives its message and the dialog stays open.
    void accept() override;

private:
    CPlatform& m_platform;
    QLineEdit* m_edit = nullptr;
    int m_page = 1;
};
