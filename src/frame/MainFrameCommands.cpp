// The main window's command handlers: page and file navigation, zoom and rotation relays, help.
#include "core/CommandIds.h"
#include "core/HelpTopics.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "dialogs/DiaPage.h"
#include "frame/FrameHost.h"
#include "frame/GuiLook.h"
#include "frame/MainFrame.h"
#include "frame/ToolBarEx.h"
#include "pageview/ViewImage.h"
#include "platform/Platform.h"
#include "thumbs/ListViewThumb.h"

#include <QComboBox>

#include <QMenu>
#include <functional>
#include <map>

void CMainFrame::Dispatch(int id)
{
    if (id >= Cmd::LookWin2000 && id <= Cmd::LookWin7) {
        OnGuiLookCommand(id);
        return;
    }
    // The page view's own commands reach it also while the strip has the keyboard focus.
    using ViewCommand = void (CViewImage::*)();
    static const std::map<int, ViewCommand> kViewCommands = {
        {Cmd::RotateCw, &CViewImage::RotateClockwise},
        {Cmd::RotateCcw, &CViewImage::RotateCounterClockwise},
        {Cmd::ZoomIn, &CViewImage::OnZoomIn},
        {Cmd::ZoomOut, &CViewImage::OnZoomOut},
        {Cmd::WholePage, &CViewImage::OnWholePage},
        {Cmd::WholeWidth, &CViewImage::OnWholeWidth},
        {Cmd::ActualPixels, &CViewImage::OnActualPixels},
        {Cmd::Copy, &CViewImage::CopyPageToClipboard},
    };
    using FrameCommand = std::function<void(CMainFrame&)>;
    static const std::map<int, FrameCommand> kFrameCommands = {
        {Cmd::FileOpen,
         [](CMainFrame& f) {
             f.m_app.OnFileOpen();
         }},
        {Cmd::SaveAs, &CMainFrame::SaveCopyAs},
        {Cmd::NextFile, &CMainFrame::OnNextFile},
        {Cmd::PreviousFile, &CMainFrame::OnPreviousFile},
        {Cmd::SendMail, &CMainFrame::OnSendMail},
        {Cmd::Print,
         [](CMainFrame& f) {
             f.OnPrint();
         }},
        {Cmd::PrintSetup,
         [](CMainFrame& f) {
             f.m_app.OnPrintSetup();
         }},
        {Cmd::Exit,
         [](CMainFrame& f) {
             f.close();
         }},
        {Cmd::FirstPage, &CMainFrame::OnFirstPage},
        {Cmd::PreviousPage, &CMainFrame::OnPreviousPage},
        {Cmd::NextPage, &CMainFrame::OnNextPage},
        {Cmd::LastPage, &CMainFrame::OnLastPage},
        {Cmd::GoToPage, &CMainFrame::OnGoToPage},
        {Cmd::ThumbOptions, &CMainFrame::OnThumbOptions},
        {Cmd::ImageOptions, &CMainFrame::OnImageOptions},
        {Cmd::LanguageOptions, &CMainFrame::OnLanguageOptions},
        {Cmd::HelpContents,
         [](CMainFrame& f) {
             f.OnHelpRequest(HelpTopic::Main);
         }},
        {Cmd::HelpSupport,
         [](CMainFrame& f) {
             f.OnHelpRequest(HelpTopic::Support);
         }},
        {Cmd::About,
         [](CMainFrame& f) {
             f.m_app.OnAppAbout();
         }},
        {Cmd::NextPane,
         [](CMainFrame& f) {
             f.MovePaneFocus(true);
         }},
        {Cmd::PreviousPane,
         [](CMainFrame& f) {
             f.MovePaneFocus(false);
         }},
    };
    if (auto v = kViewCommands.find(id); v != kViewCommands.end()) {
        if (m_view != nullptr) {
            (m_view->*(v->second))();
        }
    } else if (auto f = kFrameCommands.find(id); f != kFrameCommands.end()) {
        f->second(*this);
    }
    // Commands without a handler (undo, cut, paste) do nothing.
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
    connect(&dialog, &CDiaPage::helpRequested, this, &CMainFrame::OnHelpRequest);
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
