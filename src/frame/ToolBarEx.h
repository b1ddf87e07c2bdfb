#pragma once
// The main toolbar with the page number box in the place of the button "Bestimmte Seite anzeigen":
// the user picks a page from the list of all page numbers or types one and presses Enter.

#include <QToolBar>

#include <functional>
#include <map>

class QComboBox;

class CToolBarEx : public QToolBar
{
    Q_OBJECT
public:
    // The box shows at least this many digits, more when the document has larger page numbers.
    static constexpr int kPageBoxDigits = 5;
    static constexpr int kDropDownHeight = 200;

    explicit CToolBarEx(QWidget* parent = nullptr);

    // Lays the buttons out anew from the command table, with a new page box and without the buttons
    // whose commands `hidden` says are removed.
    void ResetToolBar(const std::map<int, QAction*>& actions, const std::function<bool(int id)>& hidden);

    QComboBox* GetPageBox() const { return m_pageBox; }
    void FillPageBox(int n);
    int GetPageBoxSelection() const;
    // Writes the page number into the box; the entry with that text becomes the selected one.
    void ShowPageNumber(int n);
    // Checks the typed text; on refusal `reject` is called (the message) and the focus returns to the box.
    bool ReadPageInput(const std::function<void()>& reject);
    int GetRequestedPage() const { return m_requestedPage; }

protected:
    void changeEvent(QEvent* event) override;

Q_SIGNALS:
    void pageBoxEnter();
    void pageBoxSelect(int index);

private:
    // Wide enough for `digits` digits in the box's font and style.
    void FitPageBox(int digits);

    QComboBox* m_pageBox = nullptr;
    int m_pageBoxDigits = kPageBoxDigits;
    int m_requestedPage = 0;
};
