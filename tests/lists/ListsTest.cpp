#include "lists/TOList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Ints(const T_OList& list)
{
    std::vector<int> out;
    for (T_ONode* n = list.GetHead(); n != nullptr; n = n->GetNext()) {
        out.push_back(static_cast<T_OIntNode*>(n)->GetValue());
    }
    return out;
}

std::vector<QString> Texts(const T_OList& list)
{
    std::vector<QString> out;
    for (T_ONode* n = list.GetHead(); n != nullptr; n = n->GetNext()) {
        out.push_back(static_cast<T_OStrNode*>(n)->GetText());
    }
    return out;
}

// Walks backwards too, so broken previous links show.
std::vector<int> IntsBackwards(const T_OList& list)
{
    std::vector<int> out;
    for (T_ONode* n = list.GetTail(); n != nullptr; n = n->GetPrev()) {
        out.insert(out.begin(), static_cast<T_OIntNode*>(n)->GetValue());
    }
    return out;
}

// Counts deletions so ownership can be checked.
struct CountedNode : T_OIntNode
{
    CountedNode(int v, int* deleted) : T_OIntNode(v), m_deleted(deleted) {}
    ~CountedNode() override { ++*m_deleted; }
    int* m_deleted;
};

TEST(SortedList, RefusesDuplicatesAndDeletesThem)
{
    int deleted = 0;
    T_OSrtList list;
    for (int v : {3, 1, 3, 2}) {
        list.InsertSorted(new CountedNode(v, &deleted));
    }
    EXPECT_EQ(Ints(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(IntsBackwards(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(deleted, 1);
}

TEST(SortedList, KeepsDuplicatesInDupModeZero)
{
    T_OSrtList list;
    list.SetDupMode(0);
    for (int v : {3, 1, 3, 2}) {
        list.InsertSorted(new T_OIntNode(v));
    }
    EXPECT_EQ(Ints(list), (std::vector<int>{1, 2, 3, 3}));
    EXPECT_EQ(list.GetCount(), 4);
}

TEST(SortedList, TieBreakPlacesEqualNodesAsDescribed)
{
    T_OSrtList list;
    list.SetDupMode(0);
    auto* a = new T_OIntNode(1);
    auto* b = new T_OIntNode(5);
    auto* c = new T_OIntNode(9);
    list.InsertSorted(a);
    list.InsertSorted(b);
    list.InsertSorted(c);
    auto* head2 = new T_OIntNode(1);  // equal to the head: becomes the new head
    auto* inner2 = new T_OIntNode(5); // equal to an inner node: before the first equal one
    auto* tail2 = new T_OIntNode(9);  // equal to the tail: after the last equal one
    list.InsertSorted(head2);
    list.InsertSorted(inner2);
    list.InsertSorted(tail2);
    EXPECT_EQ(list.GetHead(), head2);
    EXPECT_EQ(head2->GetNext(), a);
    EXPECT_EQ(a->GetNext(), inner2);
    EXPECT_EQ(inner2->GetNext(), b);
    EXPECT_EQ(list.GetTail(), tail2);
    EXPECT_EQ(IntsBackwards(list), (std::vector<int>{1, 1, 5, 5, 9, 9}));
}

TEST(SortedList, StringsAscendUpperCaseFirstAndDescendWhenAsked)
{
    T_OSrtList up;
    for (const char* s : {"b.tif", "A.tif", "a.tif"}) {
        up.InsertSorted(new T_OStrNode(QString::fromLatin1(s)));
    }
    EXPECT_EQ(Texts(up), (std::vector<QString>{"A.tif", "a.tif", "b.tif"}));

    T_OSrtList down;
    down.SetDescending(1);
    for (const char* s : {"b.tif", "A.tif", "a.tif"}) {
        down.InsertSorted(new T_OStrNode(QString::fromLatin1(s)));
    }
    EXPECT_EQ(Texts(down), (std::vector<QString>{"b.tif", "a.tif", "A.tif"}));

    // Characters beyond ASCII compare by code point, after all ASCII letters.
    T_OSrtList umlaut;
    for (const QString& s : {QString::fromUtf8("ä.tif"), QStringLiteral("z.tif")}) {
        umlaut.InsertSorted(new T_OStrNode(s));
    }
    EXPECT_EQ(Texts(umlaut), (std::vector<QString>{"z.tif", QString::fromUtf8("ä.tif")}));
}

TEST(SortedList, ResortAppliesTheNewDirectionAndDropsNewDuplicates)
{
    int deleted = 0;
    T_OSrtList list;
    list.SetDupMode(0);
    for (int v : {4, 2, 4, 8}) {
        list.InsertSorted(new CountedNode(v, &deleted));
    }
    list.SetDupMode(1);
    list.Resort(7);
    EXPECT_EQ(list.GetLastSortKey(), 7);
    EXPECT_EQ(Ints(list), (std::vector<int>{2, 4, 8}));
    EXPECT_EQ(IntsBackwards(list), (std::vector<int>{2, 4, 8}));
    EXPECT_EQ(deleted, 1);

    T_OSrtList names;
    for (const char* s : {"c", "a", "b"}) {
        names.InsertSorted(new T_OStrNode(QString::fromLatin1(s)));
    }
    names.SetDescending(1);
    names.Resort(0);
    EXPECT_EQ(Texts(names), (std::vector<QString>{"c", "b", "a"}));
    EXPECT_EQ(names.GetCount(), 3);
}

TEST(SortedList, NullNodeChangesNothing)
{
    T_OSrtList list;
    list.InsertSorted(nullptr);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(List, AppendKeepsArrivalOrderAndRemoveHandlesEveryPosition)
{
    T_OList list;
    auto* n1 = new T_OIntNode(1);
    list.Append(n1);
    EXPECT_EQ(list.GetHead(), n1);
    EXPECT_EQ(list.GetTail(), n1);
    auto* n2 = new T_OIntNode(2);
    auto* n3 = new T_OIntNode(3);
    auto* n4 = new T_OIntNode(4);
    list.Append(n2);
    list.Append(n3);
    list.Append(n4);
    EXPECT_EQ(Ints(list), (std::vector<int>{1, 2, 3, 4}));

    list.Remove(n3); // inner
    EXPECT_EQ(Ints(list), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(IntsBackwards(list), (std::vector<int>{1, 2, 4}));
    list.Remove(n1); // first
    EXPECT_EQ(list.GetHead(), n2);
    EXPECT_EQ(n2->GetPrev(), nullptr);
    list.Remove(n4); // last
    EXPECT_EQ(list.GetTail(), n2);
    EXPECT_EQ(n2->GetNext(), nullptr);
    list.Remove(n2); // only
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    // Removed nodes are not deleted.
    delete n1;
    delete n2;
    delete n3;
    delete n4;
}

TEST(List, RemovingANodeOfAnotherListChangesNothing)
{
    T_OList a;
    T_OList b;
    a.Append(new T_OIntNode(1));
    a.Append(new T_OIntNode(2));
    auto* foreign = new T_OIntNode(3);
    b.Append(foreign);
    a.Remove(foreign);
    EXPECT_EQ(Ints(a), (std::vector<int>{1, 2}));
    EXPECT_EQ(a.GetCount(), 2);
    EXPECT_EQ(b.GetCount(), 1);
}

TEST(List, ClearAndDestructionDeleteEveryNode)
{
    int deleted = 0;
    {
        T_OList list;
        for (int i = 0; i < 5; ++i) {
            list.Append(new CountedNode(i, &deleted));
        }
        list.Clear();
        EXPECT_EQ(deleted, 5);
        EXPECT_TRUE(list.IsEmpty());
        list.Append(new CountedNode(9, &deleted));
    }
    EXPECT_EQ(deleted, 6);

    // A list is a node and can be held by another list, which then owns it with its nodes.
    deleted = 0;
    {
        T_OList outer;
        auto* inner = new T_OList;
        inner->Append(new CountedNode(1, &deleted));
        outer.Append(inner);
        EXPECT_EQ(inner->Compare(nullptr, 0, 0), CompareNone);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(Nodes, DefaultsAndCompareWithNothing)
{
    T_OIntNode n;
    EXPECT_EQ(n.GetValue(), -30000);
    EXPECT_EQ(n.Compare(nullptr, 0, 0), CompareNone);
    T_OStrNode s;
    EXPECT_TRUE(s.GetText().isEmpty());
    EXPECT_EQ(s.Compare(nullptr, 0, 0), CompareNone);
    T_ONode base;
    EXPECT_EQ(base.Compare(&n, 0, 0), CompareNone);
    // Integer order ignores the direction.
    T_OIntNode two(2);
    T_OIntNode five(5);
    EXPECT_EQ(two.Compare(&five, 0, 1), CompareBefore);
    EXPECT_EQ(five.Compare(&two, 0, 0), CompareAfter);
    // Different node kinds have no order.
    EXPECT_EQ(two.Compare(&s, 0, 0), CompareNone);
}

} // namespace
