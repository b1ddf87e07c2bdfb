// Figures of the whole program, offscreen: opening a long fax until its first page is painted, the
// thumbnail loader's total time, the longest pause of the GUI thread while it runs, memory afterwards,
// and one repaint of the page view at 800 %.
//
//   folivant-uibench open FILE      first_page_ms, all_thumbs_ms, gui_stall_ms, rss_after_thumbs_mb
//   folivant-uibench first FILE     first_page_ms only (for the growth ratio)
//   folivant-uibench strip FILE     as open, then thumbs_packed_mb (the thumbnails' packed bytes) and
//                                   the strip scrolled from its first to its last item, a third of its
//                                   height per step, each step repainted at once: strip_scroll_paint_ms
//                                   (the worst step), strip_scroll_mean_ms, rss_after_scroll_mb. Steps
//                                   are the GUI thread's CPU time, so other work on the machine does not
//                                   count.
//   folivant-uibench paint FILE     paint_800pct_ms (FILE: a 300-dpi A4 page)
//   folivant-uibench huge FILE      huge_page_gui_stall_ms: the longest pause of the GUI thread from opening
//                                   FILE until its last page is shown after End (FILE: huge pages)
//   folivant-uibench copy FILE      copy_huge_gui_stall_ms, copy_huge_extra_mb: copying page 1 to the
//                                   clipboard, the longest pause and the memory it took at its peak
// Each prints lines "FIGURE <name> <value> <unit>".

#include "app/FolivantApp.h"
#include "app/Startup.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "document/FolivantDoc.h"
#include "frame/MainFrame.h"
#include "pageview/ViewImage.h"
#include "platform/Platform.h"
#include "thumbs/ListViewThumb.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

// A value of /proc/self/status in MB ("VmRSS", "VmHWM").
double StatusMb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return -1;
}

// CPU time of the calling thread in nanoseconds.
qint64 ThreadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

double RssMb()
{
    return StatusMb("VmRSS");
}

// Lowers the peak figure (VmHWM) to the present size, so that a later peak belongs to what follows.
void ResetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) {
        f.write("5");
    }
}

// The longest pause of the GUI thread while it runs: a 1 ms timer whose longest gap is measured.
class StallMeter
{
public:
    StallMeter()
    {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_last = m_clock.nsecsElapsed();
        m_tick.start();
    }
    double LongestMs()
    {
        const qint64 now = m_clock.nsecsElapsed();
        return std::max(m_longest, now - m_last) / 1e6;
    }

private:
    QElapsedTimer m_clock;
    QTimer m_tick;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Messages are not shown: a modal box would wait for a click.
class SilentMessages : public IMessageBox
{
public:
    void Show(QWidget*, const QString&, const QString&, Icon) override {}
};

std::unique_ptr<CPlatform> BenchPlatform()
{
    std::unique_ptr<CPlatform> p = CPlatform::CreateReal();
    p->messageBox = std::make_unique<SilentMessages>();
    return p;
}

void Figure(const char* name, double value, const char* unit)
{
    std::printf("FIGURE %s %.2f %s\n", name, value, unit);
}

int KeptThumbnails(CListViewThumb* strip)
{
    CThumbModel* m = strip->Model();
    int kept = 0;
    for (int i = 0; i < m->rowCount(); ++i) {
        kept += m->data(m->index(i), CThumbModel::HasThumbnailRole).toBool() ? 1 : 0;
    }
    return kept;
}

class Bench
{
public:
    Bench()
        : m_app(BenchPlatform(), CSettingsStore(m_dir.filePath("machine.conf"), m_dir.filePath("user.conf")),
                QCoreApplication::applicationDirPath())
    {
        CSettingsStore(m_dir.filePath("machine.conf"), m_dir.filePath("user.conf"))
            .WriteProfileInt(QStringLiteral("Misc"), QStringLiteral("Maximized"), 0);
        m_app.InitInstance({}, QDir::currentPath());
        m_frame = m_app.MainFrame();
        m_frame->setGeometry(0, 0, 1200, 900);
        QApplication::processEvents();
    }

