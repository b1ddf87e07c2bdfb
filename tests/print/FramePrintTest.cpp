// Printing from the running program: the command-line run of start-up (help window, quiet printing and its
// exit status, printing with the window shown) and the print command of the main window.
#include "PrintTestSupport.h"

#include "app/DiaHelp.h"
#include "app/FolivantApp.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "frame/MainFrame.h"
#include "pageview/ViewImage.h"
#include "print/PrintDialogExZentrel.h"
#include "support/TestSupport.h"
#include "thumbs/ListViewThumb.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace printtest;

namespace {

// Collects what is written to the process's stderr meanwhile.
class StderrCapture
{
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_file.open();
        m_saved = dup(2);
        dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { Finish(); }
    // Our own lines only; Qt may add warnings about the environment.
    QStringList OwnLines()
    {
        Finish();
        m_file.seek(0);
        QStringList lines;
        for (const QString& l : QString::fromUtf8(m_file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (l.startsWith(QStringLiteral("folivant:"))) {
                lines << l;
            }
        }
        return lines;
    }

private:
    void Finish()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            dup2(m_saved, 2);
            close(m_saved);
            m_saved = -1;
        }
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

class FramePrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_doc = m_dir.File(QStringLiteral("fax ten.tif"));
        WriteCodedFax(m_doc, 10, 1728, 1146, 204, 98);
        auto backend = std::make_unique<RecordingBackend>(QStringLiteral("FakeQueue"), m_dir.Path());
        m_backend = backend.get();

        auto platform = CPlatform::CreateReal();
        platform->print = std::move(backend);
        m_box = new RecordingMessageBox;
        platform->messageBox.reset(m_box);
        m_dialogs = new ScriptedDialogs;
        platform->dialogs.reset(m_dialogs);
        m_app = std::make_unique<CFolivantApp>(std::move(platform),
                                               CSettingsStore(m_dir.File(QStringLiteral("machine.conf")),
                                                              m_dir.File(QStringLiteral("user.conf"))),
                                               m_dir.Path());
    }
    void TearDown() override
    {
        m_app->ExitInstance(0);
        m_app.reset();
    }

    bool Start(const QStringList& args) { return m_app->InitInstance(args, m_dir.Path()); }
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    // The print dialog writes to `file`; records what it showed in its page field.
    void PrintToFile(const QString& file, QString* shownPages = nullptr)
    {
        m_dialogs->script = [=](QDialog& d) {
            d.show();
            if (shownPages != nullptr) {
                *shownPages = static_cast<CPrintDialogExZentrel&>(d).PageRangeField()->text();
            }
            return ChooseAndPrint(static_cast<QPrintDialog&>(d), file, QString());
        };
    }

    testsupport::TempDir m_dir;
    QString m_doc;
    RecordingBackend* m_backend = nullptr;
    RecordingMessageBox* m_box = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<CFolivantApp> m_app;
};

} // namespace

