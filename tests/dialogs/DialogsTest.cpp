// Dialogs and the main window's file and options commands, headless with recording fakes.
#include "core/CommandIds.h"
#include "core/HelpTopics.h"
#include "core/Options.h"
#include "dialogs/DiaAbout.h"
#include "dialogs/DiaOptions.h"
#include "dialogs/DiaPage.h"
#include "dialogs/URLLinkButton.h"
#include "frame/MainFrame.h"
#include "pageview/ViewImage.h"
#include "support/AppHarness.h"
#include "thumbs/ListViewThumb.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTranslator>

using testsupport::AppHarness;

namespace {

class AboutTest : public ::testing::Test
{
protected:
    CSettingsStore Store() { return {dir.File("machine.conf"), dir.File("user.conf")}; }
    testsupport::TempDir dir;
    testsupport::FakePlatform fakes;
};

TEST_F(AboutTest, VersionInBoldOkCentredLogoFromTheProgramFolder)
{
    QFile::copy(testsupport::SourceDir() + "/res/FolivantLogo.bmp", dir.File("FolivantLogo.bmp"));
    CSettingsStore store = Store();
    CDiaAbout about(store, *fakes.platform, dir.Path());
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.windowTitle(), "Info über...");
    EXPECT_EQ(about.VersionLabel()->text(), "Folivant V1.15");
    EXPECT_TRUE(about.VersionLabel()->font().bold());
    auto* box = about.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->buttons().size(), 1);
    QWidget* ok = box->buttons().first();
    const int centre = ok->mapTo(&about, ok->rect().center()).x();
    EXPECT_NEAR(centre, about.width() / 2, 3);
    about.grab();
    EXPECT_TRUE(about.LogoDrawn());

    // Without the logo file nothing is drawn and nothing is said.
    CDiaAbout bare(store, *fakes.platform, dir.File("nowhere"));
    bare.grab();
    EXPECT_FALSE(bare.LogoDrawn());
    EXPECT_TRUE(fakes.messages->shown.empty());
}

TEST_F(AboutTest, TheSettingIsWrittenOnOkOnly)
{
    CSettingsStore store = Store();
    {
        CDiaAbout about(store, *fakes.platform, dir.Path());
        EXPECT_FALSE(about.DoNotShowBox()->isChecked()); // nothing stored: shown at start
        about.DoNotShowBox()->setChecked(true);
        about.reject(); // Esc writes nothing
    }
    EXPECT_EQ(store.GetProfileString("Misc", "About", "none"), "none");
    {
        CDiaAbout about(store, *fakes.platform, dir.Path());
        about.DoNotShowBox()->setChecked(true);
        about.accept();
    }
    EXPECT_EQ(store.GetProfileString("Misc", "About"), "1");
    {
        CDiaAbout about(store, *fakes.platform, dir.Path());
        EXPECT_TRUE(about.DoNotShowBox()->isChecked());
        about.DoNotShowBox()->setChecked(false);
        about.accept();
    }
    EXPECT_EQ(store.GetProfileString("Misc", "About"), "0");

    CDiaAbout about(store, *fakes.platform, dir.Path());
    QSignalSpy help(&about, &CDiaAbout::helpRequested);
    QTest::keyClick(&about, Qt::Key_F1);
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 8);
}

