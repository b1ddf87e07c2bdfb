#pragma once
// Where the bytes of a TIFF file come from (a file or memory), libtiff opened over them with its messages
// captured, and the page directory chain walked without parsing any directory.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

typedef struct tiff TIFF;

namespace imaging {

// Random-access reads from a regular file or a byte array. One object per image, one thread.
class ByteSource
{
public:
    enum class OpenResult
    {
        Ok,
        NotFound,
        NotAFile
    };
    static std::unique_ptr<ByteSource> OpenFile(const QString& path, OpenResult* result);
    static std::unique_ptr<ByteSource> FromBytes(QByteArray data);
    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Size when it was opened.
    std::uint64_t Size() const { return m_size; }
    // Reads up to `n` bytes at `offset`; the number read (short at the end), -1 on error.
    std::int64_t ReadAt(std::uint64_t offset, void* buf, std::size_t n) const;

    // libtiff's file position.
    std::uint64_t position = 0;

private:
    ByteSource() = default;
    int m_fd = -1;
    QByteArray m_data;
    std::uint64_t m_size = 0;
};

// What libtiff said about one handle: messages are kept, never printed.
struct TiffMessages
{
    int errors = 0;
    int warnings = 0;
    QString lastError;
};

// Makes libtiff's process-wide handlers silent (once); every handle gets its own handlers.
void SilenceLibtiffGlobally();

// Opens libtiff over `source` without reading any directory ("header only"). Allocations inside libtiff
// are limited to `maxAlloc` bytes each. Null when the header is not a TIFF header.
TIFF* OpenTiff(ByteSource& source, const QString& name, TiffMessages* messages, std::int64_t maxAlloc);

struct TiffHeader
{
    bool bigEndian = false;
    bool bigTiff = false;
    std::uint64_t firstIfd = 0;
};
bool ReadTiffHeader(const ByteSource& source, TiffHeader* header);

// The offsets of the page directories, found by following the chain of "next directory" pointers. Each
// step reads only the entry count and the pointer, so counting 5000 pages costs 5000 small reads. The walk
// ends at a zero pointer, a pointer outside the file, a directory that does not fit the file or has an
// implausible entry count, and at a pointer seen before (a loop).
class IfdChain
{
public:
    IfdChain(const ByteSource& source, const TiffHeader& header);
    // Walks until `index` is known or the chain ends; false when the chain is shorter.
    bool Reach(std::size_t index);
    std::size_t CountAll();
    std::uint64_t Offset(std::size_t index) const { return m_offsets[index]; }

private:
    bool Step();

    const ByteSource& m_source;
    TiffHeader m_header;
    std::vector<std::uint64_t> m_offsets;
    std::unordered_set<std::uint64_t> m_seen;
    std::uint64_t m_next = 0;
    bool m_done = false;
};

} // namespace imaging
