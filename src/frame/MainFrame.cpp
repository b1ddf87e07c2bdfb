#include "frame/MainFrame.h"

#include "app/Strings.h"

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    UpdateTitle({});
    resize(1024, 768);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::UpdateTitle(const QString& documentPath)
{
    const QString name = documentPath.mid(documentPath.lastIndexOf(u'/') + 1);
    setWindowTitle(name.isEmpty() ? u' ' + ProductText() : u' ' + name + QStringLiteral(" - ") + ProductText());
}
