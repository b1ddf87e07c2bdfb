#include "thumbs/DiaStatus.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// How long showing waits for the window manager to put the window on the screen.
constexpr int kOnScreenTimeoutMs = 1000;
} // namespace

CDiaStatus::CDiaStatus(QWidget* centreOn)
    // A title and no buttons at all.
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

void CDiaStatus::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    if (visible) {
        WaitUntilOnScreen();
    }
}

void CDiaStatus::WaitUntilOnScreen()
{
    // The window appears right before the GUI thread gets busy and is gone again before it is free, so
    // what is not on the screen now never will be: a window painted before the window manager has
    // mapped it stays an empty frame. Wait until it is exposed - without user input, for a second at
    // most - and paint it then.
    const QWindow* window = windowHandle();
    const QDeadlineTimer deadline(kOnScreenTimeoutMs);
    while (window != nullptr && !window->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        if (!window->isExposed()) {
            QThread::msleep(5);
        }
    }
    repaint();
}

void CDiaStatus::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void CDiaStatus::keyPressEvent(QKeyEvent* event)
{
    Q_UNUSED(event); // Esc would close a dialog
}
