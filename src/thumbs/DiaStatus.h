#pragma once
// The small window "Die Datei wird geladen..." with a progress bar, shown while the strip fills itself
// for a newly opened document.

#include <QDialog>

class QProgressBar;

class CDiaStatus : public QDialog
{
    Q_OBJECT
public:
    explicit CDiaStatus(QWidget* centreOn = nullptr);
    void SetProgressRange(int n);
    void SetProgressPos(int p);
    int Range() const;
    int Pos() const;

private:
    QProgressBar* m_progress = nullptr;
};
