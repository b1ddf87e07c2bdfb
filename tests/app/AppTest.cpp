// The whole program, headless: start-up, opening files, the folder list and the recent files.
#include "app/DiaHelp.h"
#include "app/Startup.h"
#include "core/CommandIds.h"
#include "dialogs/DiaOptions.h"
#include "frame/MainFrame.h"
#include "frame/ToolBarEx.h"
#include "imaging/TiffImage.h"
#include "pageview/ViewImage.h"
#include "support/AppHarness.h"
#include "thumbs/ListViewThumb.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

#include <functional>
#include <optional>
#include <utility>

using testsupport::AppHarness;

namespace {

// Calls `check` before every event the application delivers.
class EventWatch : public QObject
{
public:
    explicit EventWatch(std::function<void(QObject*, QEvent*)> check) : m_check(std::move(check))
    {
        QApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        m_check(receiver, event);
        return false;
    }

private:
    std::function<void(QObject*, QEvent*)> m_check;
};

QString Title(AppHarness& h)
{
    return h.Frame().windowTitle();
}

TEST(Startup, WithoutArgumentsAnEmptyMaximisedWindow)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(Title(h), " Folivant V1.15");
    EXPECT_TRUE(h.Frame().isVisible());
    EXPECT_TRUE(h.Frame().isMaximized());
    EXPECT_FALSE(h.Frame().Action(Cmd::Print)->isEnabled());
    EXPECT_TRUE(h.Frame().Action(Cmd::FileOpen)->isEnabled());
    EXPECT_TRUE(h.fakes.messages->shown.empty());
    EXPECT_TRUE(h.fakes.dialogs->ran.isEmpty()); // no About box on a fresh installation
}

// Started from the file manager or a terminal: the folder is listed as by the file dialog.
TEST(Startup, AFullPathOpensTheFileAndListsItsFolder)
{
    AppHarness h;
    const QString fax = h.MakeFax("brief.tif", 3);
    const QString next = h.MakeFax("brief2.tif", 1);
    ASSERT_TRUE(h.Start({fax}));
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
    EXPECT_EQ(Title(h), " brief.tif - Folivant V1.15");
    EXPECT_EQ(h.Frame().Strip()->GetCurrentPage(), 1);
    EXPECT_EQ(h.Frame().GetPageCount(), 3);
    EXPECT_EQ(h.Frame().Data().GetFolderList().GetCount(), 2);
    h.Frame().UpdateCommandStates();
    EXPECT_TRUE(h.Frame().Action(Cmd::NextFile)->isEnabled());
    EXPECT_FALSE(h.Frame().Action(Cmd::PreviousFile)->isEnabled()); // the first file of the folder
    // The page box holds 1 ... 3 with the first selected.
    QComboBox* box = h.Frame().ToolBar()->GetPageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentText(), "1");
    h.Frame().Action(Cmd::NextFile)->trigger();
    EXPECT_EQ(h.App().Document().GetPathName(), next);
    h.Frame().Action(Cmd::PreviousFile)->trigger();
    EXPECT_EQ(h.App().Document().GetPathName(), fax);
}

// Page 1 is painted first: the strip counts the pages, and the recent-file list is written, after it. The
// maximised window asks for the page once it has its size, before the rest of it is painted.
TEST(Startup, PageOneIsPaintedBeforeTheStripFillsAndTheRecentListIsWritten)
{
    AppHarness h;
    const QString fax = h.MakeFax("zuerst.tif", 3);
    const auto recentInSettings = [&] {
        return h.Store().GetProfileString(QStringLiteral("Recent File List"), QStringLiteral("File1"));
    };
    // Looked at on every event of start-up, which may paint page 1 before Start returns.
    int fills = 0;
    int early = 0; // events at which the strip had pages, or the settings the file, before page 1 was painted
    const CMainFrame* seen = nullptr;
    std::optional<bool> askedAtFirstPaint;
    EventWatch watch([&](QObject* receiver, QEvent* event) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* f = qobject_cast<CMainFrame*>(w);
            if (f == nullptr || f->Strip() == nullptr || f->PageView() == nullptr) {
                continue;
            }
            if (std::exchange(seen, f) != f) {
                QObject::connect(f->Strip()->model(), &QAbstractItemModel::modelReset, f,
                                 [&fills, f] { fills += f->Strip()->model()->rowCount() > 0 ? 1 : 0; });
            }
            if (!f->PageView()->IsPageDrawn() &&
                (f->Strip()->GetPageCount() > 0 || !recentInSettings().isEmpty())) {
                ++early;
            }
            if (receiver == f && event->type() == QEvent::Paint && !askedAtFirstPaint) {
                askedAtFirstPaint = f->PageView()->IsRendering() || f->PageView()->IsPageDrawn();
            }
        }
    });
    ASSERT_TRUE(h.Start({fax}, false));
    EXPECT_EQ(h.App().RecentFiles().Entries(), QStringList{fax}); // the menu has it at once
    ASSERT_TRUE(testsupport::WaitFor([&] { return !h.Frame().IsStartupPending(); }));
    EXPECT_EQ(early, 0);
    EXPECT_EQ(askedAtFirstPaint, true);
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(h.Frame().Strip()->GetPageCount(), 3);
    EXPECT_EQ(recentInSettings(), fax);

    // Ended before its first page was painted, the program still keeps the file in its list.
    AppHarness quick;
    const QString other = quick.MakeFax("kurz.tif", 1);
    ASSERT_TRUE(quick.Start({other}, false));
    quick.Stop();
    EXPECT_EQ(quick.Store().GetProfileString(QStringLiteral("Recent File List"), QStringLiteral("File1")),
              other);
}

