#include "thumbs/LoaderSchedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Runs the schedule to its end; `onRender` may move the cursor like a selection does.
std::vector<int> RunToEnd(CLoaderSchedule& s, const std::function<void(int)>& onRender = {})
{
    std::vector<int> order;
    int guard = 0;
    while (s.Step([&](int page) {
        order.push_back(page);
        if (onRender) {
            onRender(page);
        }
    })) {
        if (++guard > 100000) {
            ADD_FAILURE() << "the schedule does not end";
            break;
        }
    }
    return order;
}

TEST(LoaderSchedule, LeftAloneRendersEveryPageButTheFirstOnce)
{
    CLoaderSchedule s;
    s.Reset(12);
    EXPECT_EQ(RunToEnd(s), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(LoaderSchedule, FollowsTheSelectionAndWrapsToTheFirstPageLeft)
{
    CLoaderSchedule s;
    s.Reset(12);
    // The user selects index 7 while index 3 is being rendered: loading goes on at 6.
    const auto order = RunToEnd(s, [&](int page) {
        if (page == 3) {
            s.SetCursor(6);
        }
    });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 6, 7, 8, 9, 10, 11, 4, 5}));
}

TEST(LoaderSchedule, PageZeroIsRenderedAgainOnlyWhenTheCursorIsSetToZero)
{
    CLoaderSchedule s;
    s.Reset(5);
    const auto order = RunToEnd(s, [&](int page) {
        if (page == 2) {
            s.SetCursor(0); // the first or second thumbnail was selected
        }
    });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 0, 3, 4}));
}

TEST(LoaderSchedule, OnePageAndNoPages)
{
    CLoaderSchedule one;
    one.Reset(1);
    EXPECT_TRUE(RunToEnd(one).empty());
    CLoaderSchedule none;
    none.Reset(0);
    EXPECT_FALSE(none.Step([](int) { ADD_FAILURE(); }));
}

TEST(LoaderSchedule, NoPageLimitAndCursorsOutsideThePages)
{
    CLoaderSchedule s;
    s.Reset(5000);
    const auto order = RunToEnd(s, [&](int page) {
        if (page == 10) {
            s.SetCursor(4500);
        }
        if (page == 4600) {
            s.SetCursor(99999); // beyond the end: wraps to the first page left
        }
    });
    EXPECT_EQ(order.size(), 4999u);
    std::vector<bool> seen(5000, false);
    for (int p : order) {
        EXPECT_FALSE(seen[static_cast<size_t>(p)]) << p;
        seen[static_cast<size_t>(p)] = true;
    }
    EXPECT_EQ(order[10], 4500);
    EXPECT_EQ(order[111], 11); // after 4600 the wrap finds page 11 first
    EXPECT_TRUE(s.IsDone(4999));
    EXPECT_FALSE(s.IsDone(0));
    EXPECT_FALSE(s.IsDone(-1));
    EXPECT_FALSE(s.IsDone(5000));
}

} // namespace
