// The main window's placement: restored at start, applied exactly once the window manager has framed the
// window, followed while the window is neither maximised nor minimised, and saved at the end.
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "core/WindowPlacement.h"
#include "frame/MainFrame.h"
#include "pageview/ViewImage.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace {

QString Misc()
{
    return LoadString(Str::SectionMisc);
}

bool IsNormal(const QWidget& w)
{
    return (w.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) == 0;
}

// The window manager has put its frame around the window (a window without one never differs).
bool FrameKnown(const QWidget& w)
{
    return w.frameGeometry() != w.geometry();
}

} // namespace

void CMainFrame::RestorePlacement()
{
    const QString misc = Misc();
    const int x1 = m_store.ReadInt(misc, QStringLiteral("PosX1"), kPlacementUnset);
    const int x2 = m_store.ReadInt(misc, QStringLiteral("PosX2"), kPlacementUnset);
    const int y1 = m_store.ReadInt(misc, QStringLiteral("PosY1"), kPlacementUnset);
    const int y2 = m_store.ReadInt(misc, QStringLiteral("PosY2"), kPlacementUnset);
    std::vector<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    m_placedFrame = RestoredPlacement(x1, x2, y1, y2, screens)
                        .value_or(DefaultPlacement(primary != nullptr ? primary->availableGeometry()
                                                                      : QRect(0, 0, 1024, 768)));
    m_normalFrame = m_placedFrame;
    // Until the frame is known the whole rectangle is the window's inside; ApplyPlacedFrame makes it exact.
    // Moving a window places its frame's corner.
    resize(m_placedFrame.size());
    if (WindowPositionsKnown()) {
        move(m_placedFrame.topLeft());
    }
    m_startMaximized = m_store.ReadInt(misc, QStringLiteral("Maximized"), 1) == 1;
}

void CMainFrame::ApplyPlacedFrame()
{
    m_framePending = false;
    const QRect frame = frameGeometry();
    const QRect inside = geometry();
    const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(),
                           frame.right() - inside.right(), frame.bottom() - inside.bottom());
    resize(m_placedFrame.size().shrunkBy(margins));
    if (WindowPositionsKnown()) {
        move(m_placedFrame.topLeft());
    }
}

void CMainFrame::TrackNormalFrame()
{
    if (!m_wasShown || !isVisible() || !IsNormal(*this)) {
        return;
    }
    if (!m_framePending) {
        m_normalFrame = frameGeometry();
    } else if (FrameKnown(*this)) {
        // Framed by now - at the first showing, or when a window started maximised is made normal for
        // the first time and the window manager gives back the size it was mapped with, frame not counted.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_framePending && isVisible() && IsNormal(*this)) {
                    ApplyPlacedFrame();
                }
            },
            Qt::QueuedConnection);
    }
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    TrackNormalFrame();
}

void CMainFrame::ShowInitially()
{
    if (m_startMaximized) {
        showMaximized();
    } else {
        show();
    }
    // The window system maximises and places the window asynchronously. Wait (briefly) until the window
    // is on screen, placed exactly and its size has settled, so that start-up fits the page into the final
    // window. A window manager that frames nothing leaves the frame unknown: after a while it counts as none.
    // The wait sleeps until the window system answers (or the next tick), leaving the processor to it.
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(5);
    qint64 deadline = 600;
    QSize last;
    int stable = 0;
    while (clock.elapsed() < deadline && stable < 3) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
        const bool exposed = windowHandle() != nullptr && windowHandle()->isExposed();
        if (exposed && m_framePending && !m_startMaximized && IsNormal(*this) &&
            (FrameKnown(*this) || clock.elapsed() > 250)) {
            ApplyPlacedFrame();
            deadline = clock.elapsed() + 600;
            stable = 0;
            continue;
        }
        const bool placed = m_startMaximized ? isMaximized() || clock.elapsed() > 250 : !m_framePending;
        if (exposed && placed && std::exchange(m_initialUpdatePending, false)) {
            // On the screen at the size the window system gave it: page 1 is decoded meanwhile.
            StartShownDocument();
        }
        stable = exposed && placed && size() == last ? stable + 1 : 0;
        last = size();
    }
    m_openBeforeShowing = false;
    if (std::exchange(m_initialUpdatePending, false)) {
        StartShownDocument();
    } else if (m_stripPending) {
        m_view->PrefetchFirstPage(); // asked again only if the size has changed since
    }
}

void CMainFrame::showEvent(QShowEvent* event)
{
    m_wasShown = true;
    QMainWindow::showEvent(event);
}

void CMainFrame::SavePlacement()
{
    // A window that never appeared (help, a command-line error, a failed start, a quiet print run) has
    // no placement of the user's to keep; a minimised one keeps the previous one.
    if (!m_wasShown || isMinimized()) {
        return;
    }
    // A maximised window saves the rectangle it has when made normal again.
    const QRect frame = isVisible() && IsNormal(*this) && !m_framePending ? frameGeometry() : m_normalFrame;
    const QString misc = Misc();
    const StoredPlacement p = PlacementToStore(
        frame, WindowPositionsKnown(), m_store.GetProfileInt(misc, QStringLiteral("PosX1"), kPlacementUnset),
        m_store.GetProfileInt(misc, QStringLiteral("PosY1"), kPlacementUnset));
    m_store.WriteProfileInt(misc, QStringLiteral("PosX1"), p.x1);
    m_store.WriteProfileInt(misc, QStringLiteral("PosX2"), p.x2);
    m_store.WriteProfileInt(misc, QStringLiteral("PosY1"), p.y1);
    m_store.WriteProfileInt(misc, QStringLiteral("PosY2"), p.y2);
    m_store.WriteProfileInt(misc, QStringLiteral("Maximized"), isMaximized() ? 1 : 0);
}
