#include "lists/TOList.h"

#include <QList>

TOCompare T_ONode::Compare(const T_ONode*, std::uint16_t, std::int16_t) const
{
    return CompareNone;
}

TOCompare T_OIntNode::Compare(const T_ONode* other, std::uint16_t, std::int16_t) const
{
    const auto* o = dynamic_cast<const T_OIntNode*>(other);
    if (o == nullptr) {
        return CompareNone;
    }
    if (m_value < o->m_value) {
        return CompareBefore;
    }
    return m_value == o->m_value ? CompareEqual : CompareAfter;
}

namespace {
// Compares by Unicode code point, which is the byte order of the UTF-8 form.
int CompareCodePoints(const QString& a, const QString& b)
{
    const QList<uint> ua = a.toUcs4();
    const QList<uint> ub = b.toUcs4();
    const qsizetype n = std::min(ua.size(), ub.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (ua[i] != ub[i]) {
            return ua[i] < ub[i] ? -1 : 1;
        }
    }
    if (ua.size() == ub.size()) {
        return 0;
    }
    return ua.size() < ub.size() ? -1 : 1;
}
} // namespace

TOCompare T_OStrNode::Compare(const T_ONode* other, std::uint16_t, std::int16_t direction) const
{
    const auto* o = dynamic_cast<const T_OStrNode*>(other);
    if (o == nullptr) {
        return CompareNone;
    }
    int c = CompareCodePoints(m_text, o->m_text);
    if (direction != 0) {
        c = -c;
    }
    if (c < 0) {
        return CompareBefore;
    }
    return c == 0 ? CompareEqual : CompareAfter;
}

T_OList::~T_OList()
{
    Clear();
    m_head = nullptr;
    m_tail = nullptr;
    m_count = 0;
}

TOCompare T_OList::Compare(const T_ONode*, std::uint16_t, std::int16_t) const
{
    return CompareNone;
}

void T_OList::Append(T_ONode* node)
{
    if (node == nullptr) {
        return;
    }
    if (m_head != nullptr) {
        node->SetPrev(m_tail);
        m_tail->SetNext(node);
    } else {
        m_head = node;
    }
    m_tail = node;
    ++m_count;
}

void T_OList::Remove(T_ONode* node)
{
    T_ONode* p = m_head;
    while (p != nullptr && p != node) {
        if (p == m_tail) {
            return;
        }
        p = p->GetNext();
    }
    if (p == nullptr) {
        return;
    }
    T_ONode* next = node->GetNext();
    T_ONode* prev = node->GetPrev();
    if (node == m_head && node == m_tail) {
        m_head = nullptr;
        m_tail = nullptr;
    } else if (node == m_head) {
        m_head = next;
        next->SetPrev(nullptr);
    } else if (node == m_tail) {
        m_tail = prev;
        prev->SetNext(nullptr);
    } else {
        prev->SetNext(next);
        next->SetPrev(prev);
    }
    --m_count;
}

void T_OList::Clear()
{
    while (m_head != nullptr) {
        T_ONode* node = m_head;
        Remove(node);
        delete node;
    }
    m_count = 0;
}

void T_OList::TakeChain(T_OList& from)
{
    m_head = from.m_head;
    m_tail = from.m_tail;
    m_count = from.m_count;
    from.m_head = nullptr;
    from.m_tail = nullptr;
    from.m_count = 0;
}

TOCompare T_OSrtList::Compare(const T_ONode*, std::uint16_t, std::int16_t) const
{
    return CompareNone;
}

void T_OSrtList::LinkBefore(T_ONode* node, T_ONode* p)
{
    T_ONode* prev = p->GetPrev();
    node->SetNext(p);
    node->SetPrev(prev);
    p->SetPrev(node);
    if (prev != nullptr) {
        prev->SetNext(node);
    } else {
        m_head = node;
    }
    ++m_count;
}

void T_OSrtList::InsertSorted(T_ONode* node, std::uint16_t sortKey)
{
    if (node == nullptr) {
        return;
    }
    if (m_head == nullptr) {
        node->SetNext(nullptr);
        node->SetPrev(nullptr);
        m_head = node;
        m_tail = node;
        m_count = 1;
        return;
    }
    auto cmp = [&](const T_ONode* x) {
        return node->Compare(x, sortKey, m_descending);
    };
    const TOCompare toHead = cmp(m_head);
    const TOCompare toTail = cmp(m_tail);

    if (toHead == CompareAfter && toTail == CompareBefore) {
        // Strictly inside: before the first node it does not come after.
        T_ONode* p = m_head;
        while (p != nullptr && cmp(p) == CompareAfter) {
            p = p->GetNext();
        }
        if (p != nullptr && (m_dupMode == 0 || cmp(p) != CompareEqual)) {
            LinkBefore(node, p);
        } else {
            delete node;
        }
    } else if (toHead == CompareBefore || (toHead == CompareEqual && m_dupMode == 0)) {
        LinkBefore(node, m_head);
    } else if (toTail == CompareAfter || (toTail == CompareEqual && m_dupMode == 0)) {
        node->SetNext(nullptr);
        Append(node);
    } else {
        delete node;
    }
}

void T_OSrtList::Resort(std::uint16_t sortKey)
{
    m_lastSortKey = sortKey;
    auto* temp = new T_OSrtList;
    temp->SetDupMode(m_dupMode);
    temp->SetDescending(m_descending);
    while (m_head != nullptr) {
        T_ONode* node = m_head;
        Remove(node);
        node->SetNext(nullptr);
        node->SetPrev(nullptr);
        temp->InsertSorted(node, sortKey);
    }
    TakeChain(*temp);
    delete temp;
}
