// The loading progress window on a real X server: it is shown while the program is busy rendering the
// first page, so whatever it shows must be on the screen before the busy part starts.
#include "XSession.h"

#include "thumbs/DiaStatus.h"

#include <QCoreApplication>
#include <QPalette>
#include <QTest>
#include <QThread>
#include <QWindow>

using namespace xwin;

namespace {

bool Near(QRgb a, QColor b, int tolerance)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

TEST(ProgressWindowTest, BarIsPaintedFromTheMomentTheWindowAppears)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("owner"));
    owner.setGeometry(200, 200, 800, 600);
    owner.show();
    ASSERT_TRUE(testsupport::WaitFor(
        [&] {
            x.NudgeWindowManager();
            return owner.windowHandle() != nullptr && owner.windowHandle()->isExposed();
        },
        30000));

    // As the strip does it: range, show, position - and then the GUI thread is busy with the first page
    // and returns to the event loop only after the window has gone again.
    CDiaStatus status(&owner);
    status.SetProgressRange(4);
    status.show();
    status.SetProgressPos(1);

    const WindowId w = x.WaitForWindow(QRegularExpression(QStringLiteral("^Die Datei wird geladen")),
                                       QCoreApplication::applicationPid(), 10000);
    ASSERT_NE(w, 0u) << "the progress window never reached the screen";
    const QColor highlight = status.palette().color(QPalette::Highlight);
    QImage shot;
    QRect bar;
    for (int attempt = 0; attempt < 20 && bar.isEmpty(); ++attempt) {
        QThread::msleep(100); // busy: no events are processed meanwhile
        shot = x.Grab(w);
        bar = BoundingBox(shot, shot.rect(), [&](QRgb c) { return Near(c, highlight, 48); });
    }
    XSession::Keep(shot, QStringLiteral("progress-window"));
    ASSERT_FALSE(bar.isEmpty()) << "the progress window shows no bar";
    // One page of four: a quarter of the bar.
    EXPECT_NEAR(double(bar.width()) / shot.width(), 0.25, 0.08) << bar.width() << " of " << shot.width();
    EXPECT_GE(bar.height(), 6);

    // What the window manager offers (it gives a dialog all buttons, whatever the dialog asks): moving it,
    // nothing else - no close, minimise or maximise button, no resizing.
    const QString actions = x.Property(w, QStringLiteral("_NET_WM_ALLOWED_ACTIONS"));
    for (const char* action : {"MINIMIZE", "MAXIMIZE", "RESIZE", "CLOSE", "FULLSCREEN"}) {
        EXPECT_FALSE(actions.contains(QLatin1String(action))) << actions.toStdString();
    }
    // Centred on the owner, which is on the screen.
    EXPECT_LE((x.FrameGeometry(w).center() -
               x.FrameGeometry(x.WaitForWindow(QRegularExpression(QStringLiteral("^owner$")))).center())
                  .manhattanLength(),
              2);
    status.hide();
}

// Opening a file at start, the main window is not on the screen yet: the window is centred on the screen.
TEST(ProgressWindowTest, CentredOnTheScreenWhileTheMainWindowIsNotShown)
{
    XWIN_REQUIRE_SESSION();
    XSession& x = *XSession::Instance();
    QWidget owner;
    owner.setGeometry(0, 0, 1024, 768); // where it would appear
    CDiaStatus status(&owner);
    status.show();
    const WindowId w = x.WaitForWindow(QRegularExpression(QStringLiteral("^Die Datei wird geladen")),
                                       QCoreApplication::applicationPid(), 10000);
    ASSERT_NE(w, 0u);
    EXPECT_LE((x.FrameGeometry(w).center() - x.Geometry(0).center()).manhattanLength(), 2)
        << testsupport::Describe(x.FrameGeometry(w));
    status.hide();
}

} // namespace
