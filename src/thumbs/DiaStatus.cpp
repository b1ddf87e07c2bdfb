#include "thumbs/DiaStatus.h"

#include "core/WindowPlacement.h"
#include "platform/WindowSystem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// How long showing waits for the window manager to put the window on the screen.
constexpr int kOnScreenTimeoutMs = 1000;
} // namespace

CDiaStatus::CDiaStatus(QWidget* centreOn)
    // A splash window in the window managers' terms: no title bar, so no buttons (minimise, maximise,
    // close) under any of them - some give every dialog all three, whatever it asks for - and no input
    // but moving it. The caption is shown inside, above the bar.
    : QDialog(nullptr, Qt::SplashScreen), m_centreOn(centreOn)
{
    setWindowTitle(tr("Die Datei wird geladen..."));
    setModal(false);
    auto* box = new QFrame(this);
    box->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* caption = new QLabel(windowTitle(), box);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    m_progress = new QProgressBar(box);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 0);
    m_progress->setValue(0);
    m_progress->setMinimumWidth(316);
    auto* inner = new QVBoxLayout(box);
    inner->setContentsMargins(10, 6, 10, 10);
    inner->addWidget(caption);
    inner->addWidget(m_progress);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(box);
    outer->setSizeConstraint(QLayout::SetFixedSize);
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
    if (visible) {
        Place();
    }
    QDialog::setVisible(visible);
    if (visible) {
        WaitUntilOnScreen();
    }
}

void CDiaStatus::Place()
{
    // Where the main window is not on the screen yet (a file opened at start), its rectangle is only where
    // it will be: the middle of that screen is where the eye is.
    QWidget* owner = m_centreOn != nullptr ? m_centreOn->window() : nullptr;
    const bool ownerShown = owner != nullptr && owner->isVisible();
    if (ownerShown && parentWidget() != owner) {
        // Its child: kept above it, and placed by compositors that place windows themselves.
        setParent(owner, windowFlags());
    }
    if (!WindowPositionsKnown()) {
        return; // the compositor places it
    }
    QRect area;
    if (ownerShown) {
        area = owner->frameGeometry();
    } else {
        const QScreen* screen =
            owner != nullptr ? QGuiApplication::screenAt(owner->frameGeometry().center()) : nullptr;
        if (screen == nullptr) {
            screen = QGuiApplication::primaryScreen();
        }
        area = screen != nullptr ? screen->availableGeometry() : QRect();
    }
    adjustSize();
    move(CentredIn(size(), area).topLeft());
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
