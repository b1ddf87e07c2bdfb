#include "imaging/IfdChain.h"

#include <cstring>
#include <list>
#include <mutex>
#include <unordered_set>
#include <utility>
#include <vector>

namespace imaging {

struct IfdChain::Walk
{
    explicit Walk(const TiffHeader& h) : header(h), next(h.firstIfd) {}

    // One more directory; false when the chain ends here.
    bool Step(const ByteSource& source);
    bool Seen(std::uint64_t off);

    std::mutex mutex;
    const TiffHeader header;
    std::vector<std::uint64_t> offsets;
    // Directories usually follow each other through the file: while the offsets rise, none can repeat,
    // and the set for finding loops is only built when one does not.
    std::unordered_set<std::uint64_t> seen;
    bool rising = true;
    std::uint64_t next = 0;
    bool done = false;
};

namespace {

// The walks of the last few files opened, newest first.
constexpr std::size_t kRememberedFiles = 8;

struct SharedWalks
{
    std::mutex mutex;
    std::list<std::pair<FileIdentity, std::shared_ptr<void>>> files;
};

SharedWalks& Walks()
{
    static SharedWalks walks;
    return walks;
}

} // namespace

bool IfdChain::Walk::Seen(std::uint64_t off)
{
    if (rising) {
        if (offsets.empty() || off > offsets.back()) {
            return false;
        }
        rising = false;
        seen.insert(offsets.begin(), offsets.end());
    }
    return seen.count(off) != 0;
}

bool IfdChain::Walk::Step(const ByteSource& source)
{
    // libtiff refuses directories with more entries than this, and so do we.
    constexpr std::uint64_t kMaxEntries = 4096;
    const std::uint64_t off = next;
    const std::uint64_t size = source.Size();
    const std::uint64_t headerSize = header.bigTiff ? 16 : 8;
    if (off < headerSize || off >= size || offsets.size() >= 0x7FFFFFFF || Seen(off)) {
        return false;
    }
    const bool be = header.bigEndian;
    const std::uint64_t countSize = header.bigTiff ? 8 : 2;
    const std::uint64_t entrySize = header.bigTiff ? 20 : 12;
    const std::uint64_t pointerSize = header.bigTiff ? 8 : 4;

    // Fax directories have 10-20 entries: one read usually brings the count and the next pointer.
    unsigned char block[512];
    const std::int64_t got = source.ReadAt(off, block, sizeof block);
    if (got < static_cast<std::int64_t>(countSize)) {
        return false;
    }
    const std::uint64_t entries = header.bigTiff ? Get64(block, be) : Get16(block, be);
    if (entries == 0 || entries > kMaxEntries) {
        return false;
    }
    const std::uint64_t pointerAt = off + countSize + entries * entrySize;
    if (pointerAt > size) {
        return false; // the directory does not fit the file
    }
    if (!rising) {
        seen.insert(off);
    }
    offsets.push_back(off);

    unsigned char p[8] = {};
    std::uint64_t following = 0;
    if (pointerAt + pointerSize <= off + static_cast<std::uint64_t>(got)) {
        std::memcpy(p, block + (pointerAt - off), pointerSize);
        following = header.bigTiff ? Get64(p, be) : Get32(p, be);
    } else if (source.ReadAt(pointerAt, p, pointerSize) == static_cast<std::int64_t>(pointerSize)) {
        following = header.bigTiff ? Get64(p, be) : Get32(p, be);
    }
    next = following;
    return following != 0;
}

IfdChain::IfdChain(const ByteSource& source, const TiffHeader& header) : m_source(source)
{
    if (source.HasIdentity() && source.Settled()) {
        SharedWalks& shared = Walks();
        std::lock_guard<std::mutex> lock(shared.mutex);
        for (auto it = shared.files.begin(); it != shared.files.end(); ++it) {
            if (it->first == source.Identity()) {
                m_walk = std::static_pointer_cast<Walk>(it->second);
                shared.files.splice(shared.files.begin(), shared.files, it);
                break;
            }
        }
        if (!m_walk) {
            m_walk = std::make_shared<Walk>(header);
            shared.files.emplace_front(source.Identity(), m_walk);
            if (shared.files.size() > kRememberedFiles) {
                shared.files.pop_back();
            }
        }
        m_shared = true;
        return;
    }
    m_walk = std::make_shared<Walk>(header);
}

IfdChain::~IfdChain() = default;

bool IfdChain::Reach(std::size_t index)
{
    // One step per turn of the lock, so that another thread waits for at most one small read.
    for (;;) {
        std::lock_guard<std::mutex> lock(m_walk->mutex);
        if (index < m_walk->offsets.size()) {
            return true;
        }
        if (m_walk->done) {
            return false;
        }
        if (!m_walk->Step(m_source)) {
            m_walk->done = true;
            std::unordered_set<std::uint64_t>().swap(m_walk->seen);
        }
    }
}

std::size_t IfdChain::CountAll()
{
    for (;;) {
        std::lock_guard<std::mutex> lock(m_walk->mutex);
        if (m_walk->done) {
            return m_walk->offsets.size();
        }
        if (!m_walk->Step(m_source)) {
            m_walk->done = true;
            std::unordered_set<std::uint64_t>().swap(m_walk->seen);
        }
    }
}

std::uint64_t IfdChain::Offset(std::size_t index) const
{
    std::lock_guard<std::mutex> lock(m_walk->mutex);
    return m_walk->offsets[index];
}

void IfdChain::ForgetAll()
{
    SharedWalks& shared = Walks();
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.files.clear();
}

} // namespace imaging
