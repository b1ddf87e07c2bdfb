// The real platform services where they can be tried without a desktop: mail through xdg-email (with
// stand-in scripts on the PATH), the file dialog's filter and layout, and the help window.
#include "platform/Platform.h"
#include "platform/HelpWindow.h"
#include "platform/Icons.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

class MailTest : public ::testing::Test
{
protected:
    void SetUp() override { m_oldPath = qgetenv("PATH"); }
    void TearDown() override { qputenv("PATH", m_oldPath); }

    // Puts an "xdg-email" on the PATH that records its arguments and exits with `code`.
    void FakeXdgEmail(int code)
    {
        const QString script = dir.File("bin/xdg-email");
        testsupport::WriteFile(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\nexit %2\n")
                                           .arg(dir.File("args.txt"))
                                           .arg(code)
                                           .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir.File("bin")));
    }
    IMailClient::Result Send(const QString& path)
    {
        auto platform = CPlatform::CreateReal();
        bool done = false;
        IMailClient::Result result = IMailClient::Failed;
        platform->mail->SendFile(path, [&](IMailClient::Result r) {
            result = r;
            done = true;
        });
        EXPECT_TRUE(testsupport::WaitFor([&] { return done; }, 10000));
        return result;
    }

    testsupport::TempDir dir;
    QByteArray m_oldPath;
};

TEST_F(MailTest, TheFileIsTheAttachmentAndExitCodesBecomeResults)
{
    const QString fax = dir.File("Brief an Müller.tif");
    testsupport::WriteFile(fax, "II*\0");
    FakeXdgEmail(0);
    EXPECT_EQ(Send(fax), IMailClient::Launched);
    EXPECT_EQ(QString::fromUtf8(testsupport::ReadFile(dir.File("args.txt"))).split('\n', Qt::SkipEmptyParts),
              (QStringList{"--attach", fax}));
    FakeXdgEmail(3);
    EXPECT_EQ(Send(fax), IMailClient::NoMailTool);
    FakeXdgEmail(4);
    EXPECT_EQ(Send(fax), IMailClient::Failed);
    FakeXdgEmail(2);
    EXPECT_EQ(Send(fax), IMailClient::Failed);
}

TEST_F(MailTest, WithoutXdgEmailTheMailSystemCannotBeLoaded)
{
    qputenv("PATH", QFile::encodeName(dir.File("empty")));
    EXPECT_EQ(Send(dir.File("x.tif")), IMailClient::NotInstalled);
}

TEST(FileFilter, TheProgramsFilterBecomesQtsWithUpperCaseNames)
{
    const QString filter =
        QString::fromUtf8("Tif-Dateien (*.tif,*.tiff)|*.tif,*.tiff|Alle Dateien (*.*)|*.*||\"");
    EXPECT_EQ(ToQtFilter(filter), "Tif-Dateien (*.tif *.TIF *.tiff *.TIFF);;Alle Dateien (*)");
}

// What a column needs to show its texts whole, as the view itself measures it.
struct ColumnHint : QTreeView
{
    using QTreeView::sizeHintForColumn;
};

// Regression: the dialogs opened at 624 x 412 with the names, sizes and types cut ("50....KiB").
TEST(FileDialog, OpensWithinTheScreenWithEveryColumnWhole)
{
    testsupport::TempDir dir;
    // Qt's dialog keeps its state in the user's settings when it closes: here, not in the user's home.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.File("config"));
    testsupport::WriteFile(dir.File("docs/Rechnung Müller 2024-03 Eingang.tif"), QByteArray(51712, 'x'));
    QDir().mkpath(dir.File("docs/Archiv"));
    QFileDialog dialog(nullptr, QString(), dir.File("docs"));
    PrepareFileDialog(dialog, QSize(2000, 700)); // wider than the screen
    auto* view = dialog.findChild<QTreeView*>("treeView");
    QSignalSpy loaded(dialog.findChild<QFileSystemModel*>(), &QFileSystemModel::directoryLoaded);
    dialog.show();
    ASSERT_TRUE(loaded.wait(10000));
    const QSize screen = dialog.screen()->availableGeometry().size();
    EXPECT_EQ(dialog.size(), QSize(screen.width() - 16, std::min(700, screen.height() - 48)));
    for (int column = 0; column < 4; ++column) {
        EXPECT_GE(view->header()->sectionSize(column), (view->*&ColumnHint::sizeHintForColumn)(column))
            << column;
    }
}

TEST(HelpWindow, ShowsThePageOrTheDefaultPageAndStaysIndependent)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.File("de/index.html"), "<html><body><h1>Inhalt</h1></body></html>");
    testsupport::WriteFile(dir.File("de/win_thumb.html"),
                           "<html><body><h1>Vorschaubilder</h1></body></html>");
    CHelpWindow help;
    EXPECT_TRUE(help.isWindow());
    EXPECT_FALSE(help.testAttribute(Qt::WA_QuitOnClose)); // closing the main window ends the program
    help.ShowPage(dir.File("de"), "win_thumb.html");
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.CurrentSource(), dir.File("de/win_thumb.html"));
    help.ShowPage(dir.File("de"), "");
    EXPECT_EQ(help.CurrentSource(), dir.File("de/index.html"));
    help.ShowPage(dir.File("de"), "missing.html");
    EXPECT_EQ(help.CurrentSource(), dir.File("de/index.html"));
    help.ShowPage(dir.File("none"), "win_thumb.html"); // no book: a short note, nothing else
    EXPECT_TRUE(help.CurrentSource().isEmpty());
}

TEST(HelpBook, EveryTopicPageExistsInBothLanguages)
{
    for (const char* lang : {"de", "en"}) {
        for (const char* page : {"index.html", "win_main.html", "win_thumb.html", "win_image.html",
                                 "support.html", "dia_about.html", "dia_option_thumb.html",
                                 "dia_option_image.html", "dia_option_language.html"}) {
            const QString path = testsupport::BinaryDir() + "/help/" + lang + "/" + page;
            EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
        }
    }
    EXPECT_TRUE(QFile::exists(testsupport::BinaryDir() + "/FolivantCmndArguments.txt"));
    EXPECT_TRUE(QFile::exists(testsupport::BinaryDir() + "/FolivantLogo.bmp"));
}

TEST(Icons, HighResolutionScreensGetTheSharp32PixelDrawings)
{
    DecodeFolivantIconsAhead(); // as the program starts: the pictures decoded on a thread of their own
    for (const char* name : {"zoom-in", "print", "whole-width"}) {
        SCOPED_TRACE(name);
        const QIcon icon = FolivantIcon(QString::fromLatin1(name));
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
        const QImage sharp = icon.pixmap(QSize(16, 16), 2.0).toImage();
        ASSERT_EQ(sharp.size(), QSize(32, 32));
        EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
        const QString file = QStringLiteral(":/icons/%1-32.png").arg(QString::fromLatin1(name));
        if (!QFile::exists(file)) {
            continue; // drawn by the program at each size
        }
        // The 32-pixel drawing's own shape, not the 16-pixel one blown up.
        const QImage drawn = QImage(file).convertToFormat(QImage::Format_ARGB32);
        int differing = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                differing += std::abs(qAlpha(sharp.pixel(x, y)) - qAlpha(drawn.pixel(x, y))) > 8 ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

} // namespace