// The thread that prepares the fonts ends whether or not it was told that the application object exists,
// and the window's own use of fonts meanwhile is safe.
TEST(Startup, TheFontThreadEndsWithOrWithoutTheApplication)
{
    {
        CFontWarmUp neverTold;
    }
    CFontWarmUp fonts;
    fonts.ApplicationMade();
    EXPECT_GT(QFontMetrics(QApplication::font()).height(), 0);
}

TEST(Startup, ARelativeNameIsOpenedFromTheWorkingFolder)
{
    AppHarness h;
    h.MakeFax("relativ.tif", 1);
    ASSERT_TRUE(h.Start({"relativ.tif"})); // the harness starts in its documents folder
    EXPECT_EQ(h.App().Document().GetPathName(), h.DocsDir() + "/relativ.tif");
}

TEST(Startup, AMissingFileOnTheCommandLineIsReportedAndEndsTheProgram)
{
    AppHarness h;
    const QString missing = h.DocsDir() + "/weg.tif";
    EXPECT_FALSE(h.Start({missing}));
    ASSERT_EQ(h.fakes.messages->shown.size(), 1u);
    // No second line "the current document stays open": there is none.
    EXPECT_EQ(h.fakes.messages->shown[0].text, "Die Datei '" + missing + "' kann nicht geöffnet werden.");
    EXPECT_EQ(h.fakes.messages->shown[0].caption, "Fehler");
}

TEST(Startup, HelpRequestShowsTheMessageWindowAndEnds)
{
    AppHarness h;
    testsupport::WriteFile(h.ProgramDir() + "/FolivantCmndArguments.txt", "Zeile 1\nZeile 2\nZeile 3\n");
    QString message;
    QString help;
    h.fakes.dialogs->handler = [&](QDialog& d) {
        auto& dia = dynamic_cast<CDiaHelp&>(d);
        message = dia.MessageText();
        help = dia.HelpText();
        return QDialog::Rejected;
    };
    EXPECT_FALSE(h.Start({"/?"}));
    EXPECT_EQ(h.fakes.dialogs->ran, QStringList{"CDiaHelp"});
    EXPECT_EQ(message, "-");
    EXPECT_EQ(help.split('\n', Qt::SkipEmptyParts).size(), 3);
    EXPECT_FALSE(h.Frame().isVisible()); // the main window never appeared
    EXPECT_EQ(h.Stop(), 0);
}

TEST(Startup, ACommandLineErrorShowsItsTextAndEndsWithItsStatus)
{
    AppHarness h;
    const QString fax = h.MakeFax("a.tif", 1);
    QString message;
    h.fakes.dialogs->handler = [&](QDialog& d) {
        message = dynamic_cast<CDiaHelp&>(d).MessageText();
        return QDialog::Rejected;
    };
    EXPECT_FALSE(h.Start({"/q", fax}));
    EXPECT_EQ(message, "/q erfordert /p.");
    EXPECT_EQ(h.Stop(), 2) << "a wrong command line (a missing file's 3: StartupTest)";
}