TEST_F(AboutTest, TheLinkLooksAndBehavesLikeAHyperlink)
{
    QWidget parent;
    CURLLinkButton link(*fakes.url, &parent);
    link.setText("https://www.zentrel.example/folivant");
    parent.resize(400, 100);
    link.setGeometry(10, 10, 300, 24);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.TextColor(), link.linkColor);
    EXPECT_FALSE(link.IsUnderlined());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(&link, &enter);
    EXPECT_TRUE(link.IsUnderlined());
    EXPECT_EQ(link.TextColor(), link.hoverColor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_FALSE(link.IsUnderlined());

    // Enter opens on key release, once.
    link.setFocus();
    QTest::keyPress(&link, Qt::Key_Return);
    EXPECT_TRUE(fakes.url->opened.isEmpty());
    QTest::keyRelease(&link, Qt::Key_Return);
    EXPECT_EQ(fakes.url->opened, QStringList{"https://www.zentrel.example/folivant"});
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(link.TextColor(), QColor(0x80, 0x00, 0x80));
    // Space does nothing.
    QTest::keyClick(&link, Qt::Key_Space);
    EXPECT_EQ(fakes.url->opened.size(), 1);

    // A link that cannot be opened says so to whoever listens, and to nobody else.
    fakes.url->succeed = false;
    link.SetPrefix("mailto:");
    link.SetURL("support@zentrel.example");
    QSignalSpy failed(&link, &CURLLinkButton::linkClicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(fakes.url->opened.last(), "mailto:support@zentrel.example");
    EXPECT_EQ(failed.count(), 1);
    EXPECT_TRUE(fakes.messages->shown.empty());
    link.setEnabled(false);
    EXPECT_EQ(link.TextColor(), link.disabledColor);
}

TEST_F(AboutTest, ThumbnailOptionsEnablingAndValidation)
{
    CSettingsStore store = Store();
    COptionThumb record;
    record.Width = 150;
    record.On = 1;
    CDiaOptionThumb dia(store, *fakes.platform);
    dia.SetRecord(&record);
    EXPECT_EQ(dia.WidthEdit()->text(), "150");
    EXPECT_EQ(dia.QualityGroup()->checkedId(), 0);
    for (QWidget* w : dia.DependentControls()) {
        EXPECT_TRUE(w->isEnabled());
    }
    dia.OnBox()->click(); // off
    for (QWidget* w : dia.DependentControls()) {
        EXPECT_FALSE(w->isEnabled());
    }
    EXPECT_TRUE(dia.OnBox()->isEnabled());

    // The width is checked even with thumbnails off.
    for (const char* bad : {"99", "501", "abc"}) {
        dia.WidthEdit()->setText(bad);
        dia.accept();
        EXPECT_EQ(dia.result(), QDialog::Rejected) << bad;
    }
    ASSERT_EQ(fakes.messages->shown.size(), 3u);
    EXPECT_EQ(fakes.messages->shown[0].text, "Geben Sie eine ganze Zahl zwischen 100 und 500 ein.");
    EXPECT_EQ(fakes.messages->shown[1].text, "Geben Sie eine ganze Zahl zwischen 100 und 500 ein.");
    EXPECT_EQ(fakes.messages->shown[2].text, "Geben Sie eine ganze Zahl ein.");
    EXPECT_EQ(record.Width, 150); // nothing written while invalid

    // With an invalid width a click on the box gives the message and leaves the enabling as it is.
    dia.OnBox()->click(); // on again, but the width is "abc"
    EXPECT_FALSE(dia.DependentControls().first()->isEnabled());
    dia.WidthEdit()->setText("220");
    dia.QualityGroup()->button(2)->setChecked(true);
    dia.AlignGroup()->button(1)->setChecked(true);
    dia.accept();
    EXPECT_EQ(dia.result(), QDialog::Accepted);
    EXPECT_EQ(record.Width, 220);
    EXPECT_EQ(record.On, 1);
    EXPECT_EQ(record.Quality, 2);
    EXPECT_EQ(record.Align, 1);
    EXPECT_EQ(store.GetProfileInt("Thumb", "Width", 0), 220);
    EXPECT_EQ(store.GetProfileInt("Thumb", "Align", 0), 1);
}

class FrameCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.UserSettings("[Misc]\nMaximized=0\nPosX1=0\nPosX2=1000\nPosY1=0\nPosY2=750\n");
        ASSERT_TRUE(h.Start());
        FaxDocSpec desc;
        desc.width = 864;
        desc.height = 1146;
        fax = h.MakeFax("Brief.tif", 6, desc);
        ASSERT_TRUE(h.App().OpenDocumentFile(fax));
        ASSERT_TRUE(testsupport::WaitFor([&] { return h.Frame().PageView()->IsPageDrawn(); }));
        h.Settle();
    }
    AppHarness h;
    QString fax;
};

