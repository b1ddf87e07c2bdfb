#include "frame/MainFrame.h"

#include "core/AccessibleText.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "core/WindowPlacement.h"
#include "document/FolivantDoc.h"
#include "frame/FrameAccessible.h"
#include "frame/FrameHost.h"
#include "frame/GuiLook.h"
#include "frame/ToolBarEx.h"
#include "pageview/FirstPaintStamp.h"
#include "pageview/ViewImage.h"
#include "platform/Icons.h"
#include "platform/Platform.h"
#include "thumbs/ListViewThumb.h"

#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

namespace {
QString Misc()
{
    return LoadString(Str::SectionMisc);
}
} // namespace

CMainFrame::CMainFrame(CFrameHost& app, CSettingsStore& store, CPlatform& platform)
    : m_app(app), m_store(store), m_platform(platform)
{
    setObjectName(QStringLiteral("CMainFrame"));
    m_data.LoadSettings(store);
    ApplyGuiLook(m_data.gui.GuiLook);

    CreateActions();
    CreateMenus();
    m_toolBar = new CToolBarEx(this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    ResetToolBar();
    connect(m_toolBar, &CToolBarEx::pageBoxEnter, this, &CMainFrame::OnPageBoxEnter);
    connect(m_toolBar, &CToolBarEx::pageBoxSelect, this, &CMainFrame::OnPageBoxSelect);
    CreateStatusBar();

    RestorePlacement();
    m_saveAsFolder = store.ReadString(Misc(), QStringLiteral("FolderFileSaveAs"));
    CreateClient();
    // Last, so that the pictures decoded ahead meanwhile (see DecodeFolivantIconsAhead) are ready.
    RefreshIcons();
    RemoveHiddenMenuEntries();
    SetUpFrameAccessibility(*this);

    setAcceptDrops(true);
    UpdateTitle();
    UpdateCommandStates();
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    SavePlacement();
    // The strip stops its loader before anything it renders into goes away.
    if (m_strip != nullptr) {
        m_strip->StopLoader();
    }
}

// ---- creation ----

void CMainFrame::CreateActions()
{
    for (const CommandInfo& c : AllCommands()) {
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("cmd%1").arg(c.id));
        a->setData(c.id);
        a->setText(CommandMenuText(c.id));
        a->setIconText(AccessibleButtonName(a->text())); // what a screen reader calls the toolbar button
        a->setStatusTip(CommandPrompt(c.id));
        const QString tip = CommandToolTip(c.id);
        if (!tip.isEmpty()) {
            a->setToolTip(tip);
        }
        a->setShortcuts(CommandKeys(c.id));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setMenuRole(QAction::NoRole);
        if (c.rule == EnableRule::Style) {
            a->setCheckable(true);
        }
        connect(a, &QAction::triggered, this, [this, id = c.id] { Dispatch(id); });
        // In the window itself too, so the keys work whatever menu or button is removed.
        addAction(a);
        m_actions[c.id] = a;
    }
    auto* looks = new QActionGroup(this);
    looks->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (auto& [id, a] : m_actions) {
        if (FindCommand(id)->rule == EnableRule::Style) {
            looks->addAction(a);
        }
    }
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == -1) {
            QMenu* sub = menu->addMenu(MenuTitle(item.text));
            FillMenu(sub, item.children);
            connect(sub, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        } else if (QAction* a = Action(item.id)) {
            menu->addAction(a);
        }
    }
}

void CMainFrame::CreateMenus()
{
    for (const MenuDef& def : MenuBarLayout()) {
        QMenu* menu = menuBar()->addMenu(MenuTitle(def.title));
        FillMenu(menu, def.items);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        m_menus.push_back(menu);
    }
    m_fileMenu = m_menus.front();
    connect(m_fileMenu, &QMenu::aboutToShow, this, &CMainFrame::RebuildRecentFiles);
    RebuildRecentFiles();
}

void CMainFrame::RebuildRecentFiles()
{
    for (QAction* a : m_recentActions) {
        m_fileMenu->removeAction(a);
        delete a;
    }
    m_recentActions.clear();
    QAction* placeholder = Action(Cmd::RecentFirst);
    const QStringList entries = m_app.RecentFileEntries();
    placeholder->setVisible(entries.isEmpty());
    placeholder->setEnabled(false);
    for (int i = 0; i < entries.size(); ++i) {
        QString shown = entries.at(i);
        if (shown.size() > 60) {
            shown = shown.left(20) + QStringLiteral("...") + shown.right(37);
        }
        auto* a = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(u'&', QStringLiteral("&&"))), m_fileMenu);
        a->setStatusTip(CommandPrompt(Cmd::RecentFirst + i));
        a->setData(Cmd::RecentFirst + i);
        connect(a, &QAction::triggered, this, [this, i] { m_app.OnOpenRecentFile(i); });
        m_fileMenu->insertAction(placeholder, a);
        m_recentActions.push_back(a);
    }
}

