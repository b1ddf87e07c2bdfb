// The program's dialogs on a real X server with a window manager: F1 brings the help window to the
// front, usable while the dialog stays open; the title bar offers closing only; the help window never
// keeps the program running.
#include "XSession.h"

#include "FaxWriter.h"

#include <QThread>

using namespace xwin;

namespace {

struct DialogCase
{
    const char* name;
    const char* title;  // start of the dialog's title
    QStringList opener; // keys on the main window; empty: the dialog appears at start
};

void PrintTo(const DialogCase& c, std::ostream* os)
{
    *os << c.name;
}

class DialogWindowTest : public ::testing::TestWithParam<DialogCase>
{
protected:
    // Opens the dialog; menus need their time to open, so a missed key sequence is tried again.
    WindowId OpenDialog(XProgram& program, WindowId main)
    {
        XSession& x = *XSession::Instance();
        const QString title = u'^' + QString::fromUtf8(GetParam().title);
        if (GetParam().opener.isEmpty()) {
            return program.WaitForWindow(title);
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            x.Keys({QStringLiteral("Escape"), QStringLiteral("Escape")});
            if (!x.Activate(main)) {
                continue;
            }
            for (const QString& key : GetParam().opener) {
                x.Keys({key});
                QThread::msleep(200);
            }
            if (const WindowId w = program.WaitForWindow(title, 5000)) {
                return w;
            }
        }
        return 0;
    }

    QByteArray Settings() const
    {
        // The About dialog appears at start when the setting says "0".
        return GetParam().opener.isEmpty() ? "[Misc]\nAbout=0\n" : "[Misc]\nAbout=1\n";
    }
};

TEST_P(DialogWindowTest, F1ShowsTheHelpWindowInFrontAndUsable)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    XProgram program(x);
    program.UserSettings(Settings());
    FaxDocSpec desc;
    desc.pages = 3;
    const QString fax = program.DocsDir() + QStringLiteral("/brief.tif");
    ASSERT_TRUE(WriteTiffDocument(fax, desc, nullptr));
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    const WindowId dialog = OpenDialog(program, main);
    ASSERT_NE(dialog, 0u) << "the dialog did not open";

    // Closing only: no minimise or maximise button is asked for, and the size is fixed.
    EXPECT_EQ(x.MotifFunctions(dialog) & (XSession::MotifMinimize | XSession::MotifMaximize), 0);
    EXPECT_NE(x.MotifFunctions(dialog) & XSession::MotifClose, 0);
    const QString actions = x.Property(dialog, QStringLiteral("_NET_WM_ALLOWED_ACTIONS"));
    EXPECT_FALSE(actions.contains(QStringLiteral("MAXIMIZE"))) << actions.toStdString();
    EXPECT_FALSE(actions.contains(QStringLiteral("RESIZE"))) << actions.toStdString();

    ASSERT_TRUE(x.Activate(dialog));
    x.Keys({QStringLiteral("F1")});
    const WindowId help = program.WaitForWindow(QStringLiteral("^Folivant - Hilfe$"));
    ASSERT_NE(help, 0u) << "F1 showed no help window";
    // In front: the topmost of the program's windows, above the dialog and the main window.
    QList<WindowId> stack;
    ASSERT_TRUE(testsupport::WaitFor(
        [&] {
            stack = x.Stacking();
            return !stack.isEmpty() && stack.last() == help;
        },
        5000))
        << "the help window is not on top";
    EXPECT_LT(stack.indexOf(main), stack.indexOf(help));
    EXPECT_LT(stack.indexOf(dialog), stack.indexOf(help));

