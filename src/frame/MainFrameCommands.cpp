// The main window's command handlers: page and file navigation, zoom and rotation relays, help.
#include "app/FolivantApp.h"
#include "app/SettingsStore.h"
#include "app/Strings.h"
#include "dialogs/DiaPage.h"
#include "frame/CommandIds.h"
#include "frame/GuiLook.h"
#include "frame/HelpTopics.h"
#include "frame/MainFrame.h"
#include "frame/ToolBarEx.h"
#include "pageview/ViewImage.h"
#include "platform/Platform.h"
#include "thumbs/ListViewThumb.h"

#include <QComboBox>
#include <QMenu>

void CMainFrame::Dispatch(int id)
{
    if (id >= Cmd::LookWin2000 && id <= Cmd::LookWin7) {
        OnGuiLookCommand(id);
        return;
    }
    switch (id) {
    case Cmd::FileOpen:
        m_app.OnFileOpen();
        break;
    case Cmd::SaveAs:
        SaveCopyAs();
        break;
    case Cmd::NextFile:
        OnNextFile();
        break;
    case Cmd::PreviousFile:
        OnPreviousFile();
        break;
    case Cmd::SendMail:
        OnSendMail();
        break;
    case Cmd::Print:
        OnPrint();
        break;
    case Cmd::PrintSetup:
        m_app.OnPrintSetup();
        break;
    case Cmd::Exit:
        close();
        break;
    case Cmd::Copy:
        OnCopyRequested();
        break;
    case Cmd::RotateCw:
        if (m_view != nullptr) {
            m_view->RotateClockwise();
        }
        break;
    case Cmd::RotateCcw:
        if (m_view != nullptr) {
            m_view->RotateCounterClockwise();
        }
        break;
    case Cmd::FirstPage:
        OnFirstPage();
        break;
    case Cmd::PreviousPage:
        OnPreviousPage();
        break;
    case Cmd::NextPage:
        OnNextPage();
        break;
    case Cmd::LastPage:
        OnLastPage();
        break;
    case Cmd::GoToPage:
        OnGoToPage();
        break;
    case Cmd::ZoomIn:
        if (m_view != nullptr) {
            m_view->OnZoomIn();
        }
        break;
    case Cmd::ZoomOut:
        if (m_view != nullptr) {
            m_view->OnZoomOut();
        }
        break;
    case Cmd::WholePage:
        OnWholePage();
        break;
    case Cmd::WholeWidth:
        if (m_view != nullptr) {
            m_view->OnWholeWidth();
        }
        break;
    case Cmd::ActualPixels:
        if (m_view != nullptr) {
            m_view->OnActualPixels();
        }
        break;
    case Cmd::ThumbOptions:
        OnThumbOptions();
        break;
    case Cmd::ImageOptions:
        OnImageOptions();
        break;
    case Cmd::LanguageOptions:
        OnLanguageOptions();
        break;
    case Cmd::HelpContents:
        OnHelpRequest(HelpTopic::Main);
        break;
    case Cmd::HelpSupport:
        OnHelpRequest(HelpTopic::Support);
        break;
    case Cmd::About:
        m_app.OnAppAbout();
        break;
    case Cmd::NextPane:
        MovePaneFocus(true);
        break;
    case Cmd::PreviousPane:
        MovePaneFocus(false);
        break;
    default:
        break; // no handler
    }
    UpdateCommandStates();
}

void CMainFrame::OnWholePage()
{
    if (m_view != nullptr) {
        m_view->OnWholePage();
    }
}

// ---- page navigation: each only changes the strip's selection ----

void CMainFrame::OnFirstPage()
{
    if (m_strip == nullptr) {
        return;
    }
    m_strip->SelectFirstPage();
    ShowPageNumber(m_strip->GetCurrentPage());
}

void CMainFrame::OnPreviousPage()
{
    if (m_strip == nullptr) {
        return;
    }
    m_strip->SelectPreviousPage();
    ShowPageNumber(m_strip->GetCurrentPage());
}

