#pragma once
// Hand-made classic TIFF files for the tests: exact control over directories, offsets and chains, which
// a TIFF writer would never produce wrongly on purpose.

#include <QByteArray>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace testtiff {

enum Type : std::uint16_t
{
    Short = 3,
    Long = 4,
    Rational = 5
};

struct Entry
{
    std::uint16_t tag;
    Type type;
    std::vector<std::uint32_t> values; // rationals as numerator, denominator pairs
};

class TiffBuilder
{
public:
    explicit TiffBuilder(bool bigEndian = false);

    // Appends a blob (word aligned) and returns its offset.
    std::uint32_t AddData(const QByteArray& bytes);
    // Appends a directory and returns its offset; its next pointer is 0 until Link().
    std::uint32_t AddIfd(std::vector<Entry> entries);
    // An uncompressed 8-bit min-is-black page of w x h pixels, all `value`, one strip; linked after the
    // previous page added this way. Extra entries replace or add tags.
    std::uint32_t AddGreyPage(int w, int h, std::uint8_t value, std::vector<Entry> extra = {});
    void Link(std::uint32_t ifd, std::uint32_t next);
    void SetFirst(std::uint32_t ifd);
    // Overwrites the entry count of a directory (for implausible directories).
    void SetEntryCount(std::uint32_t ifd, std::uint16_t count);

    const QByteArray& Bytes() const { return m_data; }

private:
    void Put16(std::uint32_t at, std::uint16_t v);
    void Put32(std::uint32_t at, std::uint32_t v);
    void Append16(std::uint16_t v);
    void Append32(std::uint32_t v);

    bool m_be;
    QByteArray m_data;
    std::uint32_t m_lastPage = 0;
    std::vector<std::uint32_t> m_ifdNextAt; // where each directory keeps its next pointer
    std::vector<std::uint32_t> m_ifds;
};

} // namespace testtiff
