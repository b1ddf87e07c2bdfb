#include "pageview/ViewAccessible.h"

#include "core/AccessibleText.h"
#include "pageview/ViewImage.h"
#include "platform/AccessibleChild.h"
#include "platform/AccessibleEvents.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <utility>

namespace {

QString ShownText(const CViewImage* v)
{
    // A page that cannot be decoded shows nothing.
    const int page = v->PageImageSize().isEmpty() ? 0 : v->ShownFrame() + 1;
    return PageViewText(page, v->PageCount(), v->Zoom().GetZoomPercent(), v->Rotation());
}

// The page on screen as the view's one child. While the view has the keyboard focus, a new page (or zoom,
// or turn) is announced by moving the focus to a new one of these: screen readers speak a new focus, while
// some of them (Orca with Qt 6.4) take a changed name of the focused object for the old one and say nothing.
class CPageAccessible : public CAccessibleChild<CViewImage>
{
public:
    explicit CPageAccessible(CViewImage* view) : CAccessibleChild(view) {}
    // A page object the focus has left keeps saying what it said: screen readers compare the new focus
    // with the old one by name, and would take two pages that say the same for one.
    void Freeze(const QString& said) { m_frozen = said; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Description)) {
            return {};
        }
        return m_frozen.isEmpty() ? ShownText(m_owner) : m_frozen;
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) {
            return {};
        }
        const QRect shown = m_owner->ImageRect() & m_owner->viewport()->rect();
        return QRect(m_owner->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }
    QAccessible::Role role() const override { return QAccessible::Graphic; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.focused = m_owner->hasFocus();
        s.busy = m_owner->IsLoading();
        s.invisible = !m_owner->isVisible();
        return s;
    }

private:
    QString m_frozen;
};

class CViewImageAccessible : public QAccessibleWidget
{
public:
    explicit CViewImageAccessible(CViewImage* view) : QAccessibleWidget(view, QAccessible::Graphic) {}
    ~CViewImageAccessible() override
    {
        for (QAccessible::Id id : {m_page, m_previousPage}) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if ((t == QAccessible::Name || t == QAccessible::Description) && s.isEmpty()) {
            s = Shown();
        }
        return s;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.busy = View()->IsLoading();
        return s;
    }
    // The page is the one child; the scroll bars follow the zoom and say nothing more.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index != 0) {
            return nullptr;
        }
        QAccessibleInterface* page = m_page != 0 ? QAccessible::accessibleInterface(m_page) : nullptr;
        if (page == nullptr) {
            page = new CPageAccessible(View());
            m_page = QAccessible::registerAccessibleInterface(page);
        }
        return page;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && m_page != 0 && child == QAccessible::accessibleInterface(m_page) ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* page = child(0);
        return page->rect().contains(x, y) ? page : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return View()->hasFocus() ? child(0) : nullptr; }

    void Announce()
    {
        const bool busy = View()->IsLoading();
        if (busy != m_busy) {
            m_busy = busy;
            QAccessible::State changed;
            changed.busy = true;
            QAccessibleStateChangeEvent event(View(), changed);
            NotifyAccessible(event);
        }
        // A new document's first page is shown before its pages are counted: it is announced once,
        // with the count.
        const QString shown = Shown();
        if (View()->PageCount() < 0 || shown == m_announced) {
            return;
        }
        const QString before = std::exchange(m_announced, shown);
        for (QAccessible::Event type : {QAccessible::NameChanged, QAccessible::DescriptionChanged}) {
            QAccessibleEvent event(View(), type);
            NotifyAccessible(event);
        }
        if (View()->hasFocus()) {
            // A new page object takes the focus; the one before stays valid while a screen reader may
            // still be reading it.
            if (m_previousPage != 0) {
                QAccessible::deleteAccessibleInterface(m_previousPage);
            }
            if (auto* page = static_cast<CPageAccessible*>(QAccessible::accessibleInterface(m_page))) {
                page->Freeze(before);
            }
            m_previousPage = std::exchange(m_page, 0);
            QAccessibleEvent focus(View(), QAccessible::Focus);
            focus.setChild(0);
            NotifyAccessible(focus);
        }
    }

private:
    CViewImage* View() const { return static_cast<CViewImage*>(widget()); }
    QString Shown() const { return ShownText(View()); }

    QString m_announced;
    bool m_busy = false;
    mutable QAccessible::Id m_page = 0;
    QAccessible::Id m_previousPage = 0;
};

QAccessibleInterface* ViewFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CViewImage") && object != nullptr && object->isWidgetType()) {
        return new CViewImageAccessible(static_cast<CViewImage*>(object));
    }
    return nullptr;
}

} // namespace

void InstallViewAccessible()
{
    QAccessible::installFactory(&ViewFactory); // Qt installs each factory once
}

void NotifyViewChanged(CViewImage* view)
{
    if (!ScreenReaderListens()) {
        return;
    }
    if (auto* iface = dynamic_cast<CViewImageAccessible*>(QAccessible::queryAccessibleInterface(view))) {
        iface->Announce();
    }
}