    // Milliseconds from opening until the first page is painted; the page may be painted while the strip
    // is still counting the pages. m_openReturned: until the strip was filled and opening returned.
    double OpenUntilFirstPage(const QString& path)
    {
        QElapsedTimer t;
        double drawn = -1;
        const QMetaObject::Connection c =
            QObject::connect(m_frame->PageView(), &CViewImage::pageDrawnChanged, [&](bool on) {
                if (on && drawn < 0) {
                    drawn = t.nsecsElapsed() / 1e6;
                }
            });
        t.start();
        m_app.OpenDocumentFile(path);
        m_openReturned = t.nsecsElapsed() / 1e6;
        while (!m_frame->PageView()->IsPageDrawn()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QObject::disconnect(c);
        return drawn >= 0 ? drawn : t.nsecsElapsed() / 1e6;
    }

    double OpenReturned() const { return m_openReturned; }

    void Open(const QString& path)
    {
        const double first = OpenUntilFirstPage(path);
        Figure("first_page_ms", first, "ms");
        // The GUI keeps a 1 ms timer; its longest gap is the longest pause users would feel.
        QElapsedTimer t;
        t.start();
        qint64 last = t.nsecsElapsed();
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = t.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        tick.start();
        // Every thumbnail rendered (on a high-resolution screen, those beyond the budget dropped again).
        while (m_frame->Strip()->Loader().IsRunning()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        tick.stop();
        Figure("thumbs_kept", KeptThumbnails(m_frame->Strip()), "");
        Figure("all_thumbs_ms", first + t.nsecsElapsed() / 1e6, "ms");
        Figure("gui_stall_ms", longest / 1e6, "ms");
        Figure("rss_after_thumbs_mb", RssMb(), "MB");
    }

    // After Open: the whole strip scrolled through, every step painted at once.
    void ScrollStrip()
    {
        CListViewThumb* strip = m_frame->Strip();
        Figure("thumbs_packed_mb", strip->Model()->PackedBytes() / 1048576.0, "MB");
        QScrollBar* bar =
            strip->Arrangement() == 0 ? strip->verticalScrollBar() : strip->horizontalScrollBar();
        const int step = std::max(1, bar->pageStep() / 3);
        QApplication::processEvents();
        qint64 worst = 0;
        qint64 total = 0;
        int steps = 0;
        for (int v = bar->minimum();; v = std::min(v + step, bar->maximum())) {
            const qint64 start = ThreadCpuNs();
            bar->setValue(v);
            strip->viewport()->repaint();
            const qint64 ns = ThreadCpuNs() - start;
            worst = std::max(worst, ns);
            total += ns;
            ++steps;
            QApplication::processEvents(); // what the scroll posted, outside the measurement
            if (v == bar->maximum()) {
                break;
            }
        }
        Figure("strip_scroll_paint_ms", worst / 1e6, "ms");
        Figure("strip_scroll_mean_ms", total / 1e6 / std::max(1, steps), "ms");
        Figure("rss_after_scroll_mb", RssMb(), "MB");
    }

    void Paint(const QString& path)
    {
        OpenUntilFirstPage(path);
        CViewImage* view = m_frame->PageView();
        view->resize(800 + 2 * view->frameWidth(), 600 + 2 * view->frameWidth());
        // 800 % of the page: zoom in until the limit.
        while (view->Zoom().GetZoomPercent() < 800.0) {
            view->OnZoomIn();
        }
        view->OnScroll(AxisVertical, CViewImage::ThumbPosition, 5000);
        view->OnScroll(AxisHorizontal, CViewImage::ThumbPosition, 3000);
        view->viewport()->repaint();
        QElapsedTimer t;
        const int rounds = 20;
        t.start();
        for (int i = 0; i < rounds; ++i) {
            view->viewport()->repaint();
        }
        Figure("paint_800pct_ms", t.nsecsElapsed() / 1e6 / rounds, "ms");
    }

    // Opens a file of huge pages and presses End: the GUI thread must never wait for a page.
    void Huge(const QString& path)
    {
        StallMeter stall;
        const double first = OpenUntilFirstPage(path);
        const double openStall = stall.LongestMs();
        StallMeter endStall;
        CViewImage* view = m_frame->PageView();
        const int last = m_frame->Strip()->Model()->rowCount();
        m_frame->Dispatch(Cmd::LastPage);
        QElapsedTimer t;
        t.start();
        while ((m_frame->Strip()->GetCurrentPage() != last || !view->IsPageDrawn() || view->IsRendering()) &&
               t.elapsed() < 600000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        Figure("huge_page_gui_stall_ms", stall.LongestMs(), "ms");
        // The parts: opening until page 1 is drawn, and End until the last page is drawn.
        Figure("huge_page_open_stall_ms", openStall, "ms");
        Figure("huge_page_first_shown_ms", first, "ms");
        Figure("huge_page_end_stall_ms", endStall.LongestMs(), "ms");
        Figure("huge_page_last_shown_ms", t.nsecsElapsed() / 1e6, "ms");
    }

    // Copies page 1 to the clipboard: the longest pause of the GUI thread and the memory the copy took.
    void Copy(const QString& path)
    {
        OpenUntilFirstPage(path);
        CViewImage* view = m_frame->PageView();
        while (view->IsRendering()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        bool done = false;
        QObject::connect(view, &CViewImage::copyFinished, [&](bool) { done = true; });
        QApplication::processEvents();
        const double before = RssMb();
        ResetPeak();
        StallMeter stall;
        QElapsedTimer t;
        t.start();
        view->CopyPageToClipboard();
        while (!done) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QApplication::processEvents();
        Figure("copy_huge_gui_stall_ms", stall.LongestMs(), "ms");
        Figure("copy_huge_extra_mb", StatusMb("VmHWM") - before, "MB");
        Figure("copy_huge_ms", t.nsecsElapsed() / 1e6, "ms");
    }

private:
    QTemporaryDir m_dir;
    CFolivantApp m_app;
    CMainFrame* m_frame = nullptr;
    double m_openReturned = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    TuneAllocator(); // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: folivant-uibench open|first|strip|paint|huge|copy FILE\n");
        return 2;
    }
    Bench bench;
    if (args[1] == QStringLiteral("open")) {
        bench.Open(args[2]);
    } else if (args[1] == QStringLiteral("strip")) {
        bench.Open(args[2]);
        bench.ScrollStrip();
    } else if (args[1] == QStringLiteral("first")) {
        Figure("first_page_ms", bench.OpenUntilFirstPage(args[2]), "ms");
        Figure("open_returned_ms", bench.OpenReturned(), "ms");
    } else if (args[1] == QStringLiteral("paint")) {
        bench.Paint(args[2]);
    } else if (args[1] == QStringLiteral("huge")) {
        bench.Huge(args[2]);
    } else if (args[1] == QStringLiteral("copy")) {
        bench.Copy(args[2]);
    } else {
        return 2;
    }
    return 0;
}
