#include "thumbs/ThumbAccessible.h"

#include "core/AccessibleText.h"
#include "platform/AccessibleChild.h"
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
class CThumbItemAccessible : public CAccessibleChild<CListViewThumb>, public QAccessibleActionInterface
{
public:
    CThumbItemAccessible(CListViewThumb* strip, int row) : CAccessibleChild(strip), m_row(row) {}

    int Row() const { return m_row; }
    const CListViewThumb* Strip() const { return m_owner; }

    bool isValid() const override { return m_owner != nullptr && m_row < m_owner->Model()->rowCount(); }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid()) {
            return {};
        }
        const CThumbModel* model = m_owner->Model();
        return model->data(model->index(m_row), Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) {
            return {};
        }
        const QRect r = m_owner->visualRect(m_owner->Model()->index(m_row));
        return QRect(m_owner->viewport()->mapToGlobal(r.topLeft()), r.size());
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
        const bool current = m_owner->GetCurrentPage() == m_row + 1;
        s.selected = current;
        s.focused = current && m_owner->hasFocus();
        s.active = current;
        const QRect r = m_owner->visualRect(m_owner->Model()->index(m_row));
        if (!m_owner->isVisible()) {
            s.invisible = true;
        } else if (!m_owner->viewport()->rect().intersects(r)) {
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
            m_owner->SelectPage(m_row + 1);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
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
    QAccessible::installFactory(&ThumbFactory); // Qt installs each factory once
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
