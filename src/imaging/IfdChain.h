#pragma once
// The offsets of a file's page directories, found by following the chain of "next directory" pointers
// without parsing any directory, and learned once per file: every image object opened on the same
// unchanged file shares what any of them has walked, so selecting page n costs one look-up however far
// into the file it lies.

#include "imaging/TiffSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace imaging {

// Each step reads only the entry count and the pointer, so counting 5000 pages costs 5000 small reads.
// The walk ends at a zero pointer, a pointer outside the file, a directory that does not fit the file or
// has an implausible entry count, and at a pointer seen before (a loop).
//
// Objects on a file with a settled identity (ByteSource::Settled) share one walk through a process-wide
// table of the last few files, guarded for the thumbnail loader's thread; a file that changed on disk has
// another identity and is walked afresh. Bytes in memory and files written just now get a walk of their
// own.
class IfdChain
{
public:
    IfdChain(const ByteSource& source, const TiffHeader& header);
    ~IfdChain();
    IfdChain(const IfdChain&) = delete;
    IfdChain& operator=(const IfdChain&) = delete;

    // Walks until `index` is known or the chain ends; false when the chain is shorter.
    bool Reach(std::size_t index);
    std::size_t CountAll();
    // The offset of directory `index`, which Reach(index) has found.
    std::uint64_t Offset(std::size_t index) const;
    // Whether this object shares its walk with others on the same file.
    bool Shared() const { return m_shared; }

    // Forgets every shared walk (tests).
    static void ForgetAll();

private:
    struct Walk;
    const ByteSource& m_source;
    std::shared_ptr<Walk> m_walk;
    bool m_shared = false;
};

} // namespace imaging
