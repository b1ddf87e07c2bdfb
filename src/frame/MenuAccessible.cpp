#include "frame/MenuAccessible.h"

#include "core/AccessibleText.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>

namespace {

// The menu or menu bar that shows `action`.
QWidget* OwnerOf(QAction* action)
{
    for (QObject* o : action->associatedObjects()) {
        if (qobject_cast<QMenu*>(o) != nullptr || qobject_cast<QMenuBar*>(o) != nullptr) {
            return static_cast<QWidget*>(o);
        }
    }
    return nullptr;
}

class CMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CMenuItemAccessible(QAction* action, QWidget* owner) : m_action(action), m_owner(owner) {}

    bool isValid() const override { return m_action != nullptr && m_owner != nullptr; }
    QObject* object() const override { return m_action; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_owner); }
    // A submenu is the item's only child.
    int childCount() const override { return m_action->menu() != nullptr ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && m_action->menu() != nullptr
                   ? QAccessible::queryAccessibleInterface(m_action->menu())
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && m_action->menu() != nullptr && child->object() == m_action->menu() ? 0
                                                                                                      : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* sub = child(0);
        return sub != nullptr && sub->rect().contains(x, y) ? sub : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return AccessibleCommandName(m_action->text());
        case QAccessible::Accelerator:
            return Shortcut();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (auto* bar = qobject_cast<QMenuBar*>(m_owner)) {
            const QRect r = bar->actionGeometry(m_action);
            return r.translated(bar->mapToGlobal(QPoint(0, 0)));
        }
        if (auto* menu = qobject_cast<QMenu*>(m_owner)) {
            const QRect r = menu->actionGeometry(m_action);
            return r.translated(menu->mapToGlobal(QPoint(0, 0)));
        }
        return {};
    }
    QAccessible::Role role() const override
    {
        return m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) { // the menu may go before its action
            s.invalid = true;
            return s;
        }
        if (!m_owner->isVisible() || !m_action->isVisible()) {
            s.invisible = true;
        }
        QAction* active = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(m_owner)) {
            active = menu->activeAction();
        } else if (auto* bar = qobject_cast<QMenuBar*>(m_owner)) {
            active = bar->activeAction();
        }
        s.focused = active == m_action;
        s.focusable = !m_action->isSeparator();
        s.hotTracked = m_owner->style()->styleHint(QStyle::SH_Menu_MouseTracking) != 0;
        s.disabled = m_action->isSeparator() || !m_action->isEnabled();
        s.checkable = m_action->isCheckable();
        s.checked = m_action->isChecked();
        s.hasPopup = m_action->menu() != nullptr;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        if (m_action->isSeparator()) {
            return {};
        }
        return {m_action->menu() != nullptr ? showMenuAction() : pressAction()};
    }
    void doAction(const QString& name) override
    {
        if (!m_action->isEnabled()) {
            return;
        }
        if (name == pressAction()) {
            m_action->trigger();
        } else if (name == showMenuAction()) {
            if (m_action->menu() != nullptr && m_action->menu()->isVisible()) {
                m_action->menu()->hide();
            } else if (auto* bar = qobject_cast<QMenuBar*>(m_owner)) {
                bar->setActiveAction(m_action);
            } else if (auto* menu = qobject_cast<QMenu*>(m_owner)) {
                menu->setActiveAction(m_action);
            }
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        const QString keys = Shortcut();
        return name == pressAction() && !keys.isEmpty() ? QStringList{keys} : QStringList{};
    }

private:
    // The command's first key as the platform writes it; else the hint the menu shows.
    QString Shortcut() const
    {
        const QKeySequence key = m_action->shortcut();
        return key.isEmpty() ? AccessibleKeyHint(m_action->text()) : key.toString(QKeySequence::NativeText);
    }

    QPointer<QAction> m_action;
    QPointer<QWidget> m_owner;
};

QAccessibleInterface* MenuItemFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("QAction")) {
        return nullptr;
    }
    auto* action = qobject_cast<QAction*>(object);
    QWidget* owner = action != nullptr ? OwnerOf(action) : nullptr;
    return owner != nullptr ? new CMenuItemAccessible(action, owner) : nullptr;
}

} // namespace

void InstallMenuAccessible()
{
    QAccessible::installFactory(&MenuItemFactory); // Qt installs each factory once
}
