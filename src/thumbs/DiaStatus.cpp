#include "thumbs/DiaStatus.h"

#include <QApplication>
#include <QProgressBar>
#include <QVBoxLayout>

CDiaStatus::CDiaStatus(QWidget* centreOn)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(tr("Die Datei wird geladen..."));
    setModal(false);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 0);
    m_progress->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_progress);
    setFixedSize(340, 48);
    if (centreOn != nullptr) {
        const QRect r = centreOn->frameGeometry();
        move(r.center() - rect().center());
    }
}

void CDiaStatus::SetProgressRange(int n)
{
    m_progress->setRange(0, n);
    m_progress->setValue(0);
}

void CDiaStatus::SetProgressPos(int p)
{
    m_progress->setValue(p);
    // Paint now: the GUI thread is busy rendering the first page until the window closes again.
    m_progress->repaint();
}

int CDiaStatus::Range() const
{
    return m_progress->maximum();
}
int CDiaStatus::Pos() const
{
    return m_progress->value();
}