TEST(Startup, TheAboutBoxAppearsOnlyWhenTheSettingIsZero)
{
    AppHarness h;
    h.UserSettings("[Misc]\nAbout=0\n");
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(h.fakes.dialogs->ran, QStringList{"CDiaAbout"});

    AppHarness other;
    other.UserSettings("[Misc]\nAbout=1\n");
    ASSERT_TRUE(other.Start());
    EXPECT_TRUE(other.fakes.dialogs->ran.isEmpty());
}

TEST(Exit, DeletesTheWorkspaceSectionOnly)
{
    AppHarness h;
    h.UserSettings("[Workspace]\nX=1\n[Thumb]\nWidth=200\n");
    ASSERT_TRUE(h.Start());
    h.Stop();
    const CSettingsStore store = h.Store();
    EXPECT_EQ(store.GetProfileInt("Workspace", "X", -1), -1);
    EXPECT_EQ(store.GetProfileInt("Thumb", "Width", -1), 200);
}

class FileOpenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        a = h.MakeFax("a.tif", 2);
        b = h.MakeFax("b.tif", 3);
        c = h.MakeFax("c.tif", 1);
        ASSERT_TRUE(h.Start());
    }
    AppHarness h;
    QString a, b, c;
};

TEST_F(FileOpenTest, TheFileDialogOpensATiffAndBuildsTheFolderList)
{
    h.fakes.files->answers.push_back(b);
    h.Frame().Action(Cmd::FileOpen)->trigger();
    h.Settle();
    EXPECT_EQ(h.App().Document().GetPathName(), b);
    EXPECT_EQ(h.Frame().Data().GetFolderList().GetCount(), 3);
    EXPECT_EQ(h.Frame().Data().GetCurrentFile()->GetText(), b);
    EXPECT_EQ(h.Store().GetProfileString("Misc", "FolderFileOpen"), h.DocsDir());
    EXPECT_EQ(h.App().OpenFolder(), h.DocsDir());

    // Next and previous file walk the folder in its listing order.
    QStringList order;
    for (T_ONode* n = h.Frame().Data().GetFolderList().GetHead(); n != nullptr; n = n->GetNext()) {
        order << static_cast<T_OStrNode*>(n)->GetText();
    }
    const int at = order.indexOf(b);
    h.Frame().OnNextFile();
    h.Settle();
    if (at + 1 < order.size()) {
        EXPECT_EQ(h.App().Document().GetPathName(), order.at(at + 1));
    } else {
        EXPECT_EQ(h.App().Document().GetPathName(), b);
    }
    // The next start shows the dialog in the folder used last.
    AppHarness again;
    again.UserSettings(testsupport::ReadFile(h.UserFile()));
    ASSERT_TRUE(again.Start());
    again.fakes.files->answers.push_back(QString());
    again.Frame().Action(Cmd::FileOpen)->trigger();
    EXPECT_EQ(again.fakes.files->openStartFolders.value(0), h.DocsDir());
}

TEST_F(FileOpenTest, AFileWithoutTiffHeaderIsRefusedWithItsMessage)
{
    const QString fake = h.DocsDir() + "/fake.tif";
    testsupport::WriteFile(fake, "PDF-1.4 not a tiff");
    h.fakes.files->answers.push_back(fake);
    h.Frame().Action(Cmd::FileOpen)->trigger();
    ASSERT_EQ(h.fakes.messages->shown.size(), 1u);
    EXPECT_EQ(h.fakes.messages->shown[0].text,
              "Die ausgewählte Datei '" + fake + "' hat ein falsches Format. ");
    EXPECT_EQ(h.fakes.messages->shown[0].caption, "Fehler");
    EXPECT_EQ(h.fakes.messages->shown[0].icon, IMessageBox::Stop);
    EXPECT_TRUE(h.App().Document().GetPathName().isEmpty());
    EXPECT_EQ(h.Store().GetProfileString("Misc", "FolderFileOpen"), "");
}

TEST_F(FileOpenTest, TheUsersSwitchStopsTheFolderList)
{
    AppHarness off;
    off.UserSettings("[Misc]\nHideDoCNavigation=1\n");
    const QString x = off.MakeFax("x.tif", 1);
    off.MakeFax("y.tif", 1);
    ASSERT_TRUE(off.Start());
    off.fakes.files->answers.push_back(x);
    off.Frame().Action(Cmd::FileOpen)->trigger();
    EXPECT_EQ(off.App().Document().GetPathName(), x);
    EXPECT_TRUE(off.Frame().Data().GetFolderList().IsEmpty());
}

