#pragma once
// The small window "Die Datei wird geladen..." with a progress bar, shown while the strip fills itself
// for a newly opened document.

#include <QDialog>

class QProgressBar;

class CDiaStatus : public QDialog
{
    Q_OBJECT
public:
    // Centred on `centreOn`'s window once that is on the screen, else on the screen it is to appear on.
    explicit CDiaStatus(QWidget* centreOn = nullptr);
    void SetProgressRange(int n);
    void SetProgressPos(int p);
    int Range() const;
    int Pos() const;

    // Showing returns once the window is on the screen, painted.
    void setVisible(bool visible) override;

protected:
    // No input reaches the window: it cannot be closed, neither by its title bar nor by Esc.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Place();
    void WaitUntilOnScreen();

    QWidget* m_centreOn = nullptr;
    QProgressBar* m_progress = nullptr;
};
