#include "TiffBuilder.h"

#include <algorithm>

namespace testtiff {

TiffBuilder::TiffBuilder(bool bigEndian) : m_be(bigEndian)
{
    m_data.append(bigEndian ? "MM" : "II", 2);
    Append16(42);
    Append32(0);
}

void TiffBuilder::Put16(std::uint32_t at, std::uint16_t v)
{
    m_data[at] = static_cast<char>(m_be ? v >> 8 : v & 0xFF);
    m_data[at + 1] = static_cast<char>(m_be ? v & 0xFF : v >> 8);
}

void TiffBuilder::Put32(std::uint32_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        const int shift = m_be ? 24 - 8 * i : 8 * i;
        m_data[at + i] = static_cast<char>((v >> shift) & 0xFF);
    }
}

void TiffBuilder::Append16(std::uint16_t v)
{
    m_data.append(2, '\0');
    Put16(static_cast<std::uint32_t>(m_data.size() - 2), v);
}

void TiffBuilder::Append32(std::uint32_t v)
{
    m_data.append(4, '\0');
    Put32(static_cast<std::uint32_t>(m_data.size() - 4), v);
}

std::uint32_t TiffBuilder::AddData(const QByteArray& bytes)
{
    if (m_data.size() % 2) {
        m_data.append('\0');
    }
    const auto at = static_cast<std::uint32_t>(m_data.size());
    m_data.append(bytes);
    return at;
}

std::uint32_t TiffBuilder::AddIfd(std::vector<Entry> entries)
{
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    // Values that do not fit the entry go first.
    std::vector<std::uint32_t> valueAt(entries.size(), 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const std::size_t size = (e.type == Short ? 2 : 4) * e.values.size();
        if (size > 4) {
            QByteArray blob;
            TiffBuilder tmp(m_be);
            for (std::uint32_t v : e.values) {
                if (e.type == Short) {
                    tmp.Append16(static_cast<std::uint16_t>(v));
                } else {
                    tmp.Append32(v);
                }
            }
            valueAt[i] = AddData(tmp.m_data.mid(8));
        }
    }
    if (m_data.size() % 2) {
        m_data.append('\0');
    }
    const auto ifd = static_cast<std::uint32_t>(m_data.size());
    Append16(static_cast<std::uint16_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        Append16(e.tag);
        Append16(e.type);
        const std::uint32_t count = e.type == Rational ? static_cast<std::uint32_t>(e.values.size() / 2)
                                                       : static_cast<std::uint32_t>(e.values.size());
        Append32(count);
        if (valueAt[i]) {
            Append32(valueAt[i]);
        } else if (e.type == Short) {
            Append16(e.values.empty() ? 0 : static_cast<std::uint16_t>(e.values[0]));
            Append16(e.values.size() > 1 ? static_cast<std::uint16_t>(e.values[1]) : 0);
        } else {
            Append32(e.values.empty() ? 0 : e.values[0]);
        }
    }
    m_ifdNextAt.push_back(static_cast<std::uint32_t>(m_data.size()));
    m_ifds.push_back(ifd);
    Append32(0);
    return ifd;
}

std::uint32_t TiffBuilder::AddGreyPage(int w, int h, std::uint8_t value, std::vector<Entry> extra)
{
    const std::uint32_t strip = AddData(QByteArray(w * h, static_cast<char>(value)));
    std::vector<Entry> e = {
        {256, Long, {static_cast<std::uint32_t>(w)}},
        {257, Long, {static_cast<std::uint32_t>(h)}},
        {258, Short, {8}},
        {259, Short, {1}},
        {262, Short, {1}},
        {273, Long, {strip}},
        {277, Short, {1}},
        {278, Long, {static_cast<std::uint32_t>(h)}},
        {279, Long, {static_cast<std::uint32_t>(w * h)}},
    };
    for (const Entry& x : extra) {
        auto it = std::find_if(e.begin(), e.end(), [&](const Entry& y) { return y.tag == x.tag; });
        if (it != e.end()) {
            *it = x;
        } else {
            e.push_back(x);
        }
    }
    const std::uint32_t ifd = AddIfd(e);
    if (m_lastPage) {
        Link(m_lastPage, ifd);
    } else {
        SetFirst(ifd);
    }
    m_lastPage = ifd;
    return ifd;
}

void TiffBuilder::Link(std::uint32_t ifd, std::uint32_t next)
{
    for (std::size_t i = 0; i < m_ifds.size(); ++i) {
        if (m_ifds[i] == ifd) {
            Put32(m_ifdNextAt[i], next);
        }
    }
}

void TiffBuilder::SetFirst(std::uint32_t ifd)
{
    Put32(4, ifd);
}

void TiffBuilder::SetEntryCount(std::uint32_t ifd, std::uint16_t count)
{
    Put16(ifd, count);
}

} // namespace testtiff
