#pragma once
// The program's single top-level window: menu bar, toolbar, status bar, the splitter with the thumbnail
// strip and the page view, the shared data with all settings, the window placement, and the relay of
// the panes' reports (page selected, copy, rotation, page count, help). Panes never call each other.

#include "core/ExitStatus.h"
#include "document/FolivantData.h"
#include "frame/CommandTable.h"

#include <QMainWindow>

#include <map>

class CFrameHost;
class CCustomCommandLineInfo;
class CListViewThumb;
class CSettingsStore;
class CToolBarEx;
class CViewImage;
struct CPlatform;
class QLabel;
class QMenu;
class QSplitter;
struct CPrintResult;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    CMainFrame(CFrameHost& app, CSettingsStore& store, CPlatform& platform);
    ~CMainFrame() override;

    void SetCommandLine(CCustomCommandLineInfo* commandLine) { m_commandLine = commandLine; }

    // Shows the window as the stored placement says (maximised on a fresh installation).
    void ShowInitially();
    // Applies the strip's size from the thumbnail options; done once after creation and after the
    // thumbnail options changed.
    void LayoutStrip();
    void SetLayoutPending() { m_layoutPending = true; }
    void UpdateTitle();
    // Applies the enabling rules to every command.
    void UpdateCommandStates();
    EnableState CurrentEnableState() const;

    // Every view gets its initial update for a newly opened document.
    void OnInitialUpdate();
    // Start-up of a window that is about to be shown: a document opened before ShowInitially is first
    // requested at the size the window then has, and the strip counts its pages only once page 1 has
    // been painted (see StartShownDocument).
    void OpenBeforeShowing() { m_openBeforeShowing = true; }
    // True until a document opened at start-up has page 1 painted and its strip filled.
    bool IsStartupPending() const { return m_initialUpdatePending || m_stripPending; }
Q_SIGNALS:
    // Start-up's document has page 1 on the screen and its strip filled (or none to show, or another
    // document was opened meanwhile). Emitted once at most.
    void startupShown();

public:
    CFolivantData& Data() { return m_data; }
    CListViewThumb* Strip() const { return m_strip; }
    CViewImage* PageView() const { return m_view; }
    CToolBarEx* ToolBar() const { return m_toolBar; }
    QSplitter* Splitter() const { return m_splitter; }
    QAction* Action(int id) const;
    QMenu* Menu(int index) const;
    int GetPageCount() const { return m_pageCount; }

    // Runs a command as if chosen from the menu.
    void Dispatch(int id);
    // Page navigation: each only changes the strip's selection.
    void OnFirstPage();
    void OnPreviousPage();
    void OnNextPage();
    void OnLastPage();
    void OnGoToPage();
    void OnPageBoxEnter();
    void OnPageBoxSelect(int index);
    void ShowPageNumber(int n);
    void OnNextFile();
    void OnPreviousFile();
    // The folder list becomes the TIFF files of `path`'s folder with `path` as the current file (no list
    // without a folder), unless the user's switch stops the folder list.
    void ListFolderOf(const QString& path);
    void OnWholePage();
    void RemoveHiddenMenuEntries();

    // Save As copy and mail.
    void SaveCopyAs();
    void OnSendMail();
    // Printing: interactive, and the command-line run. OnPrint returns false when nothing could be printed
    // and the user was told why (a cancelled dialog counts as done). The command-line run returns the exit
    // status of a quiet run; a quiet run reports on stderr, and names its job on stdout.
    bool OnPrint();
    ExitStatus PrintFromCommandLine();
    // Options dialogs and looks.
    void OnThumbOptions();
    void OnImageOptions();
    void OnLanguageOptions();
    void OnGuiLookCommand(int id);
    void ApplyLook(int value);

public Q_SLOTS:
    // The panes' reports.
    void OnPageSelected(int index, int pageState);
    void OnCopyRequested();
    void OnRotationChanged(int rotation, int second);
    void OnSelectPageMessage(int index);
    void OnPageCountKnown(int count);
    void OnHelpRequest(int topic);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How long the strip waits for page 1 before it fills anyway (a view that is never painted).
    static constexpr int kStripWaitMs = 1000;
    void StartShownDocument();
    void FillStripAfterFirstPage();
    void CreateActions();
    void CreateMenus();
    void FillMenu(QMenu* menu, const std::vector<MenuItem>& items);
    void CreateStatusBar();
    void CreateClient();
    // The open file changed on disk since the views read it: they read it again, staying at page
    // `index` (0-based) when the file still has it.
    void ReopenChangedDocument(int index);
    // The open file has gone from its path: the views keep what they have read; the user is told once.
    void TellDocumentGone();
    void RestorePlacement();
    void SavePlacement();
    // The restored frame rectangle, exactly, once the window manager's frame around the window is known.
    void ApplyPlacedFrame();
    void TrackNormalFrame();
    void LimitStripPane();
    void RebuildRecentFiles();
    void ResetToolBar();
    void MovePaneFocus(bool forward);
    bool IsCommandHidden(int id) const;
    void RefreshIcons();
    // One run of the print command, reported: a quiet run on stderr and stdout, otherwise in a message.
    CPrintResult RunPrintCommand();

    CFrameHost& m_app;
    CSettingsStore& m_store;
    CPlatform& m_platform;
    CFolivantData m_data;
    QString m_saveAsFolder;
    bool m_clientCreated = false;
    bool m_layoutPending = true;
    bool m_startMaximized = true;
    // Window placement: the frame rectangle restored at start, whether it still waits to be applied
    // exactly (the frame is known only once the window is on the screen), and the last frame rectangle
    // of the window while it was neither maximised nor minimised.
    QRect m_placedFrame;
    bool m_framePending = true;
    QRect m_normalFrame;
    bool m_wasShown = false;
    bool m_reopening = false;
    bool m_reopenQueued = false;
    bool m_goneTold = false;             // the user knows that the open file has gone
    bool m_openBeforeShowing = false;    // OnInitialUpdate waits for ShowInitially
    bool m_initialUpdatePending = false; // a document was opened before the window was shown
    bool m_stripPending = false;         // the strip fills once page 1 has been painted
    int m_reopenIndex = 0;
    CCustomCommandLineInfo* m_commandLine = nullptr;
    // Set while start-up's command-line run prints. The command line stays set for the whole session, but
    // a later print command of the user prints the document shown, not the command line's file again.
    bool m_commandLineRun = false;
    int m_pageCount = 1;

    QSplitter* m_splitter = nullptr;
    CListViewThumb* m_strip = nullptr;
    CViewImage* m_view = nullptr;
    CToolBarEx* m_toolBar = nullptr;
    std::map<int, QAction*> m_actions;
    std::vector<QMenu*> m_menus;
    QMenu* m_fileMenu = nullptr;
    std::vector<QAction*> m_recentActions;
    QLabel* m_indicators[3] = {nullptr, nullptr, nullptr};
};
