#include "pageview/FirstPaintStamp.h"

#include "pageview/ViewImage.h"

#include <QByteArray>
#include <QEvent>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long Ns(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

// Looks after each paint of the view whether the page now on screen is the one that stays.
class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(CViewImage* view, QByteArray path) : QObject(view), m_view(view), m_path(std::move(path))
    {
        view->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            // Once the paint has been done: it may itself ask for the sharp part it lacks.
            QMetaObject::invokeMethod(this, &FirstPaintWatch::Check, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Check()
    {
        if (m_done || !m_view->IsPageDrawn() || m_view->IsRendering()) {
            return;
        }
        const QRect page = m_view->ImageRect();
        const QSize area = m_view->viewport()->size();
        const bool fitted =
            page.width() <= area.width() + 1 && page.height() <= area.height() + 1 &&
            (std::abs(page.width() - area.width()) <= 1 || std::abs(page.height() - area.height()) <= 1);
        if (!fitted) {
            return;
        }
        m_done = true;
        const long long now = Ns(CLOCK_MONOTONIC);
        const long long cpu = Ns(CLOCK_PROCESS_CPUTIME_ID);
        // Written beside and renamed, so a reader never sees half a line.
        const QByteArray part = m_path + ".part";
        if (std::FILE* f = std::fopen(part.constData(), "w")) {
            std::fprintf(f, "%lld %lld\n", now, cpu);
            std::fclose(f);
            std::rename(part.constData(), m_path.constData());
        }
        m_view->viewport()->removeEventFilter(this);
    }

    CViewImage* m_view;
    QByteArray m_path;
    bool m_done = false;
};

} // namespace

void StampFirstPaintWhenAsked(CViewImage* view)
{
    const QByteArray path = qgetenv("FOLIVANT_STAMP_FIRST_PAINT");
    if (!path.isEmpty()) {
        new FirstPaintWatch(view, path);
    }
}