    // Usable while the dialog stays open: following its first link changes what it shows.
    QImage before;
    QImage now = x.Grab(help);
    ASSERT_TRUE(testsupport::WaitFor(
        [&] {
            before = now;
            now = x.Grab(help);
            return now == before;
        },
        5000));
    const QRect inside = x.Geometry(help);
    x.Click(help, QPoint(inside.width() / 2, inside.height() - 20));
    x.Keys({QStringLiteral("ctrl+Home"), QStringLiteral("Tab"), QStringLiteral("Return")});
    QImage after;
    const bool followed = testsupport::WaitFor(
        [&] {
            after = x.Grab(help);
            return after != before;
        },
        5000);
    x.KeepScreen(QStringLiteral("help-over-%1").arg(QString::fromLatin1(GetParam().name)));
    EXPECT_TRUE(followed) << "the help window does not take input while the dialog is open";
    EXPECT_TRUE(x.Stacking().contains(dialog)) << "the dialog closed";

    // The dialog closes, the help window stays; closing the main window ends the program all the same.
    ASSERT_TRUE(x.Activate(dialog));
    x.Keys({QStringLiteral("Escape")});
    EXPECT_TRUE(
        x.WaitForNoWindow(QRegularExpression(u'^' + QString::fromUtf8(GetParam().title)), program.Pid()));
    EXPECT_TRUE(x.Stacking().contains(help));
    ASSERT_TRUE(x.Activate(main));
    x.Keys({QStringLiteral("alt+F4")});
    ASSERT_TRUE(program.WaitForExit()) << "the program still runs with only its help window open";
    EXPECT_EQ(program.ExitCode(), 0) << program.Output().toStdString();
}

// The print dialog unfolds its options when it opens; centred on the screen is where it ends up.
TEST(PrintDialogWindowTest, OpensCentredOnTheScreenAtItsFinalSize)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    XProgram program(x);
    program.UserSettings("[Misc]\nAbout=1\n");
    FaxDocSpec desc;
    desc.pages = 2;
    const QString fax = program.DocsDir() + QStringLiteral("/brief.tif");
    ASSERT_TRUE(WriteTiffDocument(fax, desc, nullptr));
    ASSERT_TRUE(program.Start({fax}));
    const WindowId main = program.MainWindow();
    ASSERT_NE(main, 0u) << program.Output().toStdString();
    // Printing is offered once page 1 is on the screen, which may come a moment after the window.
    WindowId dialog = 0;
    for (int attempt = 0; attempt < 3 && dialog == 0; ++attempt) {
        ASSERT_TRUE(x.Activate(main));
        x.Keys({QStringLiteral("ctrl+p")});
        dialog = program.WaitForWindow(QStringLiteral("^(Drucken|Print)$"), 5000);
    }
    ASSERT_NE(dialog, 0u) << "no print dialog";
    // Wait until it stops moving and growing.
    QRect frame;
    QRect last;
    ASSERT_TRUE(testsupport::WaitFor(
        [&] {
            last = frame;
            frame = x.FrameGeometry(dialog);
            QThread::msleep(150);
            return frame == last;
        },
        10000))
        << "the print dialog keeps changing";
    x.KeepScreen(QStringLiteral("print-dialog"));
    const QPoint screen = x.Geometry(0).center();
    // Within the difference between the title bar and the lower edge of the frame.
    EXPECT_NEAR(frame.center().x(), screen.x(), 12);
    EXPECT_NEAR(frame.center().y(), screen.y(), 12);
    x.Keys({QStringLiteral("Escape")});
    EXPECT_TRUE(x.WaitForNoWindow(QRegularExpression(QStringLiteral("^(Drucken|Print)$")), program.Pid()));
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogWindowTest,
    ::testing::Values(DialogCase{"ThumbOptions", "Optionen Vorschaubilder", {"alt+o", "v"}},
                      DialogCase{"ImageOptions", "Optionen Hauptbild", {"alt+o", "h"}},
                      DialogCase{"LanguageOptions", "Optionen Sprache", {"alt+o", "p"}},
                      DialogCase{"GoToPage", "Seite anzeigen", {"alt+s", "g"}},
                      DialogCase{"PrintSetup", "Druckereinrichtung", {"alt+d", "e"}},
                      DialogCase{"About", "Info über", {}}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

} // namespace
