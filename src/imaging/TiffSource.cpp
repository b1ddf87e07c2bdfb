#include "imaging/TiffSource.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace imaging {

std::unique_ptr<ByteSource> ByteSource::OpenFile(const QString& path, OpenResult* result)
{
    *result = OpenResult::NotFound;
    if (path.isEmpty()) {
        return nullptr;
    }
    // Non-blocking, so that a named pipe cannot stall the open; only regular files are read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *result = OpenResult::NotAFile;
        return nullptr;
    }
    std::unique_ptr<ByteSource> s(new ByteSource);
    s->m_fd = fd;
    s->m_size = static_cast<std::uint64_t>(st.st_size);
    *result = OpenResult::Ok;
    return s;
}

std::unique_ptr<ByteSource> ByteSource::FromBytes(QByteArray data)
{
    std::unique_ptr<ByteSource> s(new ByteSource);
    s->m_size = static_cast<std::uint64_t>(data.size());
    s->m_data = std::move(data);
    return s;
}

ByteSource::~ByteSource()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::int64_t ByteSource::ReadAt(std::uint64_t offset, void* buf, std::size_t n) const
{
    if (m_fd < 0) {
        if (offset >= m_size) {
            return 0;
        }
        const std::size_t avail = static_cast<std::size_t>(std::min<std::uint64_t>(n, m_size - offset));
        std::memcpy(buf, m_data.constData() + offset, avail);
        return static_cast<std::int64_t>(avail);
    }
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) {
        return 0;
    }
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r =
            ::pread(m_fd, static_cast<char*>(buf) + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return done > 0 ? static_cast<std::int64_t>(done) : -1;
        }
        if (r == 0) {
            break;
        }
        done += static_cast<std::size_t>(r);
    }
    return static_cast<std::int64_t>(done);
}

namespace {

QString Format(const char* module, const char* fmt, va_list ap)
{
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    return module ? QString::fromUtf8(module) + QStringLiteral(": ") + QString::fromUtf8(buf)
                  : QString::fromUtf8(buf);
}

int OnError(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    auto* m = static_cast<TiffMessages*>(user);
    ++m->errors;
    m->lastError = Format(module, fmt, ap);
    return 1; // handled here; nothing reaches the process-wide handlers
}

int OnWarning(TIFF*, void* user, const char*, const char*, va_list)
{
    ++static_cast<TiffMessages*>(user)->warnings;
    return 1;
}

tmsize_t ProcRead(thandle_t h, void* buf, tmsize_t n)
{
    auto* s = static_cast<ByteSource*>(h);
    if (n <= 0) {
        return 0;
    }
    const std::int64_t r = s->ReadAt(s->position, buf, static_cast<std::size_t>(n));
    if (r > 0) {
        s->position += static_cast<std::uint64_t>(r);
    }
    return static_cast<tmsize_t>(r);
}

tmsize_t ProcWrite(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t ProcSeek(thandle_t h, toff_t off, int whence)
{
    auto* s = static_cast<ByteSource*>(h);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) {
        base = s->position;
    } else if (whence == SEEK_END) {
        base = s->Size();
    }
    // libtiff passes negative relative moves as wrapped unsigned values.
    const std::uint64_t target = base + off;
    if (whence != SEEK_SET && static_cast<std::int64_t>(off) < 0 && target > base) {
        return static_cast<toff_t>(-1);
    }
    if (target > static_cast<std::uint64_t>(INT64_MAX)) {
        return static_cast<toff_t>(-1);
    }
    s->position = target;
    return target;
}

int ProcClose(thandle_t)
{
    return 0;
}
toff_t ProcSize(thandle_t h)
{
    return static_cast<ByteSource*>(h)->Size();
}
int ProcMap(thandle_t, void**, toff_t*)
{
    return 0;
}
void ProcUnmap(thandle_t, void*, toff_t) {}

std::uint16_t Get16(const unsigned char* p, bool be)
{
    return be ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t Get32(const unsigned char* p, bool be)
{
    return be ? (std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3])
              : (std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
}

std::uint64_t Get64(const unsigned char* p, bool be)
{
    const std::uint64_t a = Get32(p, be);
    const std::uint64_t b = Get32(p + 4, be);
    return be ? (a << 32 | b) : (b << 32 | a);
}

} // namespace

void SilenceLibtiffGlobally()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

TIFF* OpenTiff(ByteSource& source, const QString& name, TiffMessages* messages, std::int64_t maxAlloc)
{
    SilenceLibtiffGlobally();
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    if (!opts) {
        return nullptr;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(opts, OnError, messages);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, OnWarning, messages);
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts,
                                        static_cast<tmsize_t>(std::max<std::int64_t>(maxAlloc, 1 << 20)));
    source.position = 0;
    // "h": header only; pages are read one directory at a time by offset.
    TIFF* tif = TIFFClientOpenExt(QFile::encodeName(name).constData(), "rh", &source, ProcRead, ProcWrite,
                                  ProcSeek, ProcClose, ProcSize, ProcMap, ProcUnmap, opts);
    TIFFOpenOptionsFree(opts);
    return tif;
}

