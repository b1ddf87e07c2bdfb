#include "pageview/ViewImage.h"

#include "core/Strings.h"
#include "document/FolivantData.h"
#include "document/FolivantDoc.h"
#include "pageview/PagePaintPlan.h"
#include "pageview/ViewAccessible.h"
#include "platform/FocusFrame.h"
#include "platform/Platform.h"

#include <utility>

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

CViewImage::CViewImage(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("CViewImage"));
    InstallViewAccessible();
    SetUpPaneFrame(this);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    // paintEvent paints every pixel it is asked for: nothing below the page area is painted first, not even
    // the window's own background (the first frame of a maximised window fills a screenful less).
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    viewport()->grabGesture(Qt::PinchGesture);
    for (ZoomAxisId axis : {AxisHorizontal, AxisVertical}) {
        QScrollBar* bar = axis == AxisHorizontal ? horizontalScrollBar() : verticalScrollBar();
        bar->setSingleStep(CDataZoom::kScrollStep);
        bar->setTracking(false); // the page moves when the thumb is released
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, axis](int action) { OnSliderAction(axis, action); });
        connect(bar, &QScrollBar::sliderReleased, this,
                [this, axis, bar] { OnScroll(axis, ThumbPosition, bar->sliderPosition()); });
    }

    m_worker = new CPageRenderWorker(this);
    connect(m_worker, &CPageRenderWorker::pageLoaded, this, &CViewImage::OnPageLoaded, Qt::QueuedConnection);
    connect(m_worker, &CPageRenderWorker::regionRendered, this, &CViewImage::OnRegionRendered,
            Qt::QueuedConnection);
    m_copier = new CPageCopier(this);
    connect(m_copier, &CPageCopier::finished, this, &CViewImage::OnCopyFinished, Qt::QueuedConnection);
    m_busyTimer.setSingleShot(true);
    m_busyTimer.setInterval(kBusyCursorDelayMs);
    connect(&m_busyTimer, &QTimer::timeout, this, [this] {
        m_waitedLong = true;
        UpdateBusyCursor();
    });
}