void CMainFrame::ResetToolBar()
{
    m_toolBar->ResetToolBar(m_actions, [this](int id) { return IsCommandHidden(id); });
    if (m_pageCount > 0 && m_strip != nullptr) {
        m_toolBar->FillPageBox(m_pageCount);
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    const int ids[3] = {Str::IndicatorCaps, Str::IndicatorNum, Str::IndicatorScroll};
    for (int i = 0; i < 3; ++i) {
        m_indicators[i] = new QLabel(LoadString(ids[i]), bar);
        m_indicators[i]->setAlignment(Qt::AlignCenter);
        m_indicators[i]->setMinimumWidth(
            m_indicators[i]->fontMetrics().horizontalAdvance(QStringLiteral("NUM")) + 12);
        m_indicators[i]->setEnabled(false);
        bar->addPermanentWidget(m_indicators[i]);
    }
}

void CMainFrame::CreateClient()
{
    m_splitter = new QSplitter(m_data.thumb.Align == 0 ? Qt::Horizontal : Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("Splitter"));
    m_splitter->setHandleWidth(7);
    m_splitter->setChildrenCollapsible(true);
    m_strip = new CListViewThumb(m_splitter);
    m_view = new CViewImage(m_splitter);
    StampFirstPaintWhenAsked(m_view);
    m_splitter->addWidget(m_strip);
    m_splitter->addWidget(m_view);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setCollapsible(1, false); // the page view always keeps room (LimitStripPane)
    setCentralWidget(m_splitter);

    m_strip->SetArrangement(m_data.thumb.Align);
    m_strip->SetSharedData(&m_data);
    m_strip->SetDocument(&m_app.Document());
    m_strip->SetProgressParent(this);
    m_view->SetSharedData(&m_data);
    m_view->SetDocument(&m_app.Document());
    m_view->SetPlatform(&m_platform);

    connect(m_strip, &CListViewThumb::pageSelected, this, &CMainFrame::OnPageSelected);
    connect(m_strip, &CListViewThumb::copyRequested, this, &CMainFrame::OnCopyRequested);
    connect(m_strip, &CListViewThumb::pageCountKnown, this, &CMainFrame::OnPageCountKnown);
    connect(m_strip, &CListViewThumb::helpRequested, this, &CMainFrame::OnHelpRequest);
    connect(m_view, &CViewImage::rotationChanged, this, &CMainFrame::OnRotationChanged);
    connect(m_view, &CViewImage::helpRequested, this, &CMainFrame::OnHelpRequest);
    connect(m_view, &CViewImage::pageDrawnChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_view, &CViewImage::pageDrawnChanged, m_strip, [this](bool drawn) {
        if (drawn) {
            m_strip->PageShown();
            if (m_stripPending) {
                // After the paint has reached the screen, not from within it.
                QMetaObject::invokeMethod(this, &CMainFrame::FillStripAfterFirstPage, Qt::QueuedConnection);
            }
        }
    });
    m_clientCreated = true;
    m_view->setFocus();
}

void CMainFrame::LayoutStrip()
{
    if (m_splitter == nullptr || m_strip == nullptr) {
        return;
    }
    const COptionThumb& t = m_data.thumb;
    const bool vertical = m_splitter->orientation() == Qt::Horizontal;
    if (t.On == 1) {
        // Wide (high) enough for a thumbnail with the spacing on both sides, its label, the scroll bar and
        // the frame: thumbnails are shown at their size, not squeezed into the pane.
        const int ideal = m_strip->PaneExtent(t.Width);
        m_strip->show();
        const int total = vertical ? m_splitter->width() : m_splitter->height();
        if (total <= 0) {
            return; // not laid out yet: at the next size
        }
        LimitStripPane();
        const int extent = StripPaneExtent(ideal, total);
        m_splitter->setSizes({extent, std::max(0, total - extent - m_splitter->handleWidth())});
    } else {
        // Collapsed: the strip and its handle take no room; it still keeps the current page.
        m_strip->hide();
    }
    m_layoutPending = false;
}

void CMainFrame::LimitStripPane()
{
    // However the window is sized or the bar dragged, the page view keeps at least half the room.
    if (m_splitter == nullptr || m_strip == nullptr) {
        return;
    }
    // The bar is dragged within the strip's maximum; a window made smaller shrinks the strip to it too.
    const bool vertical = m_splitter->orientation() == Qt::Horizontal;
    const int limit = StripPaneExtent(QWIDGETSIZE_MAX, vertical ? m_splitter->width() : m_splitter->height());
    if (vertical) {
        m_strip->setMaximumWidth(limit);
        m_strip->setMinimumWidth(std::min(100, limit));
    } else {
        m_strip->setMaximumHeight(limit);
        m_strip->setMinimumHeight(std::min(100, limit));
    }
    const QList<int> sizes = m_splitter->sizes();
    if (sizes.size() == 2 && sizes.at(0) > limit) {
        m_splitter->setSizes({limit, sizes.at(0) + sizes.at(1) - limit});
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_clientCreated && m_layoutPending) {
        LayoutStrip();
    } else if (m_clientCreated) {
        LimitStripPane();
    }
    TrackNormalFrame();
    // A window started maximised has its final size once the window system has resized it: page 1 is
    // decoded and scaled from then on, while the rest of the window is painted for the first time.
    if (m_initialUpdatePending && m_startMaximized && event->spontaneous() && isVisible()) {
        m_initialUpdatePending = false;
        StartShownDocument();
    }
}

// ---- state shown to the user ----

QAction* CMainFrame::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CMainFrame::Menu(int index) const
{
    return index >= 0 && index < static_cast<int>(m_menus.size()) ? m_menus[static_cast<size_t>(index)]
                                                                  : nullptr;
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(ComposeTitle(m_app.Document().GetPathName()));
}

EnableState CMainFrame::CurrentEnableState() const
{
    EnableState s;
    s.pageShown = m_view != nullptr && m_view->IsPageShown();
    s.pageCount = m_pageCount;
    s.stripExists = m_strip != nullptr;
    s.currentPage = m_strip != nullptr ? m_strip->GetCurrentPage() : 0;
    s.hasCurrentFile = m_data.GetCurrentFile() != nullptr;
    s.isFirstFile = m_data.IsFirstFile();
    s.isLastFile = m_data.IsLastFile();
    return s;
}

void CMainFrame::UpdateCommandStates()
{
    const EnableState state = CurrentEnableState();
    const int lookCommand = CommandFromGuiLook(m_data.gui.GuiLook);
    for (auto& [id, a] : m_actions) {
        const CommandInfo* c = FindCommand(id);
        if (c == nullptr || id == Cmd::RecentFirst) {
            continue;
        }
        a->setEnabled(IsCommandEnabled(c->rule, state));
        if (c->rule == EnableRule::Style) {
            a->setChecked(id == lookCommand);
        }
    }
}

void CMainFrame::OnInitialUpdate()
{
    if (m_openBeforeShowing && !m_wasShown) {
        // The view has no size yet: page 1 would be rendered for nothing. ShowInitially starts it.
        m_initialUpdatePending = true;
        UpdateTitle();
        UpdateCommandStates();
        return;
    }
    if (std::exchange(m_stripPending, false)) {
        Q_EMIT startupShown(); // start-up's document gives way to this one
    }
    // Page 1 first: the page view's worker starts on it, and the strip waits until it is shown before it
    // counts the pages (thousands of directory reads in a long document) and renders its thumbnails, so
    // page 1 is shown after the same work however long the document. A window that is not shown does not
    // wait. The strip then selects page 1, and the view keeps the page it has.
    m_goneTold = false;
    m_view->PrefetchFirstPage();
    m_strip->OnInitialUpdate(m_view->isVisible());
    if (m_strip->GetCurrentPage() == 0) {
        m_view->OnInitialUpdate();
    }
    UpdateTitle();
    UpdateCommandStates();
}

void CMainFrame::StartShownDocument()
{
    // Page 1 is asked for at the window's final size, so it is decoded and scaled once. The strip's work -
    // counting the pages (every page directory of a long document), the first thumbnail, the loader -
    // follows once the page is on the screen (or after a while, for a view that is never painted), so
    // page 1 does not share the processor with it. The strip then selects page 1, which the view has.
    m_goneTold = false;
    m_stripPending = true;
    m_view->PrefetchFirstPage();
    QTimer::singleShot(kStripWaitMs, this, &CMainFrame::FillStripAfterFirstPage);
}

void CMainFrame::FillStripAfterFirstPage()
{
    if (!std::exchange(m_stripPending, false)) {
        return; // filled already, or another document was opened meanwhile
    }
    m_strip->OnInitialUpdate(false);
    if (m_strip->GetCurrentPage() == 0) {
        m_view->OnInitialUpdate();
    }
    UpdateTitle();
    UpdateCommandStates();
    Q_EMIT startupShown();
}

// ---- the panes' reports ----

void CMainFrame::OnPageSelected(int index, int pageState)
{
    if (m_reopening) {
        return; // the strip refills for the changed file; ReopenChangedDocument picks the page after
    }
    const CFolivantDoc::DiskState disk = m_app.Document().CheckDisk();
    if (disk == CFolivantDoc::DiskState::Changed) {
        // The strip is refilled once its selection change has ended, not from within it; page changes
        // until then only say which page to stay at.
        m_reopenIndex = index;
        if (!m_reopenQueued) {
            m_reopenQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_reopenQueued = false;
                    // Not opened anew meanwhile.
                    if (m_app.Document().CheckDisk() == CFolivantDoc::DiskState::Changed) {
                        ReopenChangedDocument(m_reopenIndex);
                    }
                },
                Qt::QueuedConnection);
        }
        return;
    }
    if (disk == CFolivantDoc::DiskState::Gone) {
        TellDocumentGone();
    }
    UpdateTitle();
    if (m_view != nullptr) {
        m_view->ShowPage(index, pageState & 0xF, (pageState & 0xF0) >> 4);
    }
    ShowPageNumber(index + 1);
    UpdateCommandStates();
}

