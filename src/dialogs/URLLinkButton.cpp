#include "dialogs/URLLinkButton.h"

#include "platform/Contrast.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

CURLLinkButton::CURLLinkButton(IUrlOpener& opener, QWidget* parent) : QPushButton(parent), m_opener(opener)
{
    setObjectName(QStringLiteral("linkButton"));
    setFlat(true);
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    // The look's selection colour marks the link, its link colour the hover; many looks make them pale,
    // so each is darkened (or lightened) until it reads well on the dialog's face.
    const QPalette& p = palette();
    const QColor face = p.color(QPalette::Active, QPalette::Window);
    linkColor = WithContrast(p.color(QPalette::Active, QPalette::Highlight), face);
    hoverColor = WithContrast(p.color(QPalette::Active, QPalette::Link), face);
    visitedColor = WithContrast(visitedColor, face);
    disabledColor = p.color(QPalette::Disabled, QPalette::Text);
    connect(this, &QPushButton::clicked, this, &CURLLinkButton::Follow);
}

QString CURLLinkButton::Target() const
{
    return m_prefix + (m_url.isEmpty() ? text() : m_url);
}

QColor CURLLinkButton::TextColor() const
{
    if (!isEnabled()) {
        return disabledColor;
    }
    if (m_hover) {
        return hoverColor;
    }
    return m_visited ? visitedColor : linkColor;
}

QSize CURLLinkButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 8, fm.height() + 4};
}

void CURLLinkButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
    QFont f = font();
    f.setUnderline(IsUnderlined());
    p.setFont(f);
    p.setPen(TextColor());
    // One line at the top, centred horizontally.
    const QFontMetrics fm(f);
    const int left = (width() - fm.horizontalAdvance(text())) / 2;
    p.drawText(QPoint(left, fm.ascent() + 1), text());
}

void CURLLinkButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QPushButton::enterEvent(event);
}

void CURLLinkButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QPushButton::leaveEvent(event);
}

void CURLLinkButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept(); // swallowed; Enter acts on release
        return;
    default:
        QPushButton::keyPressEvent(event);
    }
}

void CURLLinkButton::keyReleaseEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            Follow();
        }
        event->accept();
        return;
    case Qt::Key_Space:
        event->accept();
        return;
    default:
        QPushButton::keyReleaseEvent(event);
    }
}

void CURLLinkButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    update(); // the focus rectangle goes
}

void CURLLinkButton::Follow()
{
    if (!isEnabled()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = m_opener.Open(Target());
    QApplication::restoreOverrideCursor();
    if (!opened) {
        Q_EMIT linkClicked(property("controlId").toInt());
    }
    m_visited = true;
    m_hover = false;
    update();
}
