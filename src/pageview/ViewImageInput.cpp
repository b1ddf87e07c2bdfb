// The page view's input: keys, wheels and touchpads, pinch gestures, marking with the mouse and the
// context menu.
#include "core/CommandIds.h"
#include "core/Strings.h"
#include "pageview/ViewImage.h"
#include "platform/Icons.h"
#include "platform/Platform.h"

#include <QGestureEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QNativeGestureEvent>
#include <QPinchGesture>
#include <QRubberBand>
#include <QWheelEvent>

#include <cmath>

namespace {
// One notch of a wheel (120 eighths of a degree) scrolls three 20-pixel lines.
constexpr int kNotch = 120;
constexpr int kPixelsPerNotch = 3 * CDataZoom::kScrollStep;
// A pinch that grows or shrinks the page by this fraction makes one zoom step.
constexpr double kPinchPerStep = 0.05;

// Turns `rest` (eighths of a degree, accumulated) into whole pixels and keeps what is left, so that a
// touchpad's many small deltas scroll as far as one notch would.
int TakePixels(int& rest)
{
    const int pixels = rest * kPixelsPerNotch / kNotch;
    rest -= pixels * kNotch / kPixelsPerNotch;
    return pixels;
}
} // namespace

bool CViewImage::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        // The page keeps its size and place, unless it must move to stay reachable; a bar may come or go.
        RecordWindowSize();
        if (m_updatingBars) {
            UpdateImageRect();
        } else {
            UpdateScrollBars();
        }
        break;
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        if (GestureEvent(event)) {
            return true;
        }
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CViewImage::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Q_EMIT helpRequested(kHelpTopic);
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CViewImage::ZoomSteps(int steps)
{
    for (; steps > 0; --steps) {
        m_zoom.ZoomIn();
    }
    for (; steps < 0; ++steps) {
        m_zoom.ZoomOut();
    }
    UpdateScrollBars();
}

void CViewImage::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const QPoint angle = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        m_zoomWheelRest += angle.y() != 0 ? angle.y() : angle.x();
        const int steps = m_zoomWheelRest / kNotch;
        m_zoomWheelRest -= steps * kNotch;
        if (steps != 0) {
            ZoomSteps(steps);
        }
        return;
    }
    // Pixels where the device reports them (touchpads on some systems), else the angle, kept to the pixel.
    QPoint pixels = event->pixelDelta();
    if (pixels.isNull()) {
        m_wheelRest += angle;
        pixels = QPoint(TakePixels(m_wheelRest.rx()), TakePixels(m_wheelRest.ry()));
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        pixels = QPoint(pixels.x() + pixels.y(), 0); // Shift turns the wheel sideways
    }
    if (pixels.isNull()) {
        return;
    }
    m_zoom.ScrollBy(AxisHorizontal, -pixels.x());
    m_zoom.ScrollBy(AxisVertical, -pixels.y());
    UpdateScrollBars();
}

bool CViewImage::GestureEvent(QEvent* event)
{
    double change = 0.0;
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() != Qt::ZoomNativeGesture) {
            return false;
        }
        change = gesture->value();
    } else {
        auto* gestures = static_cast<QGestureEvent*>(event);
        auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture));
        if (pinch == nullptr) {
            return false;
        }
        gestures->accept(pinch);
        if (!(pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)) {
            return true;
        }
        change = pinch->scaleFactor() - 1.0;
    }
    m_pinchRest += change;
    const int steps = static_cast<int>(m_pinchRest / kPinchPerStep);
    m_pinchRest -= steps * kPinchPerStep;
    if (steps != 0) {
        ZoomSteps(steps);
    }
    event->accept();
    return true;
}

// ---- marking: a left-button drag zooms into the marked rectangle ----

QRect CViewImage::RubberBand() const
{
    return QRect(m_anchor, m_current).normalized();
}

void CViewImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_anchor = m_current = event->position().toPoint();
        m_dragging = true;
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (m_pageDrawn) {
            ShowContextMenu(event->globalPosition().toPoint());
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CViewImage::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    m_current = event->position().toPoint();
    auto* band = findChild<QRubberBand*>(QStringLiteral("markBand"));
    if (band == nullptr) {
        band = new QRubberBand(QRubberBand::Rectangle, viewport());
        band->setObjectName(QStringLiteral("markBand"));
    }
    band->setGeometry(RubberBand());
    band->show();
}

void CViewImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_current = event->position().toPoint();
    m_dragging = false;
    if (auto* band = findChild<QRubberBand*>(QStringLiteral("markBand"))) {
        band->hide();
    }
    const int left = std::min(m_anchor.x(), m_current.x());
    const int right = std::max(m_anchor.x(), m_current.x());
    const int top = std::min(m_anchor.y(), m_current.y());
    const int bottom = std::max(m_anchor.y(), m_current.y());
    if (left == right || top == bottom) {
        return; // a click or a straight line changes nothing
    }
    m_zoom.SetMarked(right - left, left, bottom - top, top);
    const ZoomStatus status = m_zoom.ZoomToMarked();
    if (status == ZoomOk) {
        UpdateScrollBars();
    } else if (m_platform != nullptr) {
        m_platform->messageBox->Show(this, LoadString(Str::MarkLargerArea), LoadString(Str::Information),
                                     IMessageBox::Information);
    }
}

void CViewImage::ShowContextMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    const auto add = [&](int id, int textId, const char* icon, void (CViewImage::*slot)()) {
        QAction* a = menu.addAction(FolivantIcon(QString::fromLatin1(icon)), LoadString(textId));
        a->setData(id);
        connect(a, &QAction::triggered, this, slot);
    };
    add(Cmd::Copy, Str::MenuCopy, "copy", &CViewImage::CopyPageToClipboard);
    menu.addSeparator();
    add(Cmd::RotateCw, Str::MenuRotateCw, "rotate-cw", &CViewImage::RotateClockwise);
    add(Cmd::RotateCcw, Str::MenuRotateCcw, "rotate-ccw", &CViewImage::RotateCounterClockwise);
    menu.addSeparator();
    add(Cmd::WholeWidth, Str::MenuWholeWidth, "whole-width", &CViewImage::OnWholeWidth);
    add(Cmd::WholePage, Str::MenuWholePage, "whole-page", &CViewImage::OnWholePage);
    add(Cmd::ZoomOut, Str::MenuZoomOut, "zoom-out", &CViewImage::OnZoomOut);
    add(Cmd::ZoomIn, Str::MenuZoomIn, "zoom-in", &CViewImage::OnZoomIn);
    add(Cmd::ActualPixels, Str::MenuActualSize, "actual-pixels", &CViewImage::OnActualPixels);
    menu.exec(globalPos);
}