void CMainFrame::ReopenChangedDocument(int index)
{
    // Another file (or the same file rewritten) lies at the path now: its pages, not the old ones, are
    // counted, listed and shown. Rotations belonged to the old pages and start afresh; the page asked for
    // stays when the new file has it, else the first page shows.
    m_goneTold = false;
    {
        QScopedValueRollback<bool> reopening(m_reopening, true);
        m_app.Document().TakeStamp();
        m_strip->ReloadStrip();
    }
    const int current = m_strip->GetCurrentPage();
    if (current == 0) {
        m_view->OnInitialUpdate(); // no readable page: the view shows none
        UpdateTitle();
        UpdateCommandStates();
    } else if (index > 0 && index < m_strip->GetPageCount()) {
        m_strip->SelectPage(index + 1); // reported like any page change
    } else {
        OnPageSelected(current - 1, 0);
    }
}

void CMainFrame::OnCopyRequested()
{
    if (m_view != nullptr) {
        m_view->CopyPageToClipboard();
    }
}

void CMainFrame::OnRotationChanged(int rotation, int second)
{
    if (m_strip != nullptr) {
        m_strip->SetPageState(rotation, second);
    }
}

void CMainFrame::OnSelectPageMessage(int index)
{
    if (m_strip != nullptr) {
        m_strip->SelectPage(index + 1);
    }
}