CViewImage::~CViewImage()
{
    // The threads end before anything they report to goes.
    delete m_worker;
    m_worker = nullptr;
    delete m_copier;
    m_copier = nullptr;
    if (m_busyCursor) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void CViewImage::SetPageDrawn(bool drawn)
{
    if (m_pageDrawn != drawn) {
        m_pageDrawn = drawn;
        Q_EMIT pageDrawnChanged(drawn);
    }
}

double CViewImage::DevicePixelRatio() const
{
    return viewport()->devicePixelRatio();
}

bool CViewImage::IsCopying() const
{
    return m_copier != nullptr && m_copier->IsBusy();
}

void CViewImage::UpdateBusyCursor()
{
    const bool waiting = m_loadingGeneration != 0 || m_regionInFlight.has_value();
    if (!waiting) {
        m_busyTimer.stop();
        m_waitedLong = false;
    } else if (!m_busyTimer.isActive() && !m_waitedLong) {
        m_busyTimer.start();
    }
    const bool busy = IsCopying() || m_waitedLong;
    if (busy != m_busyCursor) {
        m_busyCursor = busy;
        if (busy) {
            QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        } else {
            QGuiApplication::restoreOverrideCursor();
        }
    }
}

// ---- showing a page ----

void CViewImage::ShowPage(int frameIndex, int rotation, int second)
{
    if (m_doc == nullptr) {
        return;
    }
    // The page fetched ahead while the strip was filled is on its way or has been shown already.
    const bool prefetched = std::exchange(m_prefetchPending, false);
    const bool fetching = m_loadingGeneration != 0 || m_shown.generation == m_generation;
    if (prefetched && fetching && m_path == m_doc->GetPathName() && frameIndex == m_loadingFrame &&
        (rotation & 3) == m_rotation && second == m_second && m_loadingFit == contentsRect().size() &&
        m_loadingDpr == DevicePixelRatio()) {
        return;
    }
    SetPageDrawn(false);
    if (m_doc->GetPathName() != m_path) {
        m_documentDrawn = false;
        m_pageCount = -1;
    }
    m_path = m_doc->GetPathName();
    m_rotation = rotation & 3;
    m_second = second;
    ++m_generation;
    m_regionInFlight.reset();
    if (m_path.isEmpty()) {
        m_worker->Forget(m_generation);
        m_loadingGeneration = 0;
        m_hasPage = false;
        m_shown = ShownPage();
        m_preview = Rendering();
        m_region = Rendering();
        UpdateBusyCursor();
        viewport()->update();
        NotifyViewChanged(this);
        return;
    }
    // The page on screen stays until the new one has arrived.
    m_hasPage = true;
    m_loadingGeneration = m_generation;
    m_loadingFrame = frameIndex;
    CPageRequest request;
    request.generation = m_generation;
    request.path = m_path;
    request.frame = frameIndex;
    request.rotation = m_rotation;
    request.fitWindow = contentsRect().size(); // a fitted page needs no scroll bars
    request.alignTopLeft = m_data != nullptr ? m_data->image.Align : m_zoom.GetAlignTopLeft();
    request.dpr = DevicePixelRatio();
    m_loadingFit = request.fitWindow;
    m_loadingDpr = request.dpr;
    m_worker->RequestPage(request);
    UpdateBusyCursor();
    NotifyViewChanged(this);
}

void CViewImage::OnPageLoaded(const CPageLoaded& page)
{
    if (page.generation != m_loadingGeneration) {
        return; // another page was asked for meanwhile
    }
    m_loadingGeneration = 0;
    m_shown.generation = page.generation;
    m_shown.frame = m_loadingFrame;
    m_shown.rotation = page.rotation;
    m_shown.imageSize = page.imageSize;
    m_preview =
        Rendering{page.preview, page.previewFull, QRect(QPoint(0, 0), page.previewFull), page.rotation};
    m_region = Rendering();
    m_regionInFlight.reset();
    m_failedRegion.reset();
    m_zoom.SetPageWidth(page.squareSize.width());
    m_zoom.SetPageHeight(page.squareSize.height());
    HideScrollBars();
    if (page.squareSize.isEmpty()) {
        m_zoom.ApplyZoom(); // nothing to show: no size left over from the previous page, no scroll bars
    }
    m_zoom.ZoomWholePage();
    UpdateScrollBars();
    UpdateBusyCursor();
}

void CViewImage::OnRegionRendered(const CRegionRendered& region)
{
    if (m_regionInFlight && *m_regionInFlight == region.request) {
        m_regionInFlight.reset();
    }
    if (region.request.generation == m_shown.generation) {
        if (region.image.isNull()) {
            m_failedRegion = region.request; // not asked again until something changes
        } else {
            m_region = Rendering{region.image, region.request.fullDevice, region.request.part,
                                 region.request.rotation};
            viewport()->update();
        }
    }
    UpdateBusyCursor();
}

void CViewImage::OnInitialUpdate()
{
    ShowPage(0, m_rotation, m_second);
}

void CViewImage::PrefetchFirstPage()
{
    ShowPage(0, 0, 0);
    m_prefetchPending = true;
}

// ---- painting: only what the worker has rendered; paint never waits ----

bool CViewImage::event(QEvent* event)
{
    const bool done = QAbstractScrollArea::event(event);
    if (event->type() == QEvent::Paint) { // the view's frame, not its viewport
        PaintPaneFrame(this);
    }
    return done;
}

void CViewImage::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    if (!m_hasPage || m_shown.generation == 0) {
        return; // the first page is still on its way
    }
    DrawPage(painter);
    if (m_loadingGeneration == 0) {
        m_documentDrawn = true;
        SetPageDrawn(true);
    }
}

void CViewImage::DrawPage(QPainter& painter)
{
    if (m_zoom.GetPageWidth() <= 0 || m_zoom.GetPageHeight() <= 0) {
        return; // a page that cannot be decoded shows nothing
    }
    const double dpr = DevicePixelRatio();
    const CPagePaintPlan plan = PlanPagePaint(m_imageRect, viewport()->size(), dpr);
    if (plan.visible.isEmpty()) {
        return;
    }
    const int rotation = m_shown.rotation;
    const auto drawExact = [&](const Rendering& r) {
        QImage image = r.image;
        image.setDevicePixelRatio(dpr);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(WindowRectOfPart(m_imageRect, dpr, r.part).topLeft(), image);
    };
    for (const Rendering* r : {&m_region, &m_preview}) {
        if (r->IsFor(plan.fullDevice, rotation) && r->part.contains(plan.visible)) {
            drawExact(*r);
            return;
        }
    }
    // Meanwhile the whole page as it arrived, scaled, and what there is of the part at this zoom.
    if (!m_preview.image.isNull() && m_preview.rotation == rotation) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(m_imageRect), m_preview.image);
    }
    if (m_region.IsFor(plan.fullDevice, rotation)) {
        drawExact(m_region);
    }
    CRegionRequest request;
    request.generation = m_shown.generation;
    request.rotation = rotation;
    request.fullDevice = plan.fullDevice;
    request.part = RenderRegionFor(plan);
    const auto covers = [&](const std::optional<CRegionRequest>& r) {
        return r && r->generation == request.generation && r->rotation == rotation &&
               r->fullDevice == plan.fullDevice && r->part.contains(plan.visible);
    };
    if (!covers(m_regionInFlight) && !covers(m_failedRegion)) {
        m_regionInFlight = request;
        m_worker->RequestRegion(request);
        UpdateBusyCursor();
    }
}

