#include "dialogs/DiaBase.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLayout>

CDiaBase::CDiaBase(int helpTopic, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_helpTopic(helpTopic)
{
    // An application-modal dialog would block the help window as well, and window managers keep a
    // window it blocks behind it: the dialog blocks only the window it belongs to.
    setWindowModality(Qt::WindowModal);
}

int CDiaBase::TitleBarWidth() const
{
    // Window managers draw the title in a bold face, usually no larger than the application's font, and
    // cut it in the middle when it does not fit between the window's icon and up to three buttons,
    // each about two line heights wide with its padding. A fifth more for a wider title font.
    QFont title = QApplication::font();
    title.setBold(true);
    const QFontMetrics fm(title);
    return fm.horizontalAdvance(windowTitle()) * 6 / 5 + 8 * fm.height();
}

void CDiaBase::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        FixSize(); // before the dialog centres itself on its window
    }
    QDialog::setVisible(visible);
}

void CDiaBase::FixSize()
{
    // A fixed size: window managers then offer neither maximising nor resizing.
    if (layout() == nullptr) {
        return;
    }
    layout()->activate();
    const int width = std::max(sizeHint().width(), TitleBarWidth());
    const int height = hasHeightForWidth() ? std::max(heightForWidth(width), minimumSizeHint().height())
                                           : sizeHint().height();
    setFixedSize(width, height);
}

void CDiaBase::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Q_EMIT helpRequested(m_helpTopic);
    }
    QDialog::keyPressEvent(event);
}
