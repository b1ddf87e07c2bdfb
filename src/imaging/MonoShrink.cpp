// Shrinking bilevel pages with box or area weights, 64 pixels at a time (see ScaleMonoShrink).

#include "imaging/Resampler.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace imaging {

namespace {

// A target's source span: interior pixels of full weight, and at most one partial pixel at each end.
struct Span
{
    std::int64_t lo = 0; // interior [lo, hi)
    std::int64_t hi = 0;
    std::int64_t left = -1; // partial pixels, -1 when none
    std::int64_t right = -1;
    std::int64_t wl = 0;
    std::int64_t wr = 0;
};

bool Decompose(const AxisWeights& a, std::vector<Span>* spans, std::int64_t* full, int* maxInterior)
{
    std::int32_t f = 0;
    for (std::int32_t w : a.weight) {
        f = std::max(f, w);
    }
    *full = f;
    *maxInterior = 0;
    spans->resize(static_cast<std::size_t>(a.n));
    for (int t = 0; t < a.n; ++t) {
        const std::int32_t* w = a.weight.data() + a.offset[static_cast<std::size_t>(t)];
        const int c = a.count[static_cast<std::size_t>(t)];
        const std::int64_t s = a.start[static_cast<std::size_t>(t)];
        Span sp;
        int i0 = 0;
        int i1 = c;
        if (w[0] != f) {
            sp.left = s;
            sp.wl = w[0];
            i0 = 1;
        }
        if (c > 1 && w[c - 1] != f) {
            sp.right = s + c - 1;
            sp.wr = w[c - 1];
            i1 = c - 1;
        }
        for (int i = i0; i < i1; ++i) {
            if (w[i] != f) {
                return false; // not a box or area filter
            }
        }
        sp.lo = s + i0;
        sp.hi = s + std::max(i0, i1);
        *maxInterior = std::max(*maxInterior, static_cast<int>(sp.hi - sp.lo));
        (*spans)[static_cast<std::size_t>(t)] = sp;
    }
    return true;
}

// The hot loops count bits; with the processor's popcount instruction they are several times faster
// than with the library routine, so on x86-64 the body is compiled twice and the copy is chosen at the
// first call. (An explicit check rather than an ifunc: ifunc resolvers run before the sanitizers start.)
#define FOLIVANT_INLINE inline __attribute__((always_inline))

// Bits [xa, xb) of a bit row held as big-endian words, prepared once per target column: the first and
// last word and their masks (one word when both are the same).
struct RangeMask
{
    std::int64_t first = 0;
    std::int64_t last = -1; // empty range: last < first
    std::uint64_t firstMask = 0;
    std::uint64_t lastMask = 0;
};

RangeMask MakeRange(std::int64_t base, std::int64_t xa, std::int64_t xb)
{
    RangeMask m;
    if (xa >= xb) {
        return m;
    }
    m.first = (xa >> 6) - base;
    m.last = ((xb - 1) >> 6) - base;
    m.firstMask = ~0ull >> (xa & 63);
    m.lastMask = ~0ull << (63 - ((xb - 1) & 63));
    if (m.first == m.last) {
        m.firstMask &= m.lastMask;
    }
    return m;
}

FOLIVANT_INLINE std::int64_t Count(const std::uint64_t* words, const RangeMask& m)
{
    if (m.last <= m.first) {
        return m.last < m.first ? 0 : __builtin_popcountll(words[m.first] & m.firstMask);
    }
    std::int64_t n =
        __builtin_popcountll(words[m.first] & m.firstMask) + __builtin_popcountll(words[m.last] & m.lastMask);
    for (std::int64_t i = m.first + 1; i < m.last; ++i) {
        n += __builtin_popcountll(words[i]);
    }
    return n;
}

FOLIVANT_INLINE int Bit(const std::uint64_t* words, std::int64_t base, std::int64_t x)
{
    return static_cast<int>((words[(x >> 6) - base] >> (63 - (x & 63))) & 1);
}

// What each target column takes: its interior span, and the whole span for the "any ink" test.
struct Column
{
    RangeMask interior;
    RangeMask whole;
};

// Adds one bit row (as big-endian words) to `acc` with the horizontal weights.
FOLIVANT_INLINE void AddEdgeRow(const std::uint64_t* e, std::int64_t base, std::int64_t weight,
                                std::int64_t fullH, const std::vector<Span>& hs,
                                const std::vector<Column>& cols, std::int64_t* acc)
{
    const std::size_t n = hs.size();
    for (std::size_t t = 0; t < n; ++t) {
        const Span& s = hs[t];
        if (Count(e, cols[t].whole) == 0) {
            continue;
        }
        std::int64_t sum = fullH * Count(e, cols[t].interior);
        if (s.left >= 0) {
            sum += s.wl * Bit(e, base, s.left);
        }
        if (s.right >= 0) {
            sum += s.wr * Bit(e, base, s.right);
        }
        acc[t] += weight * sum;
    }
}

// Row y as big-endian words limited to the span; false when it holds no ink there.
FOLIVANT_INLINE bool LoadRow(const std::uint8_t* row, std::int64_t base, std::int64_t nw,
                             std::uint64_t firstMask, std::uint64_t lastMask, std::uint64_t* dst)
{
    std::uint64_t seen = 0;
    for (std::int64_t i = 0; i < nw; ++i) {
        std::uint64_t w;
        std::memcpy(&w, row + (base + i) * 8, 8);
        w = __builtin_bswap64(w);
        if (i == 0) {
            w &= firstMask;
        }
        if (i == nw - 1) {
            w &= lastMask;
        }
        dst[i] = w;
        seen |= w;
    }
    return seen != 0;
}

// Adds one row (words as they lie in memory, so no byte swapping) to the counters. The fixed depth keeps
// the loop free of branches, and the compiler vectorises it.
template <int P>
void AddBits(std::uint64_t* counter, const std::uint8_t* row, std::int64_t nw, std::uint64_t firstMask,
             std::uint64_t lastMask)
{
    for (std::int64_t i = 0; i < nw; ++i) {
        std::uint64_t carry;
        std::memcpy(&carry, row + i * 8, 8);
        if (i == 0) {
            carry &= firstMask;
        }
        if (i == nw - 1) {
            carry &= lastMask;
        }
        for (int p = 0; p < P; ++p) {
            const std::uint64_t c = counter[p * nw + i];
            counter[p * nw + i] = c ^ carry;
            carry &= c;
        }
    }
}

bool AnyBits(const std::uint8_t* row, std::int64_t nw, std::uint64_t firstMask, std::uint64_t lastMask)
{
    std::uint64_t first;
    std::uint64_t last;
    std::memcpy(&first, row, 8);
    std::memcpy(&last, row + (nw - 1) * 8, 8);
    std::uint64_t seen = (first & firstMask) | (last & lastMask);
    for (std::int64_t i = 1; i < nw - 1; ++i) {
        std::uint64_t w;
        std::memcpy(&w, row + i * 8, 8);
        seen |= w;
    }
    return seen != 0;
}

FOLIVANT_INLINE bool Shrink(const ScaleInput& in, const AxisWeights& h, const AxisWeights& v,
                            std::uint8_t* out, std::int64_t outStride)
{
    std::vector<Span> hs;
    std::vector<Span> vs;
    std::int64_t fullH = 0;
    std::int64_t fullV = 0;
    int maxH = 0;
    int maxV = 0;
    if (!Decompose(h, &hs, &fullH, &maxH) || !Decompose(v, &vs, &fullV, &maxV)) {
        return false;
    }
    int planes = 1;
    while ((1ll << planes) <= maxV) {
        ++planes;
    }
    const std::int64_t base = h.srcLo >> 6;
    const std::int64_t nw = ((static_cast<std::int64_t>(h.srcHi) + 63) >> 6) - base;
    const std::uint64_t firstMask = ~0ull >> (h.srcLo & 63);
    const std::uint64_t lastMask = (h.srcHi & 63) ? ~(~0ull >> (h.srcHi & 63)) : ~0ull;

    std::vector<std::uint64_t> counter;
    std::vector<std::uint64_t> any;
    std::vector<std::uint64_t> edge;
    std::vector<std::int64_t> acc;
    try {
        counter.resize(static_cast<std::size_t>(planes * nw));
        any.resize(static_cast<std::size_t>(nw));
        edge.resize(static_cast<std::size_t>(nw));
        acc.resize(static_cast<std::size_t>(h.n));
    } catch (const std::bad_alloc&) {
        return false;
    }

    const std::uint64_t firstRaw = __builtin_bswap64(firstMask);
    const std::uint64_t lastRaw = __builtin_bswap64(lastMask);
    std::vector<Column> cols(hs.size());
    for (std::size_t t = 0; t < hs.size(); ++t) {
        const Span& s = hs[t];
        cols[t].interior = MakeRange(base, s.lo, s.hi);
        cols[t].whole = MakeRange(base, s.left >= 0 ? s.left : s.lo, s.right >= 0 ? s.right + 1 : s.hi);
    }
    auto addRow = [&](const std::uint8_t* row) {
        switch (planes) {
        case 1:
            return AddBits<1>(counter.data(), row, nw, firstRaw, lastRaw);
        case 2:
            return AddBits<2>(counter.data(), row, nw, firstRaw, lastRaw);
        case 3:
            return AddBits<3>(counter.data(), row, nw, firstRaw, lastRaw);
        case 4:
            return AddBits<4>(counter.data(), row, nw, firstRaw, lastRaw);
        case 5:
            return AddBits<5>(counter.data(), row, nw, firstRaw, lastRaw);
        case 6:
            return AddBits<6>(counter.data(), row, nw, firstRaw, lastRaw);
        default:
            break;
        }
        for (std::int64_t i = 0; i < nw; ++i) {
            std::uint64_t carry;
            std::memcpy(&carry, row + i * 8, 8);
            carry &= (i == 0 ? firstRaw : ~0ull) & (i == nw - 1 ? lastRaw : ~0ull);
            for (int p = 0; carry; ++p) {
                std::uint64_t& c = counter[static_cast<std::size_t>(p * nw + i)];
                const std::uint64_t next = c & carry;
                c ^= carry;
                carry = next;
            }
        }
    };

    const std::int64_t diff = static_cast<std::int64_t>(in.ink) - in.paper;
    for (int j = 0; j < v.n; ++j) {
        if (IsSet(in.interrupt)) {
            return true; // the caller sees the flag and drops the result
        }
        const Span& rs = vs[static_cast<std::size_t>(j)];
        std::fill(acc.begin(), acc.end(), 0);
        if (rs.left >= 0 &&
            LoadRow(in.rows->Row(static_cast<int>(rs.left)), base, nw, firstMask, lastMask, edge.data())) {
            AddEdgeRow(edge.data(), base, rs.wl, fullH, hs, cols, acc.data());
        }

        // Interior rows: per column, a binary counter spread over `planes` words (carry-save adds).
        std::fill(counter.begin(), counter.end(), 0);
        bool inked = false;
        for (std::int64_t y = rs.lo; y < rs.hi; ++y) {
            if (IsSet(in.interrupt)) {
                return true; // the caller sees the flag and drops the result
            }
            const std::uint8_t* row = in.rows->Row(static_cast<int>(y)) + base * 8;
            if (AnyBits(row, nw, firstRaw, lastRaw)) {
                inked = true;
                addRow(row);
            }
        }
        if (inked) {
            for (std::int64_t i = 0; i < nw; ++i) {
                std::uint64_t a = 0;
                for (int p = 0; p < planes; ++p) {
                    std::uint64_t& c = counter[static_cast<std::size_t>(p * nw + i)];
                    c = __builtin_bswap64(c); // into bit order for the span counts
                    a |= c;
                }
                any[static_cast<std::size_t>(i)] = a;
            }
            const std::uint64_t* planeWords = counter.data();
            for (std::size_t t = 0; t < hs.size(); ++t) {
                if (Count(any.data(), cols[t].whole) == 0) {
                    continue;
                }
                const Span& s = hs[t];
                std::int64_t sum = 0;
                for (int p = 0; p < planes; ++p) {
                    sum += Count(planeWords + p * nw, cols[t].interior) << p;
                }
                sum *= fullH;
                for (int p = 0; p < planes; ++p) {
                    if (s.left >= 0) {
                        sum += (s.wl * Bit(planeWords + p * nw, base, s.left)) << p;
                    }
                    if (s.right >= 0) {
                        sum += (s.wr * Bit(planeWords + p * nw, base, s.right)) << p;
                    }
                }
                acc[t] += fullV * sum;
            }
        }

        if (rs.right >= 0 &&
            LoadRow(in.rows->Row(static_cast<int>(rs.right)), base, nw, firstMask, lastMask, edge.data())) {
            AddEdgeRow(edge.data(), base, rs.wr, fullH, hs, cols, acc.data());
        }
        std::uint8_t* o = out + j * outStride;
        for (int t = 0; t < h.n; ++t) {
            const std::int64_t a = acc[static_cast<std::size_t>(t)];
            if (a == 0) {
                o[t] = in.paper; // most of a page is paper: no division for it
                continue;
            }
            const std::int64_t T =
                h.total[static_cast<std::size_t>(t)] * v.total[static_cast<std::size_t>(j)];
            o[t] = DivideTo8(in.paper * T + diff * a, T);
        }
    }
    return true;
}

#if defined(__x86_64__)
__attribute__((target("popcnt"))) bool ShrinkPopcnt(const ScaleInput& in, const AxisWeights& h,
                                                    const AxisWeights& v, std::uint8_t* out,
                                                    std::int64_t outStride)
{
    return Shrink(in, h, v, out, outStride);
}
#endif

bool ShrinkPortable(const ScaleInput& in, const AxisWeights& h, const AxisWeights& v, std::uint8_t* out,
                    std::int64_t outStride)
{
    return Shrink(in, h, v, out, outStride);
}

} // namespace

bool ScaleMonoShrink(const ScaleInput& in, const AxisWeights& h, const AxisWeights& v, std::uint8_t* out,
                     std::int64_t outStride)
{
#if defined(__x86_64__)
    static const bool popcnt = __builtin_cpu_supports("popcnt");
    if (popcnt) {
        return ShrinkPopcnt(in, h, v, out, outStride);
    }
#endif
    return ShrinkPortable(in, h, v, out, outStride);
}

} // namespace imaging
