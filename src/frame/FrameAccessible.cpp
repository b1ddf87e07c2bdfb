#include "frame/FrameAccessible.h"

#include "core/AccessibleText.h"
#include "frame/MainFrame.h"
#include "frame/MenuAccessible.h"
#include "frame/ToolBarEx.h"
#include "pageview/ViewImage.h"
#include "thumbs/ListViewThumb.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSizeGrip>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>

namespace {
QString Tr(const char* text)
{
    return QCoreApplication::translate("CMainFrame", text);
}

// A toolbar's separator is a separator, not an unnamed piece of the bar.
QAccessibleInterface* SeparatorFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QToolBarSeparator") && object != nullptr && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Separator);
    }
    return nullptr;
}

// A menu is named by its title in the menu bar (or in the menu it opens from), without the "&".
void NameMenus(const QList<QAction*>& actions)
{
    for (QAction* a : actions) {
        if (QMenu* menu = a->menu()) {
            menu->setAccessibleName(AccessibleCommandName(menu->title()));
            NameMenus(menu->actions());
        }
    }
}
} // namespace

void SetUpFrameAccessibility(CMainFrame& frame)
{
    InstallMenuAccessible();
    QAccessible::installFactory(&SeparatorFactory); // Qt installs each factory once
    NameMenus(frame.menuBar()->actions());
    if (QSplitter* splitter = frame.Splitter()) {
        for (int i = 0; i < splitter->count(); ++i) {
            splitter->handle(i)->setAccessibleName(Tr(QT_TRANSLATE_NOOP("CMainFrame", "Fensterteiler")));
        }
    }
    if (auto* grip = frame.statusBar()->findChild<QSizeGrip*>()) {
        grip->setAccessibleName(Tr(QT_TRANSLATE_NOOP("CMainFrame", "Fenstergrösse ändern")));
    }
    if (auto* more = frame.ToolBar()->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(Tr(QT_TRANSLATE_NOOP("CMainFrame", "Weitere Schaltflächen")));
    }
    if (frame.Strip() != nullptr && frame.PageView() != nullptr) {
        if (QComboBox* box = frame.ToolBar()->GetPageBox()) {
            QWidget::setTabOrder(box, frame.Strip());
        }
        QWidget::setTabOrder(frame.Strip(), frame.PageView());
    }
}