void CMainFrame::OnPageCountKnown(int count)
{
    m_pageCount = count;
    m_toolBar->FillPageBox(count);
    if (m_view != nullptr) {
        m_view->SetPageCount(count);
    }
    if (m_strip != nullptr && m_strip->GetCurrentPage() > 0) {
        m_toolBar->ShowPageNumber(m_strip->GetCurrentPage());
    }
    UpdateCommandStates();
}

// ---- drop and keyboard state ----

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    // Opened one after the other, so the last of them stays open; no header test, like the command line.
    // Next and previous file then step through the folder of the file that stayed open.
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    QString opened;
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && m_app.OpenDocumentFile(url.toLocalFile())) {
            opened = url.toLocalFile();
        }
    }
    if (!opened.isEmpty()) {
        ListFolderOf(opened);
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl with plus or minus on the number pad zooms. Some window systems report such keys to the
    // shortcut map without the keypad flag, where they do not match the keypad keys of the zoom commands;
    // the key then arrives here as a plain key press in one of the window's panes.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int id = key->key() == Qt::Key_Plus    ? int(Cmd::ZoomIn)
                       : key->key() == Qt::Key_Minus ? int(Cmd::ZoomOut)
                                                     : 0;
        if (id != 0 && key->modifiers() == (Qt::ControlModifier | Qt::KeypadModifier)) {
            QAction* a = Action(id);
            if (a != nullptr && a->isEnabled()) {
                a->trigger();
            }
            return true;
        }
    }
    // The key-state indicators follow the lock keys as the keyboard reports them with each key.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const quint32 state = key->nativeModifiers();
        if (state != 0 || key->nativeScanCode() != 0) {
            m_indicators[0]->setEnabled((state & 0x02) != 0); // caps lock
            m_indicators[1]->setEnabled((state & 0x10) != 0); // num lock
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
