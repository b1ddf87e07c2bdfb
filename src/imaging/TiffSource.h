#pragma once
// Where the bytes of a TIFF file come from (a file or memory), and libtiff opened over them with its
// messages captured.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

typedef struct tiff TIFF;

namespace imaging {

// Which version of which file: equal identities mean the same unchanged file (as far as the file system
// can tell; see Settled()).
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;

    bool operator==(const FileIdentity& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs &&
               ctimeNs == o.ctimeNs;
    }
};

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
    // The file as it was when opened; false for bytes in memory.
    bool HasIdentity() const { return m_fd >= 0; }
    const FileIdentity& Identity() const { return m_identity; }
    // The file had last been changed long enough before it was opened that any later change gets other
    // time stamps: its identity then stands for its content. (A file written just now could be written
    // again within the same tick of the file system's clock, with the same size and time stamps.)
    bool Settled() const { return m_settled; }
    // Reads up to `n` bytes at `offset`; the number read (short at the end), -1 on error.
    std::int64_t ReadAt(std::uint64_t offset, void* buf, std::size_t n) const;

    // From now on the header's pointer to the first directory reads as `offset` (in the file's byte
    // order). libtiff opened afterwards takes that directory for the first one and reads it without
    // walking the chain up to it, which it would do for any directory it has not seen on its handle.
    void ShowFirstDirectoryAt(std::uint64_t offset, bool bigEndian, bool bigTiff);

    // libtiff's file position.
    std::uint64_t position = 0;

private:
    ByteSource() = default;
    std::int64_t ReadStored(std::uint64_t offset, void* buf, std::size_t n) const;
    int m_fd = -1;
    QByteArray m_data;
    std::uint64_t m_size = 0;
    FileIdentity m_identity;
    bool m_settled = false;
    unsigned char m_pointer[8] = {}; // the first-directory pointer as shown, at m_pointerAt
    std::uint64_t m_pointerAt = 0;
    std::size_t m_pointerSize = 0; // 0: the header reads as stored
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

// Numbers in the file's byte order.
inline std::uint16_t Get16(const unsigned char* p, bool be)
{
    return be ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

inline std::uint32_t Get32(const unsigned char* p, bool be)
{
    return be ? (std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3])
              : (std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
}

inline std::uint64_t Get64(const unsigned char* p, bool be)
{
    const std::uint64_t a = Get32(p, be);
    const std::uint64_t b = Get32(p + 4, be);
    return be ? (a << 32 | b) : (b << 32 | a);
}

} // namespace imaging
