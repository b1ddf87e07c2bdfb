// The main window's options commands and looks.
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "dialogs/DiaOptions.h"
#include "document/FolivantDoc.h"
#include "frame/FrameHost.h"
#include "frame/GuiLook.h"
#include "frame/MainFrame.h"
#include "pageview/ViewImage.h"
#include "platform/Icons.h"
#include "platform/Platform.h"
#include "thumbs/ListViewThumb.h"

void CMainFrame::OnThumbOptions()
{
    COptionThumb& t = m_data.thumb;
    const int width = t.Width;
    const int quality = t.Quality;
    const int on = t.On;
    CDiaOptionThumb dialog(m_store, m_platform, this);
    connect(&dialog, &CDiaOptionThumb::helpRequested, this, &CMainFrame::OnHelpRequest);
    dialog.SetRecord(&t);
    if (m_platform.dialogs->Exec(dialog) != QDialog::Accepted) {
        return;
    }
    if (t.On == 1) {
        if (t.Width != width || t.On != on) {
            SetLayoutPending();
            LayoutStrip();
        }
        // New thumbnails for the same document; the user stays on the page and keeps the rotations. A file
        // gone from the disk cannot be read again: its strip stays as it is.
        if ((t.Width != width || t.On != on || t.Quality != quality) && m_strip != nullptr &&
            m_app.Document().CheckDisk() != CFolivantDoc::DiskState::Gone) {
            m_strip->ReloadStripKeepingPlace();
        }
    } else if (on != 0) {
        SetLayoutPending();
        LayoutStrip();
    }
    // A changed arrangement is saved and applies at the next start.
}

void CMainFrame::OnImageOptions()
{
    CDiaOptionImage dialog(m_store, this);
    connect(&dialog, &CDiaOptionImage::helpRequested, this, &CMainFrame::OnHelpRequest);
    dialog.SetRecord(&m_data.image);
    if (m_platform.dialogs->Exec(dialog) != QDialog::Accepted) {
        return;
    }
    if (m_view != nullptr) {
        m_view->UpdateImageRect();
        m_view->OnWholePage();
    }
}

void CMainFrame::OnLanguageOptions()
{
    CDiaOptionLanguage dialog(m_store, this);
    connect(&dialog, &CDiaOptionLanguage::helpRequested, this, &CMainFrame::OnHelpRequest);
    dialog.SetRecord(&m_data.language);
    if (m_platform.dialogs->Exec(dialog) != QDialog::Accepted) {
        return;
    }
    m_platform.messageBox->Show(this, LoadString(Str::RestartNeeded), LoadString(Str::AppTitle),
                                IMessageBox::NoIcon);
}

void CMainFrame::OnGuiLookCommand(int id)
{
    const int value = GuiLookFromCommand(id);
    ApplyLook(value);
    m_data.gui.GuiLook = value;
    m_data.gui.SaveSettings(m_store);
    UpdateCommandStates();
}

void CMainFrame::ApplyLook(int value)
{
    ApplyGuiLook(value);
    RefreshIcons();
    update();
}

void CMainFrame::RefreshIcons()
{
    for (auto& [id, a] : m_actions) {
        const CommandInfo* c = FindCommand(id);
        if (c != nullptr && c->iconName != nullptr) {
            a->setIcon(FolivantIcon(QString::fromLatin1(c->iconName)));
        }
    }
}
