#pragma once
// A part of a widget that screen readers see as an element of its own although it is no object (a page of
// the strip, the page on screen): no children, the widget as parent, the widget's window as its window.

#include <QAccessible>
#include <QPointer>
#include <QWidget>
#include <QWindow>

template <class Owner> class CAccessibleChild : public QAccessibleInterface
{
public:
    explicit CAccessibleChild(Owner* owner) : m_owner(owner) {}

    bool isValid() const override { return m_owner != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_owner != nullptr ? m_owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_owner); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

protected:
    QPointer<Owner> m_owner;
};
