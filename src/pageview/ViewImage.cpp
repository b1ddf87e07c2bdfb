#include "pageview/ViewImage.h"

#include "core/CommandIds.h"
#include "core/Strings.h"
#include "document/FolivantData.h"
#include "document/FolivantDoc.h"
#include "pageview/ClipboardDib.h"
#include "platform/Icons.h"
#include "platform/Platform.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>

namespace {
constexpr int kWheelLinesPerNotch = 3;
}

CViewImage::CViewImage(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("CViewImage"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(false);
    for (ZoomAxisId axis : {AxisHorizontal, AxisVertical}) {
        QScrollBar* bar = axis == AxisHorizontal ? horizontalScrollBar() : verticalScrollBar();
        bar->setSingleStep(CDataZoom::kScrollStep);
        bar->setTracking(false); // the page moves when the thumb is released
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, axis](int action) { OnSliderAction(axis, action); });
        connect(bar, &QScrollBar::sliderReleased, this,
                [this, axis, bar] { OnScroll(axis, ThumbPosition, bar->sliderPosition()); });
    }
}

CViewImage::~CViewImage() = default;

void CViewImage::SetPageDrawn(bool drawn)
{
    if (m_pageDrawn != drawn) {
        m_pageDrawn = drawn;
        Q_EMIT pageDrawnChanged(drawn);
    }
}

void CViewImage::ShowPage(int frameIndex, int rotation, int second)
{
    if (m_doc == nullptr) {
        return;
    }
    SetPageDrawn(false);
    if (m_doc->GetPathName() != m_path) {
        m_documentDrawn = false;
    }
    m_path = m_doc->GetPathName();
    m_rotation = rotation & 3;
    m_second = second;
    m_pageImage.reset();
    if (!m_path.isEmpty()) {
        m_pageImage = std::make_unique<CTiffImage>(m_path);
        m_pageImage->SelectActiveFrame(frameIndex);
        // Square pixels at the higher resolution, then the page's own quarter turns.
        QSize size = m_pageImage->GetSquarePixelSize();
        switch (m_rotation) {
        case 1:
            m_pageImage->RotateFlip(RotateFlipType::Rotate90FlipNone);
            size.transpose();
            break;
        case 2:
            m_pageImage->RotateFlip(RotateFlipType::Rotate180FlipNone);
            break;
        case 3:
            m_pageImage->RotateFlip(RotateFlipType::Rotate270FlipNone);
            size.transpose();
            break;
        default:
            break;
        }
        m_zoom.SetPageWidth(size.width());
        m_zoom.SetPageHeight(size.height());
        HideScrollBars();
        m_zoom.ZoomWholePage();
        UpdateScrollBars();
    }
    viewport()->update();
}

void CViewImage::OnInitialUpdate()
{
    ShowPage(0, m_rotation, m_second);
}

void CViewImage::UpdateImageRect()
{
    if (m_data != nullptr) {
        m_zoom.SetAlignTopLeft(m_data->image.Align);
    }
    m_imageRect = QRect(m_zoom.Horizontal().offset, m_zoom.Vertical().offset, m_zoom.Horizontal().zoomed,
                        m_zoom.Vertical().zoomed);
}

void CViewImage::HideScrollBars()
{
    m_updatingBars = true;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_updatingBars = false;
}

void CViewImage::ApplyScrollBarPolicies()
{
    for (ZoomAxisId axis : {AxisHorizontal, AxisVertical}) {
        const ZoomAxis& a = m_zoom.Axis(axis);
        QScrollBar* bar = axis == AxisHorizontal ? horizontalScrollBar() : verticalScrollBar();
        if (a.scrollNeeded != 0) {
            bar->setRange(0, std::max(0, a.scrollRange));
            bar->setPageStep(std::max(1, a.client));
            bar->setValue(a.scrollPos);
            bar->setSliderPosition(a.scrollPos);
        }
        const Qt::ScrollBarPolicy policy =
            a.scrollNeeded != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
        if (axis == AxisHorizontal) {
            setHorizontalScrollBarPolicy(policy);
        } else {
            setVerticalScrollBarPolicy(policy);
        }
    }
}

void CViewImage::UpdateScrollBars()
{
    m_updatingBars = true;
    const QSize before = viewport()->size();
    ApplyScrollBarPolicies();
    if (viewport()->size() != before) {
        // A bar came or went: the scroll ranges follow the room that is left, the page stays put.
        m_zoom.UpdateScrollRanges();
        ApplyScrollBarPolicies();
    }
    m_updatingBars = false;
    UpdateImageRect();
    viewport()->update();
}

void CViewImage::OnZoomIn()
{
    m_zoom.ZoomIn();
    UpdateScrollBars();
}

void CViewImage::OnZoomOut()
{
    m_zoom.ZoomOut();
    UpdateScrollBars();
}

void CViewImage::OnWholePage()
{
    HideScrollBars();
    m_zoom.ZoomWholePage();
    UpdateScrollBars();
}

