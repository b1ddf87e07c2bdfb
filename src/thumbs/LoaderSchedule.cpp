#include "thumbs/LoaderSchedule.h"

void CLoaderSchedule::Reset(int pageCount)
{
    m_pageCount = pageCount > 0 ? pageCount : 0;
    m_done.assign(static_cast<size_t>(m_pageCount), 0);
    m_cursor.store(1, std::memory_order_release);
}

bool CLoaderSchedule::IsDone(int page) const
{
    return page >= 0 && page < m_pageCount && m_done[static_cast<size_t>(page)] != 0;
}

bool CLoaderSchedule::Step(const std::function<void(int page)>& render)
{
    std::int32_t i = m_cursor.load(std::memory_order_acquire);
    if (i >= 0 && i < m_pageCount && m_done[static_cast<size_t>(i)] == 0) {
        render(i);
        m_done[static_cast<size_t>(i)] = 1;
    }
    // Advance only if the strip has not moved the cursor meanwhile.
    std::int32_t expected = i;
    m_cursor.compare_exchange_strong(expected, i + 1, std::memory_order_acq_rel);

    std::int32_t c = m_cursor.load(std::memory_order_acquire);
    if (c < 0) {
        c = 0;
    }
    if (c >= m_pageCount) {
        std::int32_t next = 1;
        while (next < m_pageCount && m_done[static_cast<size_t>(next)] != 0) {
            ++next;
        }
        std::int32_t seen = m_cursor.load(std::memory_order_acquire);
        if (seen >= m_pageCount) {
            m_cursor.compare_exchange_strong(seen, next, std::memory_order_acq_rel);
        }
    }
    return m_cursor.load(std::memory_order_acquire) < m_pageCount;
}