TEST_F(FileOpenTest, AFileThatCannotBeOpenedLeavesEverythingAsItWas)
{
    h.fakes.files->answers.push_back(b);
    h.Frame().Action(Cmd::FileOpen)->trigger();
    h.Settle();
    ASSERT_EQ(h.Frame().GetPageCount(), 3);

    // Vanished after it was listed, a folder, and a file without read permission.
    QFile::remove(c);
    QDir().mkpath(h.DocsDir() + "/ordner.tif");
    for (const QString& bad : {c, h.DocsDir() + "/ordner.tif"}) {
        h.fakes.messages->shown.clear();
        EXPECT_FALSE(h.App().OpenDocumentFile(bad));
        ASSERT_EQ(h.fakes.messages->shown.size(), 1u);
        EXPECT_EQ(h.fakes.messages->shown[0].text,
                  "Die Datei '" + bad +
                      "' kann nicht geöffnet werden.\nDas aktuelle Dokument bleibt geöffnet.");
        EXPECT_EQ(h.App().Document().GetPathName(), b);
        EXPECT_EQ(Title(h), " b.tif - Folivant V1.15");
        EXPECT_EQ(h.Frame().GetPageCount(), 3);
        EXPECT_EQ(h.Frame().Strip()->Model()->rowCount(), 3);
    }
}

TEST_F(FileOpenTest, RecentFilesReopenAndForgetVanishedOnes)
{
    for (const QString& f : {a, b, c}) {
        ASSERT_TRUE(h.App().OpenDocumentFile(f));
    }
    EXPECT_EQ(h.App().RecentFiles().Entries(), (QStringList{c, b, a}));
    h.Frame().Menu(0)->popup(QPoint(0, 0)); // the menu lists them when it opens
    h.Frame().Menu(0)->hide();
    int listed = 0;
    for (QAction* act : h.Frame().Menu(0)->actions()) {
        listed += act->text().startsWith('&') && act->text().contains(".tif") ? 1 : 0;
    }
    EXPECT_EQ(listed, 3);

    h.App().OnOpenRecentFile(2); // a.tif
    EXPECT_EQ(h.App().Document().GetPathName(), a);
    EXPECT_EQ(h.Frame().Data().GetFolderList().GetCount(), 3); // built after a successful open
    EXPECT_EQ(h.App().RecentFiles().Entries().first(), a);

    QFile::remove(b);
    h.fakes.messages->shown.clear();
    h.App().OnOpenRecentFile(h.App().RecentFiles().Entries().indexOf(b));
    EXPECT_EQ(h.fakes.messages->shown.size(), 1u);
    EXPECT_FALSE(h.App().RecentFiles().Entries().contains(b));
    EXPECT_TRUE(h.Frame().Data().GetFolderList().IsEmpty());
    EXPECT_EQ(h.App().Document().GetPathName(), a);
}

TEST_F(FileOpenTest, FolderNavigationEnablingAtTheEnds)
{
    QStringList order;
    h.fakes.files->answers.push_back(a);
    h.Frame().Action(Cmd::FileOpen)->trigger();
    h.Settle();
    for (T_ONode* n = h.Frame().Data().GetFolderList().GetHead(); n != nullptr; n = n->GetNext()) {
        order << static_cast<T_OStrNode*>(n)->GetText();
    }
    ASSERT_EQ(order.size(), 3);
    // Go to the last file of the list.
    while (h.App().Document().GetPathName() != order.last()) {
        h.Frame().OnNextFile();
        h.Settle();
    }
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
    h.Frame().UpdateCommandStates();
    EXPECT_FALSE(h.Frame().Action(Cmd::NextFile)->isEnabled());
    EXPECT_TRUE(h.Frame().Action(Cmd::PreviousFile)->isEnabled());
    h.Frame().OnPreviousFile();
    h.Settle();
    EXPECT_EQ(h.App().Document().GetPathName(), order.at(1));
}

} // namespace

