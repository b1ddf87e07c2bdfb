#include "thumbs/ThumbAccessible.h"

#include "core/AccessibleText.h"
#include "platform/AccessibleEvents.h"
#include "thumbs/ListViewThumb.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <unordered_map>

namespace {

// One page of the strip. It keeps only its row: name, place and state are read from the strip when asked,
// so an item stays right through scrolling, selection and a new document of as many pages.
class CThumbItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CThumbItemAccessible(CListViewThumb* strip, int row) : m_strip(strip), m_row(row) {}

    int Row() const { return m_row; }
    const CListViewThumb* Strip() const { return m_strip; }

    bool isValid() const override { return m_strip != nullptr && m_row < m_strip->Model()->rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_strip != nullptr ? m_strip->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_strip); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid()) {
            return {};
        }
        const CThumbModel* model = m_strip->Model();
        return model->data(model->index(m_row), Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) {
            return {};
        }
        const QRect r = m_strip->visualRect(m_strip->Model()->index(m_row));
        return QRect(m_strip->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        const bool current = m_strip->GetCurrentPage() == m_row + 1;
        s.selected = current;
        s.focused = current && m_strip->hasFocus();
        s.active = current;
        const QRect r = m_strip->visualRect(m_strip->Model()->index(m_row));
        if (!m_strip->isVisible()) {
            s.invisible = true;
        } else if (!m_strip->viewport()->rect().intersects(r)) {
            s.offscreen = true;
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    // Pressing an item makes its page the current one, as a click does.
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid()) {
            m_strip->SelectPage(m_row + 1);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CListViewThumb> m_strip;
    int m_row;
};

class CThumbStripAccessible : public QAccessibleWidget
{
public:
    explicit CThumbStripAccessible(CListViewThumb* strip) : QAccessibleWidget(strip, QAccessible::List) {}
    ~CThumbStripAccessible() override
    {
        for (const auto& [row, id] : m_items) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) {
            s = StripAccessibleName();
        }
        return s;
    }
    // The pages are the strip's children; its scroll bars say nothing a screen reader needs.
    int childCount() const override { return Strip()->Model()->rowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        const int count = childCount();
        if (index < 0 || index >= count) {
            return nullptr;
        }
        if (m_items.size() > static_cast<size_t>(count)) {
            ForgetRowsFrom(count); // a shorter document than before
        }
        if (auto it = m_items.find(index); it != m_items.end()) {
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(it->second)) {
                return known;
            }
        }
        auto* item = new CThumbItemAccessible(Strip(), index);
        m_items[index] = QAccessible::registerAccessibleInterface(item);
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* item = dynamic_cast<const CThumbItemAccessible*>(child);
        return item != nullptr && item->Strip() == Strip() && item->isValid() ? item->Row() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QModelIndex i = Strip()->indexAt(Strip()->viewport()->mapFromGlobal(QPoint(x, y)));
        return i.isValid() ? child(i.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        const int row = Strip()->GetCurrentPage() - 1;
        return Strip()->hasFocus() && row >= 0 ? child(row) : nullptr;
    }

private:
    CListViewThumb* Strip() const { return static_cast<CListViewThumb*>(widget()); }
    void ForgetRowsFrom(int count) const
    {
        for (auto it = m_items.begin(); it != m_items.end();) {
            if (it->first >= count) {
                QAccessible::deleteAccessibleInterface(it->second);
                it = m_items.erase(it);
            } else {
                ++it;
            }
        }
    }

    mutable std::unordered_map<int, QAccessible::Id> m_items;
};

QAccessibleInterface* ThumbFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CListViewThumb") && object != nullptr && object->isWidgetType()) {
        return new CThumbStripAccessible(static_cast<CListViewThumb*>(object));
    }
    return nullptr;
}

void Send(CListViewThumb* strip, QAccessible::Event type, int row)
{
    QAccessibleEvent event(strip, type);
    event.setChild(row);
    NotifyAccessible(event);
}

} // namespace

void InstallThumbAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(&ThumbFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void NotifyThumbPageChanged(CListViewThumb* strip, int previous, int current)
{
    if (!ScreenReaderListens() || current < 0) {
        return;
    }
    if (previous >= 0 && previous != current && previous < strip->Model()->rowCount()) {
        Send(strip, QAccessible::SelectionRemove, previous);
    }
    Send(strip, QAccessible::Selection, current);
    Send(strip, QAccessible::ActiveDescendantChanged, current);
    if (strip->hasFocus()) {
        Send(strip, QAccessible::Focus, current);
    }
}

void NotifyThumbFocus(CListViewThumb* strip)
{
    const int row = strip->GetCurrentPage() - 1;
    if (ScreenReaderListens() && strip->hasFocus() && row >= 0) {
        Send(strip, QAccessible::Focus, row);
    }
}
