#include "print/PrintList.h"

#include "core/CommandLineInfo.h"
#include "core/Strings.h"

#include <QStringList>

#include <algorithm>

namespace {

void AddPage(T_OSrtList& list, int p, int n)
{
    if (p >= 1 && p <= n) {
        list.InsertSorted(new T_OIntNode(p));
    }
}

// Only the pages that exist are walked, so "/r:1-2000000000" costs no more than the document's pages.
void AddRange(T_OSrtList& list, int from, int to, int n)
{
    const int first = std::max(from, 1);
    const int last = std::min(to, n);
    for (int p = first; p <= last; ++p) {
        list.InsertSorted(new T_OIntNode(p));
    }
}

} // namespace

std::unique_ptr<T_OSrtList> NewPrintList()
{
    auto list = std::make_unique<T_OSrtList>();
    list->SetDupMode(1);
    return list;
}

std::unique_ptr<T_OSrtList> BuildPrintListFromDialog(unsigned flags, int current,
                                                     std::span<const PageRangeEntry> ranges, int n)
{
    auto list = NewPrintList();
    if ((flags & PrintFlags::CurrentPage) != 0) {
        AddPage(*list, current, n);
    } else if ((flags & PrintFlags::PageNums) != 0) {
        for (const PageRangeEntry& r : ranges) {
            AddRange(*list, r.from, r.to, n);
        }
    } else {
        AddRange(*list, 1, n, n);
    }
    return list;
}

PageChoiceCheck CheckPageChoice(unsigned flags, int current, std::span<const PageRangeEntry> ranges, int n)
{
    if ((flags & (PrintFlags::CurrentPage | PrintFlags::PageNums)) == PrintFlags::PageNums) {
        for (const PageRangeEntry& r : ranges) {
            if (r.from < kPrintMinPage || r.to > kPrintMaxPage) {
                return PageChoiceCheck::OutOfBounds;
            }
        }
    }
    return BuildPrintListFromDialog(flags, current, ranges, n)->IsEmpty() ? PageChoiceCheck::NoPage
                                                                          : PageChoiceCheck::Ok;
}

std::unique_ptr<T_OSrtList> BuildPrintListFromCommandLine(const CCustomCommandLineInfo* cmd, int n)
{
    auto list = NewPrintList();
    if (cmd == nullptr) {
        return list;
    }
    if (cmd->HasPageList()) {
        const int stored = std::min(cmd->GetPageListCount(), CCustomCommandLineInfo::kMaxPages);
        for (int i = 0; i < stored; ++i) {
            AddPage(*list, cmd->GetPage(i), n);
        }
    }
    if (cmd->HasRange()) {
        AddRange(*list, cmd->GetRangeFrom(), cmd->GetRangeTo(), n);
    }
    if (!cmd->HasPageList() && !cmd->HasRange()) {
        AddRange(*list, 1, n, n);
    }
    return list;
}

std::vector<PageRangeEntry> CommandLinePageRanges(const CCustomCommandLineInfo& cmd)
{
    std::vector<PageRangeEntry> ranges;
    if (cmd.HasRange()) {
        ranges.push_back({cmd.GetRangeFrom(), cmd.GetRangeTo()});
    }
    if (cmd.HasPageList()) {
        const int stored = std::min(cmd.GetPageListCount(), CCustomCommandLineInfo::kMaxPages);
        for (int i = 0; i < stored; ++i) {
            const int p = cmd.GetPage(i);
            ranges.push_back({p, p});
        }
    }
    return ranges;
}

QString FormatPageRanges(std::span<const PageRangeEntry> ranges)
{
    QStringList parts;
    for (const PageRangeEntry& r : ranges) {
        const int from = std::max(r.from, 1);
        if (r.to < from) {
            continue;
        }
        parts << (from == r.to ? QString::number(from) : QStringLiteral("%1-%2").arg(from).arg(r.to));
    }
    return parts.join(u',');
}

std::vector<int> PrintListPages(const T_OSrtList& list)
{
    std::vector<int> pages;
    pages.reserve(static_cast<size_t>(std::max(list.GetCount(), 0)));
    for (T_ONode* node = list.GetHead(); node != nullptr; node = node->GetNext()) {
        pages.push_back(static_cast<const T_OIntNode*>(node)->GetValue());
    }
    return pages;
}

QString NoPageMessage(int n)
{
    return n == 1 ? LoadString(Str::PrintNoPageOfOne) : FormatString(Str::PrintNoPage, {QString::number(n)});
}