namespace {
// Regression: the page of a file named on the command line was fitted before the window had its size.
TEST(Startup, TheCommandLineFileIsFittedWholeIntoTheShownWindow)
{
    for (const char* placement : {"", "[Misc]\nMaximized=0\nPosX1=50\nPosX2=1050\nPosY1=40\nPosY2=800\n"}) {
        AppHarness h;
        h.UserSettings(placement);
        const QString fax = h.MakeFax("fit.tif", 2);
        ASSERT_TRUE(h.Start({fax}));
        CViewImage* view = h.Frame().PageView();
        const QRect r = view->ImageRect();
        const QSize vp = view->viewport()->size();
        EXPECT_TRUE(r.width() == vp.width() || r.height() == vp.height()) << placement;
        EXPECT_LE(r.width(), vp.width());
        EXPECT_LE(r.height(), vp.height());
        EXPECT_GE(r.x(), 0);
        EXPECT_GE(r.y(), 0);
    }
}
} // namespace

namespace {
// Regression: every run that ended at once saved the placement of a window that never appeared, so the
// user's maximised window came back as 1024 x 768.
TEST(Placement, OnlyAWindowThatWasShownSavesItsPlacement)
{
    const QByteArray saved = "[Misc]\nPosX1=10\nPosX2=710\nPosY1=20\nPosY2=520\nMaximized=1\n";
    const auto run = [&](const QStringList& args, bool makeFile) {
        AppHarness h;
        h.UserSettings(saved);
        const QString fax = makeFile ? h.MakeFax("p.tif", 2) : h.DocsDir() + "/weg.tif";
        QStringList withFile = args;
        withFile.replaceInStrings("FILE", fax);
        EXPECT_FALSE(h.Start(withFile)) << args.join(' ').toStdString();
        const qsizetype printed = h.fakes.spooler->titles.size();
        h.Stop();
        const CSettingsStore store = h.Store();
        const std::pair<const char*, int> kept[] = {
            {"PosX1", 10}, {"PosX2", 710}, {"PosY1", 20}, {"PosY2", 520}, {"Maximized", 1}};
        for (const auto& [name, value] : kept) {
            EXPECT_EQ(store.GetProfileInt("Misc", name, -1), value)
                << name << " after " << args.join(' ').toStdString();
        }
        return printed;
    };
    EXPECT_EQ(run({"/?"}, true), 0);
    EXPECT_EQ(run({"/q", "FILE"}, true), 0);       // a command-line error
    EXPECT_EQ(run({"FILE"}, false), 0);            // a file that cannot be opened at start
    EXPECT_EQ(run({"/p", "/q", "FILE"}, true), 1); // a quiet print run (it printed)

    // A window that was shown saves where it is: its frame (2 pixels wide on the offscreen platform).
    AppHarness shown;
    shown.UserSettings("[Misc]\nMaximized=0\n");
    ASSERT_TRUE(shown.Start());
    shown.Frame().setGeometry(32, 42, 636, 476);
    shown.Stop();
    EXPECT_EQ(shown.Store().GetProfileInt("Misc", "PosX1", 0), 30);
    EXPECT_EQ(shown.Store().GetProfileInt("Misc", "PosY2", 0), 520);
    EXPECT_EQ(shown.Store().GetProfileInt("Misc", "Maximized", -1), 0);
}

// Regression: PosX1=-9999, PosX2=2147483647 overflowed into a 177 x 138 window off the screen.
TEST(Placement, AStoredRectangleFromAnEditedFileStaysOnTheScreen)
{
    AppHarness h;
    h.UserSettings("[Misc]\nMaximized=0\nPosX1=-9999\nPosX2=2147483647\nPosY1=-9999\nPosY2=2147483647\n");
    ASSERT_TRUE(h.Start());
    // The client area fits the screen; the window system may still shift it by its frame.
    const QRect screen = h.Frame().screen()->availableGeometry();
    const QRect placed = h.Frame().geometry();
    EXPECT_LE(placed.width(), screen.width());
    EXPECT_LE(placed.height(), screen.height());
    EXPECT_TRUE(screen.contains(placed.topLeft())) << placed.x() << "," << placed.y();
    EXPECT_GE(h.Frame().width(), 400);
    EXPECT_GE(h.Frame().height(), 300);
}
} // namespace

