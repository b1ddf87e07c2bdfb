#pragma once
// The program's own intrusive, doubly linked lists. A list owns its nodes and is itself a node. A plain
// list keeps arrival order; a sorted list inserts each node at its place and can refuse duplicates.

#include <QString>

#include <cstdint>

enum TOCompare : int
{
    CompareNone = 0,   // no other node, or no order defined
    CompareBefore = 1, // this node belongs before the other
    CompareEqual = 2,
    CompareAfter = 3,
};

class T_ONode
{
public:
    T_ONode() = default;
    T_ONode(const T_ONode&) = delete;
    T_ONode& operator=(const T_ONode&) = delete;
    virtual ~T_ONode() = default;
    virtual TOCompare Compare(const T_ONode* other, std::uint16_t sortKey, std::int16_t direction) const;

    T_ONode* GetNext() const { return m_next; }
    T_ONode* GetPrev() const { return m_prev; }
    void SetNext(T_ONode* n) { m_next = n; }
    void SetPrev(T_ONode* p) { m_prev = p; }

private:
    T_ONode* m_next = nullptr;
    T_ONode* m_prev = nullptr;
};

class T_OIntNode : public T_ONode
{
public:
    static constexpr int kUnset = -30000;
    T_OIntNode() = default;
    explicit T_OIntNode(int value) : m_value(value) {}
    // Integer lists are always ascending: sortKey and direction are ignored.
    TOCompare Compare(const T_ONode* other, std::uint16_t sortKey, std::int16_t direction) const override;
    int GetValue() const { return m_value; }
    void SetValue(int v) { m_value = v; }

private:
    int m_value = kUnset;
};

class T_OStrNode : public T_ONode
{
public:
    T_OStrNode() = default;
    explicit T_OStrNode(QString text) : m_text(std::move(text)) {}
    // Case-sensitive by character code; direction 0 ascending, any other value descending.
    TOCompare Compare(const T_ONode* other, std::uint16_t sortKey, std::int16_t direction) const override;
    const QString& GetText() const { return m_text; }
    void SetText(const QString& s) { m_text = s; }

private:
    QString m_text;
};

class T_OList : public T_ONode
{
public:
    T_OList() = default;
    ~T_OList() override;
    TOCompare Compare(const T_ONode* other, std::uint16_t sortKey, std::int16_t direction) const override;

    void Append(T_ONode* node);
    // Unlinks the node if it is in this list; the node is not deleted and keeps its own links.
    void Remove(T_ONode* node);
    // Deletes every node.
    void Clear();

    bool IsEmpty() const { return m_head == nullptr; }
    T_ONode* GetHead() const { return m_head; }
    T_ONode* GetTail() const { return m_tail; }
    int GetCount() const { return m_count; }

protected:
    // Takes over another list's chain (used by the resort); `from` is left empty without deleting.
    void TakeChain(T_OList& from);

    T_ONode* m_head = nullptr;
    T_ONode* m_tail = nullptr;
    int m_count = 0;
};

class T_OSrtList : public T_OList
{
public:
    T_OSrtList() = default;
    ~T_OSrtList() override = default;
    TOCompare Compare(const T_ONode* other, std::uint16_t sortKey, std::int16_t direction) const override;

    // The node belongs to the list from now on; a refused duplicate is deleted at once.
    void InsertSorted(T_ONode* node, std::uint16_t sortKey = 0);
    virtual void Resort(std::uint16_t sortKey);

    // 0: equal keys are all inserted; 1: a node equal to a listed one is refused.
    void SetDupMode(int v) { m_dupMode = v; }
    void SetDescending(std::int16_t v) { m_descending = v; }
    int GetDupMode() const { return m_dupMode; }
    std::int16_t GetDescending() const { return m_descending; }
    std::uint16_t GetLastSortKey() const { return m_lastSortKey; }

private:
    void LinkBefore(T_ONode* node, T_ONode* p);

    int m_dupMode = 1;
    std::int16_t m_descending = 0;
    std::uint16_t m_lastSortKey = 0;
};