bool ReadTiffHeader(const ByteSource& source, TiffHeader* header)
{
    unsigned char h[16] = {};
    const std::int64_t n = source.ReadAt(0, h, sizeof h);
    if (n < 8) {
        return false;
    }
    bool be = false;
    if (h[0] == 'I' && h[1] == 'I') {
        be = false;
    } else if (h[0] == 'M' && h[1] == 'M') {
        be = true;
    } else {
        return false;
    }
    const std::uint16_t version = Get16(h + 2, be);
    if (version == 42) {
        *header = {be, false, Get32(h + 4, be)};
        return true;
    }
    if (version == 43 && n >= 16 && Get16(h + 4, be) == 8 && Get16(h + 6, be) == 0) {
        *header = {be, true, Get64(h + 8, be)};
        return true;
    }
    return false;
}

IfdChain::IfdChain(const ByteSource& source, const TiffHeader& header)
    : m_source(source), m_header(header), m_next(header.firstIfd)
{
}

bool IfdChain::Reach(std::size_t index)
{
    while (m_offsets.size() <= index && !m_done) {
        if (!Step()) {
            m_done = true;
        }
    }
    return index < m_offsets.size();
}

std::size_t IfdChain::CountAll()
{
    while (!m_done) {
        if (!Step()) {
            m_done = true;
        }
    }
    return m_offsets.size();
}

bool IfdChain::Step()
{
    // libtiff refuses directories with more entries than this, and so do we.
    constexpr std::uint64_t kMaxEntries = 4096;
    const std::uint64_t off = m_next;
    const std::uint64_t size = m_source.Size();
    const std::uint64_t headerSize = m_header.bigTiff ? 16 : 8;
    if (off < headerSize || off >= size || m_seen.count(off) || m_offsets.size() >= 0x7FFFFFFF) {
        return false;
    }
    const bool be = m_header.bigEndian;
    const std::uint64_t countSize = m_header.bigTiff ? 8 : 2;
    const std::uint64_t entrySize = m_header.bigTiff ? 20 : 12;
    const std::uint64_t pointerSize = m_header.bigTiff ? 8 : 4;

    // Fax directories have 10-20 entries: one read usually brings the count and the next pointer.
    unsigned char block[512];
    const std::int64_t got = m_source.ReadAt(off, block, sizeof block);
    if (got < static_cast<std::int64_t>(countSize)) {
        return false;
    }
    const std::uint64_t entries = m_header.bigTiff ? Get64(block, be) : Get16(block, be);
    if (entries == 0 || entries > kMaxEntries) {
        return false;
    }
    const std::uint64_t pointerAt = off + countSize + entries * entrySize;
    if (pointerAt > size) {
        return false; // the directory does not fit the file
    }
    m_seen.insert(off);
    m_offsets.push_back(off);

    unsigned char p[8] = {};
    std::uint64_t next = 0;
    if (pointerAt + pointerSize <= off + static_cast<std::uint64_t>(got)) {
        std::memcpy(p, block + (pointerAt - off), pointerSize);
        next = m_header.bigTiff ? Get64(p, be) : Get32(p, be);
    } else if (m_source.ReadAt(pointerAt, p, pointerSize) == static_cast<std::int64_t>(pointerSize)) {
        next = m_header.bigTiff ? Get64(p, be) : Get32(p, be);
    }
    m_next = next;
    return next != 0;
}

} // namespace imaging