namespace {
// Regression: after the open file was replaced, End showed "500" in the page box but drew page 1 of the
// new file, and the strip kept the old pages.
TEST(ChangedFile, AFileReplacedWhileOpenIsReadAgainAtTheNextPageChange)
{
    AppHarness h;
    const QString path = h.MakeFax("eingang.tif", 5);
    ASSERT_TRUE(h.Start({path}));
    CMainFrame& f = h.Frame();
    f.Dispatch(Cmd::NextPage);
    f.Dispatch(Cmd::NextPage);
    h.Settle();
    ASSERT_EQ(f.Strip()->GetCurrentPage(), 3);
    const auto shownPage = [&] {
        const CViewImage& view = *f.PageView();
        return std::pair(view.ShownFrame() + 1, view.PageImageSize().width());
    };
    const auto check = [&](int page, int count, int width) {
        // The file is read again once the strip's selection change has ended.
        testsupport::WaitFor([&] {
            return f.GetPageCount() == count && f.ToolBar()->GetPageBox()->count() == count &&
                   shownPage() == std::pair(page, width);
        });
        EXPECT_EQ(f.Strip()->GetCurrentPage(), page);
        EXPECT_EQ(f.Strip()->Model()->rowCount(), count);
        EXPECT_EQ(f.GetPageCount(), count);
        EXPECT_EQ(f.ToolBar()->GetPageBox()->count(), count);
        EXPECT_EQ(f.ToolBar()->GetPageBox()->currentText(), QString::number(page));
        EXPECT_EQ(shownPage(), std::pair(page, width));
    };

    // Another file moved into its place (a new inode) with fewer pages: page 4 is gone, page 1 shows.
    FaxDocSpec narrow;
    narrow.width = 864;
    const QString other = h.MakeFax("neu.tif", 2, narrow);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(other, path));
    f.Dispatch(Cmd::NextPage);
    check(1, 2, 864);
    f.Dispatch(Cmd::LastPage); // the new file pages normally
    check(2, 2, 864);

    // The same file written anew in place with more pages: page 1 asked for, page 1 kept.
    FaxDocSpec wide;
    wide.width = 1000;
    wide.pages = 8;
    const QString longer = h.MakeFax("lang.tif", 8, wide);
    {
        QFile target(path);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate)); // same inode
        ASSERT_EQ(target.write(testsupport::ReadFile(longer)), QFileInfo(longer).size());
    }
    f.Dispatch(Cmd::FirstPage);
    check(1, 8, 1000);
    f.Dispatch(Cmd::LastPage);
    check(8, 8, 1000);

    // Deleted: strip, page box and title stay; the pages still show from the file the view keeps open;
    // the user is told once.
    ASSERT_TRUE(QFile::remove(path));
    f.Dispatch(Cmd::PreviousPage);
    check(7, 8, 1000);
    f.Dispatch(Cmd::FirstPage);
    check(1, 8, 1000);
    ASSERT_EQ(h.fakes.messages->shown.size(), 1u);
    EXPECT_EQ(
        h.fakes.messages->shown[0].text,
        "Die Datei '" + path +
            "' existiert nicht mehr.\nDas Dokument bleibt angezeigt, bis eine andere Datei geöffnet wird.");
    // New thumbnail options cannot read the file again: the strip stays as it is.
    h.fakes.dialogs->handler = [](QDialog& d) {
        auto& dia = dynamic_cast<CDiaOptionThumb&>(d);
        dia.QualityGroup()->button(2)->setChecked(true);
        dia.accept();
        return int(dia.result());
    };
    f.Dispatch(Cmd::ThumbOptions);
    check(1, 8, 1000);
}
} // namespace

namespace {
TEST(Dropping, FilesDroppedOnTheWindowOpenOneAfterTheOtherAndTheLastStays)
{
    AppHarness h;
    const QString browsed = h.MakeFax("a.tif", 1); // a folder listed first, then files dropped from another
    h.MakeFax("b.tif", 1);
    ASSERT_TRUE(h.Start({browsed}));
    QDir().mkpath(h.DocsDir() + "/eingang");
    const QString first = h.MakeFax("eingang/erste.tif", 1);
    const QString second = h.MakeFax("eingang/zweite.tif", 2);
    const QString third = h.MakeFax("eingang/zz.tif", 1);
    QMimeData mime;
    mime.setUrls(
        {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl("https://example.invalid/x.tif")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&h.Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&h.Frame(), &drop);
    h.Settle();
    EXPECT_EQ(h.App().Document().GetPathName(), second);
    EXPECT_EQ(h.App().RecentFiles().Entries(), (QStringList{second, first, browsed}));
    EXPECT_TRUE(h.fakes.messages->shown.empty());
    // Next file steps in the folder of the file that stayed open.
    EXPECT_EQ(h.Frame().Data().GetFolderList().GetCount(), 3);
    h.Frame().OnNextFile();
    EXPECT_EQ(h.App().Document().GetPathName(), third);
}
} // namespace
