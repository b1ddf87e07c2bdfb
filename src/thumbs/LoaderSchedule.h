#pragma once
// Which page the thumbnail loader renders next. It follows the user: every selection moves the cursor
// to the page before the selected one, so the neighbourhood of the current page is rendered first; at
// the end it wraps to the first page not yet rendered (page 0 is rendered by the strip itself and is
// rendered again only when the cursor is set to 0). Thread-safe where it has to be: the cursor is
// written by the GUI thread at any time; everything else belongs to the loader thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class CLoaderSchedule
{
public:
    // A fresh start: nothing rendered, cursor at 1.
    void Reset(int pageCount);
    // GUI thread: a selection always wins over the loader's own advance.
    void SetCursor(int index) { m_cursor.store(index, std::memory_order_release); }
    int GetCursor() const { return m_cursor.load(std::memory_order_acquire); }

    // One step on the loader thread: renders at most one page through `render` and moves the cursor.
    // Returns whether there is more to do.
    bool Step(const std::function<void(int page)>& render);

    int PageCount() const { return m_pageCount; }
    bool IsDone(int page) const;

private:
    int m_pageCount = 0;
    std::atomic<std::int32_t> m_cursor{0};
    std::vector<std::uint8_t> m_done; // sized to the page count: no page limit
};
