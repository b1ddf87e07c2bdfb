#pragma once
// Which pages a print run prints: a sorted, duplicate-free list of 1-based page numbers built from the
// print dialog's choice or from the command line. Pages print in the list's order, so every page prints
// once and in ascending order, whatever order the user gave.

#include "lists/TOList.h"

#include <QString>

#include <memory>
#include <span>
#include <vector>

class CCustomCommandLineInfo;

// The print dialog's choice, with the bit values the program has always used for it.
namespace PrintFlags {
constexpr unsigned PageNums = 0x2;         // page ranges
constexpr unsigned NoSelection = 0x4;      // "selection" is not offered
constexpr unsigned ReturnDc = 0x100;       // the dialog hands back the printer
constexpr unsigned ReturnDefault = 0x400;  // no dialog: the default printer
constexpr unsigned CurrentPage = 0x400000; // the current page only
} // namespace PrintFlags

// One page range, both ends included, 1-based.
struct PageRangeEntry
{
    int from = 0;
    int to = 0;
    friend bool operator==(const PageRangeEntry&, const PageRangeEntry&) = default;
};

// The dialog offers page numbers 1 ... 1000, whatever the document's page count.
constexpr int kPrintMinPage = 1;
constexpr int kPrintMaxPage = 1000;

// A new integer list that refuses duplicates (dupMode 1), owned by the caller.
std::unique_ptr<T_OSrtList> NewPrintList();

// CurrentPage in `flags`: the current page only; else PageNums: every page of every range; else all pages
// 1 ... n. Pages above the page count n and below 1 are skipped, and so is the current page of a file
// without pages: a page that does not exist is never printed, not even as an empty sheet.
std::unique_ptr<T_OSrtList> BuildPrintListFromDialog(unsigned flags, int current,
                                                     std::span<const PageRangeEntry> ranges, int n);

// The dialog's choice judged before the dialog closes, so that a choice that would print nothing keeps it
// open: page ranges beyond 1 ... 1000 (the bounds of the dialog's own page fields) are out of bounds, and a
// choice that holds no page of the document's n pages selects nothing.
enum class PageChoiceCheck
{
    Ok,
    OutOfBounds,
    NoPage,
};
PageChoiceCheck CheckPageChoice(unsigned flags, int current, std::span<const PageRangeEntry> ranges, int n);
// What is said when a request holds no page of the document's n pages (the page count in it).
QString NoPageMessage(int n);

// The pages of /i (each stored number) and of /r, the union of both; neither given: all pages. No
// command line: an empty list. Pages above n and below 1 are skipped; a range whose first page lies
// after its last prints nothing.
std::unique_ptr<T_OSrtList> BuildPrintListFromCommandLine(const CCustomCommandLineInfo* cmd, int n);

// The ranges the command line hands to the print dialog: the /r range first, then one range per stored
// /i page, in the order given. Empty when neither /r nor /i was given.
std::vector<PageRangeEntry> CommandLinePageRanges(const CCustomCommandLineInfo& cmd);

// The ranges as the dialog's page field shows them, in the order given: "2-4,7,3". Numbers below 1 cannot
// be written there and would print nothing anyway: a range is cut to start at 1, and a range that ends
// below 1 or runs backwards is left out.
QString FormatPageRanges(std::span<const PageRangeEntry> ranges);

// The page numbers of a list, in its order.
std::vector<int> PrintListPages(const T_OSrtList& list);