void CViewImage::OnWholeWidth()
{
    // A page taller than the window gets a vertical bar: make room for it before the width is fitted.
    HideScrollBars();
    if (m_zoom.GetPageWidth() > 0 &&
        static_cast<long long>(m_zoom.GetPageHeight()) * viewport()->width() / m_zoom.GetPageWidth() >
            viewport()->height()) {
        m_updatingBars = true;
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_updatingBars = false;
    }
    m_zoom.ZoomWholeWidth();
    UpdateScrollBars();
}

void CViewImage::OnActualPixels()
{
    m_zoom.ZoomActualPixels();
    UpdateScrollBars();
}

void CViewImage::OnScroll(ZoomAxisId axis, int code, int position)
{
    switch (code) {
    case LineUp:
    case PageUp:
    case Top:
        m_zoom.ScrollAxis(axis, ScrollBack);
        break;
    case LineDown:
    case PageDown:
    case Bottom:
        m_zoom.ScrollAxis(axis, ScrollForward);
        break;
    case ThumbPosition:
        m_zoom.ScrollAxis(axis, ScrollTo, position);
        break;
    default:
        return; // dragging the thumb does not move the page
    }
    UpdateScrollBars();
}

void CViewImage::OnSliderAction(ZoomAxisId axis, int action)
{
    if (m_updatingBars) {
        return;
    }
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        code = LineDown;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        code = LineUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = PageDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = PageUp;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = Bottom;
        break;
    default:
        return; // SliderMove: the thumb is being dragged
    }
    OnScroll(axis, code);
    // The slider applies its own step after this signal; make it land where the model says.
    QScrollBar* bar = axis == AxisHorizontal ? horizontalScrollBar() : verticalScrollBar();
    bar->setSliderPosition(m_zoom.Axis(axis).scrollPos);
}

void CViewImage::scrollContentsBy(int, int)
{
    // Scrolling is the zoom model's; the viewport is repainted from it.
}

void CViewImage::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    if (m_pageImage != nullptr) {
        if (!m_imageRect.isEmpty()) {
            m_pageImage->Draw(painter, m_imageRect, InterpolationMode::HighQuality);
        }
        m_documentDrawn = true;
        SetPageDrawn(true);
    }
}

void CViewImage::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_zoom.SetWindowWidth(viewport()->width());
    m_zoom.SetWindowHeight(viewport()->height());
    UpdateImageRect();
}

bool CViewImage::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        // Only recorded: the page keeps its size and place until the next zoom, page or rotation.
        m_zoom.SetWindowWidth(viewport()->width());
        m_zoom.SetWindowHeight(viewport()->height());
        UpdateImageRect();
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

void CViewImage::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        if (delta.y() > 0) {
            OnZoomIn();
        } else if (delta.y() < 0) {
            OnZoomOut();
        }
        event->accept();
        return;
    }
    const bool horizontal = (event->modifiers() & Qt::ShiftModifier) || delta.x() != 0;
    const int steps = (horizontal ? (delta.x() != 0 ? delta.x() : delta.y()) : delta.y()) / 120;
    const ZoomAxisId axis = horizontal ? AxisHorizontal : AxisVertical;
    for (int i = 0; i < std::abs(steps) * kWheelLinesPerNotch; ++i) {
        m_zoom.ScrollAxis(axis, steps > 0 ? ScrollBack : ScrollForward);
    }
    if (steps != 0) {
        UpdateScrollBars();
    }
    event->accept();
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

// ---- copy and rotation ----

void CViewImage::CopyPageToClipboard()
{
    if (m_pageImage == nullptr) {
        return;
    }
    bool ok = false;
    const QSize size = m_pageImage->GetSquarePixelSize();
    if (!size.isEmpty()) {
        const QImage page = m_pageImage->RenderScaled(size.width(), size.height(),
                                                      InterpolationMode::HighQuality, 0xFF000000);
        if (!page.isNull() && m_platform != nullptr) {
            ok = m_platform->clipboard->SetPage(page, MakeClipboardBmp(page));
        }
    }
    if (m_platform == nullptr) {
        return;
    }
    if (ok) {
        m_platform->messageBox->Show(this, LoadString(Str::CopyToClipboardOk), LoadString(Str::Information),
                                     IMessageBox::Information);
    } else {
        m_platform->messageBox->Show(this, LoadString(Str::CopyToClipboardFailed),
                                     LoadString(Str::Information), IMessageBox::Exclamation);
    }
}

void CViewImage::Rotate(RotateFlipType type, int steps)
{
    if (m_pageImage == nullptr) {
        return;
    }
    // The page keeps square pixels after the turn: a fax page of 204 x 98 dpi must not look squashed.
    QSize size(m_zoom.GetPageWidth(), m_zoom.GetPageHeight());
    m_pageImage->RotateFlip(type);
    size.transpose();
    m_zoom.SetPageWidth(size.width());
    m_zoom.SetPageHeight(size.height());
    HideScrollBars();
    m_zoom.ZoomWholePage();
    UpdateScrollBars();
    m_rotation = (m_rotation + steps) % 4;
    Q_EMIT rotationChanged(m_rotation, m_second);
}

void CViewImage::RotateClockwise()
{
    Rotate(RotateFlipType::Rotate90FlipNone, 1);
}
void CViewImage::RotateCounterClockwise()
{
    Rotate(RotateFlipType::Rotate270FlipNone, 3);
}