void CMainFrame::OnNextPage()
{
    if (m_strip == nullptr) {
        return;
    }
    m_strip->SelectNextPage();
    ShowPageNumber(m_strip->GetCurrentPage());
}

void CMainFrame::OnLastPage()
{
    if (m_strip == nullptr) {
        return;
    }
    m_strip->SelectLastPage();
    ShowPageNumber(m_strip->GetCurrentPage());
}

void CMainFrame::OnGoToPage()
{
    if (m_strip == nullptr) {
        return;
    }
    CDiaPage dialog(m_platform, this);
    dialog.SetPageNumber(m_strip->GetCurrentPage());
    if (m_platform.dialogs->Exec(dialog) == QDialog::Accepted) {
        m_strip->SelectPage(dialog.GetPageNumber());
    }
}

void CMainFrame::OnPageBoxEnter()
{
    const bool accepted = m_toolBar->ReadPageInput([this] {
        m_platform.messageBox->Show(this, LoadString(Str::ExpectedInteger), LoadString(Str::Information),
                                    IMessageBox::Information);
    });
    if (accepted && m_view != nullptr && m_strip != nullptr) {
        m_strip->SelectPage(m_toolBar->GetRequestedPage());
    }
}

void CMainFrame::OnPageBoxSelect(int index)
{
    const int p = index + 1;
    if (p >= 1 && m_strip != nullptr) {
        m_strip->SelectPage(p);
    }
}

void CMainFrame::ShowPageNumber(int n)
{
    m_toolBar->ShowPageNumber(n);
}

// ---- file navigation ----

void CMainFrame::OnNextFile()
{
    if (m_data.gui.IsDocNavigationHidden()) {
        return;
    }
    if (T_OStrNode* node = m_data.NextFile()) {
        m_app.OpenDocumentFile(node->GetText());
    }
}

void CMainFrame::OnPreviousFile()
{
    if (m_data.gui.IsDocNavigationHidden()) {
        return;
    }
    if (T_OStrNode* node = m_data.PreviousFile()) {
        m_app.OpenDocumentFile(node->GetText());
    }
}

// ---- hidden commands ----

bool CMainFrame::IsCommandHidden(int id) const
{
    switch (id) {
    case Cmd::SaveAs:
        return m_data.gui.IsSaveAsHidden();
    case Cmd::NextFile:
    case Cmd::PreviousFile:
        return m_data.gui.IsDocNavigationHidden();
    case Cmd::SendMail:
        return m_data.gui.IsSendMailHidden();
    default:
        return false;
    }
}

void CMainFrame::RemoveHiddenMenuEntries()
{
    if (m_fileMenu == nullptr) {
        return;
    }
    if (m_data.gui.IsSaveAsHidden()) {
        // The separator below "Öffnen..." goes with it.
        const QList<QAction*> items = m_fileMenu->actions();
        if (items.size() > 1 && items.at(1)->isSeparator()) {
            m_fileMenu->removeAction(items.at(1));
        }
        m_fileMenu->removeAction(Action(Cmd::SaveAs));
    }
    if (m_data.gui.IsDocNavigationHidden()) {
        m_fileMenu->removeAction(Action(Cmd::NextFile));
        m_fileMenu->removeAction(Action(Cmd::PreviousFile));
    }
    if (m_data.gui.IsSendMailHidden()) {
        m_fileMenu->removeAction(Action(Cmd::SendMail));
    }
}

void CMainFrame::MovePaneFocus(bool forward)
{
    Q_UNUSED(forward); // two panes: either direction goes to the other one
    if (m_strip == nullptr || m_view == nullptr) {
        return;
    }
    if (m_view->hasFocus() && m_strip->isVisible()) {
        m_strip->setFocus(Qt::OtherFocusReason);
    } else {
        m_view->setFocus(Qt::OtherFocusReason);
    }
}

// ---- help ----

void CMainFrame::OnHelpRequest(int topic)
{
    const unsigned t = static_cast<unsigned>(topic);
    if (IsHelpTopicIgnored(t)) {
        return;
    }
    m_platform.help->ShowPage(m_app.HelpBookFolder(), HelpPageForTopic(t));
}
