#include "imaging/TiffSource.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
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
    // Taken before the file's state is read, so a change after it can only give later time stamps.
    struct timespec openedAt = {};
    ::clock_gettime(CLOCK_REALTIME, &openedAt);
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
    auto ns = [](const struct timespec& t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    s->m_identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), s->m_size,
                     ns(st.st_mtim), ns(st.st_ctim)};
    // Time stamps with a fraction of a second come from a clock that ticks at least every 10 ms; whole
    // seconds may come from a file system that keeps no more (2 s on FAT).
    const bool fine = (st.st_mtim.tv_nsec | st.st_ctim.tv_nsec) != 0;
    const std::int64_t margin = fine ? 50'000'000 : 3'000'000'000;
    const std::int64_t newest = std::max(s->m_identity.mtimeNs, s->m_identity.ctimeNs);
    s->m_settled = newest + margin < ns(openedAt);
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

void ByteSource::ShowFirstDirectoryAt(std::uint64_t offset, bool bigEndian, bool bigTiff)
{
    m_pointerAt = bigTiff ? 8 : 4;
    m_pointerSize = bigTiff ? 8 : 4;
    for (std::size_t i = 0; i < m_pointerSize; ++i) {
        const std::size_t shift = 8 * (bigEndian ? m_pointerSize - 1 - i : i);
        m_pointer[i] = static_cast<unsigned char>(offset >> shift);
    }
}

std::int64_t ByteSource::ReadAt(std::uint64_t offset, void* buf, std::size_t n) const
{
    const std::int64_t got = ReadStored(offset, buf, n);
    if (m_pointerSize > 0 && got > 0 && offset < m_pointerAt + m_pointerSize &&
        offset + static_cast<std::uint64_t>(got) > m_pointerAt) {
        for (std::size_t i = 0; i < m_pointerSize; ++i) {
            const std::uint64_t at = m_pointerAt + i;
            if (at >= offset && at < offset + static_cast<std::uint64_t>(got)) {
                static_cast<unsigned char*>(buf)[at - offset] = m_pointer[i];
            }
        }
    }
    return got;
}

std::int64_t ByteSource::ReadStored(std::uint64_t offset, void* buf, std::size_t n) const
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

} // namespace imaging