TEST_F(FrameCommandsTest, SaveAsCopiesAndReportsEveryOutcome)
{
    const QString target = h.Dir() + "/Ablage/Kopie.tif";
    QDir().mkpath(h.Dir() + "/Ablage");
    h.fakes.files->answers = {target};
    h.fakes.files->resizeTo = QSize(1000, 640); // the user makes the dialog larger
    h.Frame().Dispatch(Cmd::SaveAs);
    EXPECT_EQ(h.fakes.files->saveInitialPaths.value(0), "Brief.tif"); // the document's own name
    EXPECT_EQ(h.fakes.files->sizes.at(0), kFileDialogDefaultSize);
    ASSERT_EQ(h.fakes.messages->shown.size(), 1u);
    EXPECT_EQ(h.fakes.messages->shown[0].text,
              "Das Kopieren der Datei '" + fax + "' nach '" + target + "' war erfolgreich.");
    EXPECT_EQ(h.fakes.messages->shown[0].caption, "Information");
    EXPECT_EQ(testsupport::ReadFile(target), testsupport::ReadFile(fax));
    EXPECT_EQ(h.Store().GetProfileString("Misc", "FolderFileSaveAs"), h.Dir() + "/Ablage");

    // The next Save As starts in that folder, at the size the user left the dialog at, as does the Open
    // dialog; the same file through another path is refused.
    h.fakes.files->answers = {h.DocsDir() + "/../docs/Brief.tif", QString()};
    h.Frame().Dispatch(Cmd::SaveAs);
    EXPECT_EQ(h.fakes.files->saveInitialPaths.value(1), h.Dir() + "/Ablage/Brief.tif");
    h.Frame().Dispatch(Cmd::FileOpen);
    EXPECT_EQ(h.fakes.files->sizes,
              (std::vector<QSize>{kFileDialogDefaultSize, QSize(1000, 640), QSize(1000, 640)}));
    EXPECT_EQ(h.fakes.messages->shown.back().caption, "Fehler");
    EXPECT_EQ(h.fakes.messages->shown.back().icon, IMessageBox::Stop);
    EXPECT_TRUE(h.fakes.messages->shown.back().text.startsWith("Ein- und Ausgabedatei"));

    // Cancelled: nothing at all.
    const size_t shown = h.fakes.messages->shown.size();
    h.fakes.files->answers = {QString()};
    h.Frame().Dispatch(Cmd::SaveAs);
    EXPECT_EQ(h.fakes.messages->shown.size(), shown);

    // The open file vanished meanwhile.
    QFile::remove(fax);
    h.fakes.files->answers = {h.Dir() + "/Ablage/Zwei.tif"};
    h.Frame().Dispatch(Cmd::SaveAs);
    EXPECT_EQ(h.fakes.messages->shown.back().text, "Die Datei '" + fax + "' existiert nicht.");
}

TEST_F(FrameCommandsTest, MailHandsTheFileOverAndReportsFailures)
{
    h.Frame().Dispatch(Cmd::SendMail);
    EXPECT_EQ(h.fakes.mail->sent, QStringList{fax});
    EXPECT_TRUE(h.fakes.messages->shown.empty());
    const std::vector<std::pair<IMailClient::Result, QString>> cases = {
        {IMailClient::NotInstalled, "Die Unterstützung für das Mailsystem kann nicht geladen werden."},
        {IMailClient::NoMailTool,
         "Es wurde kein Mailprogramm gefunden, mit dem die Nachricht gesendet werden kann."},
        {IMailClient::Failed, "Fehler bei \"Nachricht senden\"."},
    };
    for (const auto& [result, text] : cases) {
        h.fakes.mail->result = result;
        h.Frame().Dispatch(Cmd::SendMail);
        EXPECT_EQ(h.fakes.messages->shown.back().text, text);
    }
}

TEST_F(FrameCommandsTest, ThumbnailOptionsApplyAtOnceWhereTheyCan)
{
    const int stripWidth = h.Frame().Splitter()->sizes().at(0);
    h.Frame().Dispatch(Cmd::RotateCw); // page 1 turned
    h.Frame().Strip()->SelectPage(4);
    h.Frame().Dispatch(Cmd::RotateCw);
    const auto setQuality = [&](int quality, int width, bool on, int align) {
        h.fakes.dialogs->handler = [=](QDialog& d) {
            auto& dia = dynamic_cast<CDiaOptionThumb&>(d);
            dia.QualityGroup()->button(quality)->setChecked(true);
            dia.WidthEdit()->setText(QString::number(width));
            dia.OnBox()->setChecked(on);
            dia.AlignGroup()->button(align)->setChecked(true);
            dia.accept();
            return int(dia.result());
        };
        h.Frame().Dispatch(Cmd::ThumbOptions);
        h.Settle();
    };
    // Quality only: new thumbnails, same strip size; the user stays on the page, with its rotation.
    setQuality(2, 150, true, 0);
    EXPECT_EQ(h.Frame().Strip()->Geometry().mode, InterpolationMode::HighQualityBicubic);
    EXPECT_EQ(h.Frame().Splitter()->sizes().at(0), stripWidth);
    EXPECT_EQ(h.Frame().Strip()->GetCurrentPage(), 4);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 1);
    h.Frame().Strip()->SelectPage(1);
    EXPECT_EQ(h.Frame().PageView()->Rotation(), 1);
    h.Frame().Strip()->SelectPage(4);
    // Wider thumbnails: the strip is laid out anew, wider by as much as the thumbnails.
    setQuality(2, 200, true, 0);
    EXPECT_EQ(h.Frame().Splitter()->sizes().at(0), stripWidth + 50);
    EXPECT_EQ(h.Frame().Strip()->Geometry().width, 200);
    // Off collapses the strip; paging still works.
    setQuality(2, 200, false, 0);
    EXPECT_FALSE(h.Frame().Strip()->isVisible());
    h.Frame().Dispatch(Cmd::LastPage);
    EXPECT_EQ(h.Frame().Strip()->GetCurrentPage(), 6);
    // The arrangement is only saved.
    setQuality(2, 200, true, 1);
    EXPECT_EQ(h.Frame().Splitter()->orientation(), Qt::Horizontal);
    EXPECT_EQ(h.Store().GetProfileInt("Thumb", "Align", 0), 1);
}

