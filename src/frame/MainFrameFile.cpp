// The main window's file commands: a byte copy under another name, mail, the folder list of an opened
// file, and the open file that has gone from the disk.
#include "core/Options.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "document/FolivantDoc.h"
#include "document/SaveCopy.h"
#include "frame/FrameHost.h"
#include "frame/MainFrame.h"
#include "pageview/ViewImage.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QPointer>

void CMainFrame::ListFolderOf(const QString& path)
{
    if (IsFolderListSuppressed(m_store)) {
        return;
    }
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        m_data.ClearFolderList();
    } else {
        m_data.BuildFolderList(slash == 0 ? QStringLiteral("/") : path.left(slash), path.mid(slash + 1));
    }
    UpdateCommandStates();
}

void CMainFrame::SaveCopyAs()
{
    if (m_data.gui.IsSaveAsHidden()) {
        return;
    }
    // The document's own name, in the folder of the last copy.
    QString name = m_app.Document().GetTitle();
    if (name.isEmpty()) {
        name = QStringLiteral("*.tif");
    }
    const QString initial = m_saveAsFolder.isEmpty() ? name : m_saveAsFolder + u'/' + name;
    QSize size = ReadFileDialogSize(m_store);
    const QString target = m_platform.fileDialog->GetSaveFileName(this, initial, LoadString(Str::OpenFilter),
                                                                  QStringLiteral("tif"), size);
    SaveFileDialogSize(m_store, size);
    if (target.isEmpty()) {
        return;
    }
    const qsizetype slash = target.lastIndexOf(u'/');
    if (slash >= 0) {
        m_saveAsFolder = slash == 0 ? QStringLiteral("/") : target.left(slash);
        m_store.WriteProfileString(QStringLiteral("Misc"), QStringLiteral("FolderFileSaveAs"),
                                   m_saveAsFolder);
    } else {
        m_saveAsFolder = target;
    }
    const QString source = m_view != nullptr ? m_view->DocumentPath() : QString();
    const SaveCopyOutcome outcome = SaveCopy(source, target);
    if (outcome.IsError()) {
        m_platform.messageBox->Show(this, outcome.message, LoadString(Str::Error), IMessageBox::Stop);
    } else {
        m_platform.messageBox->Show(this, outcome.message, LoadString(Str::Information),
                                    IMessageBox::Information);
    }
}

void CMainFrame::OnSendMail()
{
    // The file itself is the attachment: the document is never modified, so no copy is needed.
    const QString path = m_app.Document().GetPathName();
    if (path.isEmpty()) {
        return;
    }
    QPointer<CMainFrame> self(this);
    m_platform.mail->SendFile(path, [self](IMailClient::Result result) {
        if (self == nullptr) {
            return;
        }
        int text = 0;
        switch (result) {
        case IMailClient::NotInstalled:
            text = Str::MailNotLoaded;
            break;
        case IMailClient::NoMailTool:
            text = Str::MailInvalid;
            break;
        case IMailClient::Failed:
            text = Str::MailFailed;
            break;
        case IMailClient::Launched:
            return;
        }
        self->m_platform.messageBox->Show(self, LoadString(text), LoadString(Str::AppTitle),
                                          IMessageBox::Exclamation);
    });
}

void CMainFrame::TellDocumentGone()
{
    if (m_goneTold) {
        return;
    }
    m_goneTold = true;
    // Told once the page change under way has ended: a modal box does not belong inside it.
    QMetaObject::invokeMethod(
        this,
        [this, path = m_app.Document().GetPathName()] {
            if (m_app.Document().GetPathName() == path) {
                m_platform.messageBox->Show(this, FormatString(Str::FileGone, {path}),
                                            LoadString(Str::Information), IMessageBox::Information);
            }
        },
        Qt::QueuedConnection);
}
