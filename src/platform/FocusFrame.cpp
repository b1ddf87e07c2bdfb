#include "platform/FocusFrame.h"

#include "platform/Contrast.h"

#include <QFrame>
#include <QPainter>
#include <QPalette>

QColor FocusFrameColor(const QPalette& palette)
{
    return WithContrast(palette.color(QPalette::Active, QPalette::Highlight),
                        palette.color(QPalette::Active, QPalette::Base));
}

void SetUpPaneFrame(QFrame* pane)
{
    // A plain box has the width it is given in every style; its colour is painted by PaintPaneFrame.
    pane->setFrameStyle(QFrame::Box | QFrame::Plain);
    pane->setLineWidth(kFocusFrameWidth);
}

void PaintPaneFrame(QFrame* pane)
{
    const QRect r = pane->frameRect();
    const int w = pane->frameWidth();
    if (w <= 0 || r.width() <= 2 * w || r.height() <= 2 * w) {
        return;
    }
    const QColor colour =
        pane->hasFocus() ? FocusFrameColor(pane->palette()) : pane->palette().color(QPalette::Mid);
    QPainter p(pane);
    p.fillRect(QRect(r.left(), r.top(), r.width(), w), colour);
    p.fillRect(QRect(r.left(), r.bottom() + 1 - w, r.width(), w), colour);
    p.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), colour);
    p.fillRect(QRect(r.right() + 1 - w, r.top() + w, w, r.height() - 2 * w), colour);
}