TEST_F(FramePrintTest, HelpWindowShowsDashOrTheError)
{
    QString message;
    m_dialogs->script = [&](QDialog& d) {
        message = static_cast<CDiaHelp&>(d).MessageText();
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(Start({QStringLiteral("/?")}));
    EXPECT_EQ(message, QStringLiteral("-"));
    EXPECT_EQ(m_app->ExitCode(), 0);
    EXPECT_TRUE(m_backend->jobs.empty());
}

TEST_F(FramePrintTest, CommandLineErrorShowsItsTextAndFails)
{
    QString message;
    m_dialogs->script = [&](QDialog& d) {
        message = static_cast<CDiaHelp&>(d).MessageText();
        return int(QDialog::Rejected);
    };
    StderrCapture err;
    EXPECT_FALSE(Start({QStringLiteral("/q"), m_doc}));
    EXPECT_EQ(message, QStringLiteral("/q erfordert /p."));
    EXPECT_EQ(m_app->ExitCode(), 2);
    EXPECT_EQ(err.OwnLines(), QStringList{"folivant: /q erfordert /p. (Datei '" + m_doc + "')"});
    EXPECT_TRUE(m_backend->jobs.empty());
}

TEST(DiaHelp, ReadsTheHelpFileBesideTheProgram)
{
    testsupport::TempDir dir;
    {
        CDiaHelp missing(dir.Path());
        EXPECT_EQ(missing.HelpText(), QString());
        EXPECT_EQ(missing.MessageText(), QStringLiteral("-"));
    }
    // Three lines ending in bare line feeds.
    testsupport::WriteFile(dir.File(QStringLiteral("FolivantCmndArguments.txt")),
                           "/p  Drucken\n/q  Beenden\n/?  Hilfe\n");
    CDiaHelp dialog(dir.Path());
    dialog.SetMessage(QStringLiteral("Sytnax Fehler in Parameter /r."));
    EXPECT_EQ(dialog.HelpText().split(u'\n', Qt::SkipEmptyParts),
              (QStringList{"/p  Drucken", "/q  Beenden", "/?  Hilfe"}));
    EXPECT_EQ(dialog.MessageText(), QStringLiteral("Sytnax Fehler in Parameter /r."));
}

TEST_F(FramePrintTest, QuietRunPrintsWithoutWindowAndSucceeds)
{
    EXPECT_FALSE(Start({"/p", "/q", "/r:2-4", "/i:7,3", m_doc}));
    EXPECT_EQ(m_app->ExitCode(), 0);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(m_dialogs->calls, 0);
    EXPECT_TRUE(m_box->shown.empty());
    ASSERT_EQ(m_backend->jobs.size(), 1u);
    EXPECT_EQ(m_backend->jobs[0].title, m_doc);
    EXPECT_EQ(Codes(ReadSheets(m_backend->jobs[0].pdfCopy, 20)), (std::vector<int>{2, 3, 4, 7}));
}

TEST_F(FramePrintTest, QuietRunFailureIsOneLineOnStderrAndItsExitStatus)
{
    m_backend->SetDefaultPrinter(QString()); // no default printer
    StderrCapture err;
    EXPECT_FALSE(Start({"/p", "/q", m_doc}));
    EXPECT_EQ(m_app->ExitCode(), 5);
    EXPECT_EQ(err.OwnLines(),
              QStringList{"folivant: " + LoadString(Str::PrintNoPrinter) + " (Datei '" + m_doc + "')"});
    EXPECT_EQ(m_dialogs->calls, 0) << "never a dialog in a quiet run";
    EXPECT_TRUE(m_box->shown.empty());
}

TEST_F(FramePrintTest, PrintWithoutQuitShowsTheFileFirstAndStaysOpen)
{
    QString title;
    QString shown;
    int stripPages = 0;
    m_dialogs->script = [&](QDialog& d) {
        d.show();
        title = Frame().windowTitle();
        stripPages = Frame().Strip()->GetPageCount();
        shown = static_cast<CPrintDialogExZentrel&>(d).PageRangeField()->text();
        d.reject();
        return d.result();
    };
    EXPECT_TRUE(Start({"/p", "/i:2", m_doc}));
    EXPECT_EQ(m_app->Document().GetPathName(), m_doc);
    EXPECT_TRUE(title.contains(QStringLiteral("fax ten.tif")));
    EXPECT_EQ(stripPages, 10);
    EXPECT_EQ(shown, QStringLiteral("2"));
    EXPECT_EQ(m_app->ExitCode(), 0);
    EXPECT_TRUE(m_box->shown.empty()) << "cancelling is not an error";
    EXPECT_TRUE(m_backend->jobs.empty());

    // A later print command prints the document on screen, with no pages preset from the command line.
    const QString other = m_dir.File(QStringLiteral("three.tif"));
    WriteCodedFax(other, 3, 1728, 2292, 204, 196);
    ASSERT_TRUE(m_app->OpenDocumentFile(other));
    const QString out = m_dir.File(QStringLiteral("later.pdf"));
    QString preset = QStringLiteral("unset");
    PrintToFile(out, &preset);
    EXPECT_TRUE(Frame().OnPrint());
    EXPECT_EQ(preset, QString());
    EXPECT_EQ(Codes(ReadSheets(out, 20)), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(PdfInfo(out, QStringLiteral("Title")), other);
}

TEST_F(FramePrintTest, RotationInThePageViewIsNotPrinted)
{
    const QString portrait = m_dir.File(QStringLiteral("portrait.tif"));
    WriteCodedFax(portrait, 2, 1728, 2292, 204, 196);
    ASSERT_TRUE(Start({portrait}));
    CViewImage* view = Frame().PageView();
    ASSERT_TRUE(testsupport::WaitFor([&] { return view->IsPageDrawn(); }));
    view->RotateClockwise();
    ASSERT_EQ(view->Rotation(), 1);
    ASSERT_GT(view->PageImageSize().width(), view->PageImageSize().height())
        << "the view shows the page turned";

    const QString out = m_dir.File(QStringLiteral("turned.pdf"));
    PrintToFile(out);
    EXPECT_TRUE(Frame().OnPrint());
    const std::vector<Sheet> sheets = ReadSheets(out, 20);
    ASSERT_EQ(sheets.size(), 2u);
    for (const Sheet& s : sheets) {
        EXPECT_GT(s.pageBox.height(), s.pageBox.width()) << "printed upright as stored";
    }
    EXPECT_EQ(Codes(sheets), (std::vector<int>{1, 2}));
}

TEST_F(FramePrintTest, InteractiveErrorsAreShownInAMessageBox)
{
    const QString doomed = m_dir.File(QStringLiteral("doomed.tif"));
    WriteCodedFax(doomed, 2, 1728, 1146, 204, 98);
    ASSERT_TRUE(Start({doomed}));
    ASSERT_TRUE(QFile::remove(doomed));
    PrintToFile(m_dir.File(QStringLiteral("never.pdf")));
    EXPECT_FALSE(Frame().OnPrint());
    ASSERT_EQ(m_box->shown.size(), 1u);
    EXPECT_EQ(m_box->shown[0].caption, QStringLiteral("Fehler"));
    EXPECT_EQ(m_box->shown[0].icon, IMessageBox::Stop);
    EXPECT_EQ(m_box->shown[0].text, FormatString(Str::PrintUnreadable, {doomed}));
    EXPECT_FALSE(QFile::exists(m_dir.File(QStringLiteral("never.pdf"))));
}

TEST_F(FramePrintTest, PrinterSetupWithoutAnyPrinterOffersNothingAndKeepsNothing)
{
    // A scheduler nobody listens on: no destination at all.
    const QByteArray server = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(m_dir.File(QStringLiteral("no-cupsd.sock"))));
    ASSERT_TRUE(Start({m_doc}));
    bool okEnabled = true;
    bool noteShown = false;
    m_dialogs->script = [&](QDialog& d) {
        d.show();
        okEnabled = d.findChild<QDialogButtonBox*>()->buttons().first()->isEnabled();
        noteShown = d.findChild<QLabel*>(QStringLiteral("noPrinter"))->isVisible();
        d.accept();
        return d.result();
    };
    m_app->OnPrintSetup();
    qputenv("CUPS_SERVER", server);
    EXPECT_EQ(m_dialogs->calls, 1);
    EXPECT_FALSE(okEnabled);
    EXPECT_TRUE(noteShown) << "the dialog says why there is nothing to choose";
    EXPECT_FALSE(m_app->PrintSetup().IsChosen());
}