TEST_F(FrameCommandsTest, AlignmentAppliesAtOnceAndLanguageAsksForARestart)
{
    h.Frame().Dispatch(Cmd::ZoomIn);
    h.fakes.dialogs->handler = [](QDialog& d) {
        auto& dia = dynamic_cast<CDiaOptionImage&>(d);
        dia.AlignGroup()->button(1)->setChecked(true);
        dia.accept();
        return int(QDialog::Accepted);
    };
    h.Frame().Dispatch(Cmd::ImageOptions);
    const QRect r = h.Frame().PageView()->ImageRect();
    EXPECT_EQ(r.topLeft(), QPoint(0, 0)); // whole page in the top-left corner
    EXPECT_TRUE(r.height() == h.Frame().PageView()->viewport()->height() ||
                r.width() == h.Frame().PageView()->viewport()->width());
    EXPECT_EQ(h.Store().GetProfileInt("Image", "Align", 0), 1);

    h.fakes.dialogs->handler = [](QDialog& d) {
        d.accept(); // unchanged
        return int(QDialog::Accepted);
    };
    h.Frame().Dispatch(Cmd::LanguageOptions);
    ASSERT_FALSE(h.fakes.messages->shown.empty());
    EXPECT_EQ(h.fakes.messages->shown.back().text,
              "Die Änderung wird erst nach einem Neustart von Folivant wirksam.");
    EXPECT_EQ(h.fakes.messages->shown.back().caption, "Folivant");
    h.fakes.dialogs->handler = nullptr; // cancel: no message
    const size_t shown = h.fakes.messages->shown.size();
    h.Frame().Dispatch(Cmd::LanguageOptions);
    EXPECT_EQ(h.fakes.messages->shown.size(), shown);
}

// Each dialog asks for its own help page on F1, blocks only the window it belongs to (so the help window
// stays usable) and is wide enough for its title bar, in German and in English.
TEST(DialogWindows, HelpPageModalityAndTitleWidthInBothLanguages)
{
    testsupport::TempDir dir;
    CSettingsStore store(dir.File("machine.conf"), dir.File("user.conf"));
    testsupport::FakePlatform fakes;
    QTranslator english;
    ASSERT_TRUE(english.load(testsupport::BinaryDir() + "/FolivantEng.qm"));
    for (bool inEnglish : {false, true}) {
        if (inEnglish) {
            QCoreApplication::installTranslator(&english);
        }
        CDiaOptionThumb thumb(store, *fakes.platform);
        CDiaOptionImage image(store);
        CDiaOptionLanguage language(store);
        CDiaPage page(*fakes.platform);
        CDiaAbout about(store, *fakes.platform, dir.Path());
        const std::pair<CDiaBase*, const char*> dialogs[] = {{&thumb, "dia_option_thumb.html"},
                                                             {&image, "dia_option_image.html"},
                                                             {&language, "dia_option_language.html"},
                                                             {&page, "win_main.html"},
                                                             {&about, "dia_about.html"}};
        for (auto [dialog, helpPage] : dialogs) {
            SCOPED_TRACE(dialog->windowTitle().toStdString());
            QSignalSpy help(dialog, &CDiaBase::helpRequested);
            QTest::keyClick(dialog, Qt::Key_F1);
            ASSERT_EQ(help.count(), 1);
            EXPECT_EQ(HelpPageForTopic(help.at(0).at(0).toUInt()), helpPage);
            EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
            dialog->show();
            EXPECT_GE(dialog->width(), dialog->TitleBarWidth());
            EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()); // nothing to maximise
            dialog->hide();
        }
        EXPECT_EQ(image.windowTitle(), inEnglish ? "Main image options" : "Optionen Hauptbild");
    }
    QCoreApplication::removeTranslator(&english);
}

} // namespace