// ---- layout and scroll bars ----

void CViewImage::UpdateImageRect()
{
    if (m_data != nullptr) {
        m_zoom.SetAlignTopLeft(m_data->image.Align);
    }
    m_imageRect = QRect(m_zoom.Horizontal().offset, m_zoom.Vertical().offset, m_zoom.Horizontal().zoomed,
                        m_zoom.Vertical().zoomed);
}

void CViewImage::RecordWindowSize()
{
    m_zoom.SetWindowWidth(viewport()->width());
    m_zoom.SetWindowHeight(viewport()->height());
}

void CViewImage::HideScrollBars()
{
    m_updatingBars = true;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_updatingBars = false;
    RecordWindowSize();
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
    // A bar that comes or goes changes the room of the other axis: settle until both agree, so that a
    // page wider than what the vertical bar leaves gets its horizontal bar too.
    m_updatingBars = true;
    for (int round = 0; round < 4; ++round) {
        RecordWindowSize();
        m_zoom.KeepPageReachable();
        const QSize before = viewport()->size();
        ApplyScrollBarPolicies();
        if (viewport()->size() == before) {
            break;
        }
    }
    m_updatingBars = false;
    UpdateImageRect();
    viewport()->update();
    NotifyViewChanged(this);
}

void CViewImage::SetPageCount(int count)
{
    m_pageCount = count;
    NotifyViewChanged(this);
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
        RecordWindowSize();
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
    case Top:
        m_zoom.ScrollAxis(axis, ScrollBack);
        break;
    case LineDown:
    case Bottom:
        m_zoom.ScrollAxis(axis, ScrollForward);
        break;
    case PageUp:
        m_zoom.ScrollAxis(axis, ScrollPageBack);
        break;
    case PageDown:
        m_zoom.ScrollAxis(axis, ScrollPageForward);
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

void CViewImage::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    RecordWindowSize();
    UpdateImageRect();
}

// ---- copy and rotation ----

void CViewImage::CopyPageToClipboard()
{
    if (!m_hasPage || IsCopying()) {
        return;
    }
    // The page as it is at this moment: the one on its way if the user has already turned to it.
    const int frame = m_loadingGeneration != 0 ? m_loadingFrame : m_shown.frame;
    m_copier->Start(m_path, frame, m_rotation);
    UpdateBusyCursor();
}

void CViewImage::OnCopyFinished(const CPageCopy& copy)
{
    UpdateBusyCursor();
    bool ok = false;
    if (!copy.image.isNull() && m_platform != nullptr) {
        ok = m_platform->clipboard->SetPage(copy.image, copy.bmp);
    }
    Q_EMIT copyFinished(ok);
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

void CViewImage::Rotate(int steps)
{
    if (!m_hasPage) {
        return;
    }
    m_rotation = (m_rotation + steps) % 4;
    if (m_loadingGeneration != 0) {
        // The page is still on its way: ask for it turned.
        ShowPage(m_loadingFrame, m_rotation, m_second);
        Q_EMIT rotationChanged(m_rotation, m_second);
        return;
    }
    // The page keeps square pixels after the turn: a fax page of 204 x 98 dpi must not look squashed.
    QSize size(m_zoom.GetPageWidth(), m_zoom.GetPageHeight());
    size.transpose();
    m_shown.imageSize.transpose();
    m_shown.rotation = m_rotation;
    // Until the worker has rendered the turned page, the page as it arrived is shown turned.
    if (!m_preview.image.isNull()) {
        m_preview.image = m_preview.image.transformed(QTransform().rotate(90.0 * steps));
        m_preview.full = m_preview.image.size();
        m_preview.part = QRect(QPoint(0, 0), m_preview.full);
    }
    m_preview.rotation = m_rotation;
    m_region = Rendering();
    m_regionInFlight.reset();
    m_zoom.SetPageWidth(size.width());
    m_zoom.SetPageHeight(size.height());
    HideScrollBars();
    m_zoom.ZoomWholePage();
    UpdateScrollBars();
    Q_EMIT rotationChanged(m_rotation, m_second);
}

void CViewImage::RotateClockwise()
{
    Rotate(1);
}
void CViewImage::RotateCounterClockwise()
{
    Rotate(3);
}
