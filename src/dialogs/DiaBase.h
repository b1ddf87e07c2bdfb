#pragma once
// What every dialog of the program shares: F1 asks for the dialog's help page; the dialog blocks only the
// window it belongs to, so the help window it asks for stays usable beside it; the title bar offers
// closing only, and the dialog keeps the size its contents need, at least wide enough for its title.

#include <QDialog>

class CDiaBase : public QDialog
{
    Q_OBJECT
public:
    CDiaBase(int helpTopic, QWidget* parent);
    int HelpTopic() const { return m_helpTopic; }
    // The width a title bar needs for the window's title, the window's icon and up to three buttons.
    int TitleBarWidth() const;

    void setVisible(bool visible) override;

Q_SIGNALS:
    void helpRequested(int topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FixSize();

    int m_helpTopic;
};
