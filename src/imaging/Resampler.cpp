#include "imaging/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <new>

namespace imaging {

namespace {

constexpr std::int32_t kOne = 1 << 14; // weight sum of the normalised filters

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

double CatmullRom(double x)
{
    x = std::fabs(x);
    constexpr double a = -0.5;
    if (x < 1.0) {
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    }
    if (x < 2.0) {
        return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
    }
    return 0.0;
}

// Rounds real weights to integers that sum to exactly kOne (the largest one takes the difference), so that
// an even area stays exactly even.
void Normalise(const std::vector<double>& w, std::vector<std::int32_t>* out)
{
    double sum = 0;
    for (double v : w) {
        sum += v;
    }
    out->resize(w.size());
    std::int64_t isum = 0;
    std::size_t biggest = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
        (*out)[i] = static_cast<std::int32_t>(std::lround(w[i] / sum * kOne));
        isum += (*out)[i];
        if (w[i] > w[biggest]) {
            biggest = i;
        }
    }
    (*out)[biggest] += static_cast<std::int32_t>(kOne - isum);
}

} // namespace

void BuildAxis(AxisWeights* a, std::int64_t N, std::int64_t M, int first, int n, InterpolationMode mode)
{
    a->first = first;
    a->n = n;
    a->enlarging = M >= N;
    a->start.resize(static_cast<std::size_t>(n));
    a->count.resize(static_cast<std::size_t>(n));
    a->offset.assign(1, 0);
    a->offset.reserve(static_cast<std::size_t>(n) + 1);
    a->total.resize(static_cast<std::size_t>(n));
    a->weight.clear();
    a->maxCount = 0;

    std::vector<std::int32_t> w;
    std::vector<double> real;
    for (int j = 0; j < n; ++j) {
        const std::int64_t i = first + j;
        std::int64_t s = 0;
        std::int64_t total = kOne;
        w.clear();
        if (mode == InterpolationMode::LowQuality) {
            if (M < N) {
                s = i * N / M;
                const std::int64_t e = (i + 1) * N / M;
                w.assign(static_cast<std::size_t>(e - s), 1);
                total = e - s;
            } else {
                s = std::min((2 * i + 1) * N / (2 * M), N - 1);
                w.assign(1, 1);
                total = 1;
            }
        } else if (mode == InterpolationMode::HighQualityBicubic) {
            const double f = std::max(1.0, static_cast<double>(N) / static_cast<double>(M));
            const double c =
                static_cast<double>(2 * i + 1) * static_cast<double>(N) / (2.0 * static_cast<double>(M)) -
                0.5;
            const std::int64_t lo = static_cast<std::int64_t>(std::ceil(c - 2.0 * f));
            const std::int64_t hi = static_cast<std::int64_t>(std::floor(c + 2.0 * f));
            s = std::clamp<std::int64_t>(lo, 0, N - 1);
            const std::int64_t e = std::clamp<std::int64_t>(hi, 0, N - 1);
            real.assign(static_cast<std::size_t>(e - s + 1), 0.0);
            for (std::int64_t k = lo; k <= hi; ++k) {
                // Beyond the edges the edge pixel repeats.
                real[static_cast<std::size_t>(std::clamp(k, s, e) - s)] +=
                    CatmullRom((static_cast<double>(k) - c) / f);
            }
            Normalise(real, &w);
        } else if (M < N) {
            // Area average in units of 1/M source pixel: target i covers [iN, (i+1)N), pixel k [kM, (k+1)M).
            s = i * N / M;
            const std::int64_t e = std::min(((i + 1) * N + M - 1) / M, N);
            for (std::int64_t k = s; k < e; ++k) {
                w.push_back(
                    static_cast<std::int32_t>(std::min((i + 1) * N, (k + 1) * M) - std::max(i * N, k * M)));
            }
            total = N;
        } else {
            // Bilinear between pixel centres; 2M * centre = (2i + 1)N - M.
            const std::int64_t c2 = (2 * i + 1) * N - M;
            const std::int64_t k0 = FloorDiv(c2, 2 * M);
            if (k0 < 0) {
                s = 0;
                w.assign(1, kOne);
            } else if (k0 >= N - 1) {
                s = N - 1;
                w.assign(1, kOne);
            } else {
                const std::int64_t frac = c2 - k0 * 2 * M; // in [0, 2M)
                const std::int32_t w1 = static_cast<std::int32_t>((frac * kOne + M) / (2 * M));
                s = k0;
                w = {kOne - w1, w1};
            }
        }
        a->start[static_cast<std::size_t>(j)] = static_cast<int>(s);
        a->count[static_cast<std::size_t>(j)] = static_cast<int>(w.size());
        a->total[static_cast<std::size_t>(j)] = total;
        a->weight.insert(a->weight.end(), w.begin(), w.end());
        a->offset.push_back(static_cast<int>(a->weight.size()));
        a->maxCount = std::max(a->maxCount, static_cast<int>(w.size()));
    }
    a->srcLo = n > 0 ? a->start.front() : 0;
    a->srcHi = a->srcLo;
    for (int j = 0; j < n; ++j) {
        a->srcHi =
            std::max(a->srcHi, a->start[static_cast<std::size_t>(j)] + a->count[static_cast<std::size_t>(j)]);
    }
}

namespace {

std::uint64_t LoadBigEndian64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// One horizontally filtered source row over the region's columns, per channel.
class RowFilter
{
public:
    RowFilter(const ScaleInput& in, const AxisWeights& h)
        : m_in(in), m_h(h), m_channels(in.kind == PixelKind::Argb32 ? 4 : 1)
    {
        if (in.kind == PixelKind::Mono) {
            // Per source pixel: the targets it feeds, with their weights.
            const int span = h.srcHi - h.srcLo;
            m_firstEntry.assign(static_cast<std::size_t>(span) + 1, 0);
            for (int t = 0; t < h.n; ++t) {
                for (int k = 0; k < h.count[static_cast<std::size_t>(t)]; ++k) {
                    ++m_firstEntry[static_cast<std::size_t>(h.start[static_cast<std::size_t>(t)] + k -
                                                            h.srcLo) +
                                   1];
                }
            }
            for (int x = 0; x < span; ++x) {
                m_firstEntry[static_cast<std::size_t>(x) + 1] += m_firstEntry[static_cast<std::size_t>(x)];
            }
            m_entries.resize(static_cast<std::size_t>(m_firstEntry.back()));
            std::vector<int> fill(m_firstEntry.begin(), m_firstEntry.end() - 1);
            for (int t = 0; t < h.n; ++t) {
                const int o = h.offset[static_cast<std::size_t>(t)];
                for (int k = 0; k < h.count[static_cast<std::size_t>(t)]; ++k) {
                    const int x = h.start[static_cast<std::size_t>(t)] + k - h.srcLo;
                    m_entries[static_cast<std::size_t>(fill[static_cast<std::size_t>(x)]++)] = {
                        t, h.weight[static_cast<std::size_t>(o + k)]};
                }
            }
        }
    }

    int Channels() const { return m_channels; }

    // Fills `out` (n * channels values). For Mono it holds the weighted count of set bits (ink), zero
    // outside [*lo, *hi); returns false when the row has no ink in the span at all.
    bool Filter(const std::uint8_t* row, std::int64_t* out, int* lo, int* hi) const
    {
        if (m_in.kind == PixelKind::Mono) {
            return FilterMono(row, out, lo, hi);
        }
        *lo = 0;
        *hi = m_h.n;
        const std::int32_t* wt = m_h.weight.data();
        if (m_in.kind == PixelKind::Grey8) {
            for (int t = 0; t < m_h.n; ++t) {
                const std::uint8_t* p = row + m_h.start[static_cast<std::size_t>(t)];
                const std::int32_t* w = wt + m_h.offset[static_cast<std::size_t>(t)];
                const int c = m_h.count[static_cast<std::size_t>(t)];
                std::int64_t sum = 0;
                for (int k = 0; k < c; ++k) {
                    sum += static_cast<std::int64_t>(w[k]) * p[k];
                }
                out[t] = sum;
            }
        } else {
            const auto* px = reinterpret_cast<const std::uint32_t*>(row);
            for (int t = 0; t < m_h.n; ++t) {
                const std::uint32_t* p = px + m_h.start[static_cast<std::size_t>(t)];
                const std::int32_t* w = wt + m_h.offset[static_cast<std::size_t>(t)];
                const int c = m_h.count[static_cast<std::size_t>(t)];
                std::int64_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
                for (int k = 0; k < c; ++k) {
                    const std::int64_t wk = w[k];
                    s0 += wk * (p[k] >> 24);
                    s1 += wk * ((p[k] >> 16) & 0xFF);
                    s2 += wk * ((p[k] >> 8) & 0xFF);
                    s3 += wk * (p[k] & 0xFF);
                }
                out[t * 4] = s0;
                out[t * 4 + 1] = s1;
                out[t * 4 + 2] = s2;
                out[t * 4 + 3] = s3;
            }
        }
        return true;
    }

private:
    struct Entry
    {
        int target;
        std::int32_t weight;
    };

    bool FilterMono(const std::uint8_t* row, std::int64_t* out, int* lo, int* hi) const
    {
        const std::int64_t srcLo = m_h.srcLo;
        const std::int64_t srcHi = m_h.srcHi;
        int tlo = m_h.n;
        int thi = 0;
        for (std::int64_t byte = srcLo >> 3; byte * 8 < srcHi; byte += 8) {
            std::uint64_t word = LoadBigEndian64(row + byte);
            if (!word) {
                continue;
            }
            const std::int64_t base = byte * 8;
            if (base < srcLo) {
                word &= ~0ull >> (srcLo - base);
            }
            if (base + 64 > srcHi) {
                word &= ~(~0ull >> (srcHi - base));
            }
            while (word) {
                const int lz = __builtin_clzll(word);
                word &= ~(1ull << (63 - lz));
                const std::size_t x = static_cast<std::size_t>(base + lz - srcLo);
                const Entry* e = m_entries.data() + m_firstEntry[x];
                const Entry* end = m_entries.data() + m_firstEntry[x + 1];
                if (e == end) {
                    continue;
                }
                tlo = std::min(tlo, e->target);
                thi = std::max(thi, (end - 1)->target + 1);
                for (; e != end; ++e) {
                    out[e->target] += e->weight;
                }
            }
        }
        *lo = tlo;
        *hi = thi;
        return tlo < thi;
    }

    const ScaleInput& m_in;
    const AxisWeights& m_h;
    int m_channels;
    std::vector<int> m_firstEntry;
    std::vector<Entry> m_entries;
};

// Writes one target row from its accumulated sums.
void Emit(const ScaleInput& in, const AxisWeights& h, std::int64_t vTotal, const std::int64_t* acc,
          std::uint8_t* out)
{
    if (in.kind == PixelKind::Mono) {
        const std::int64_t diff = static_cast<std::int64_t>(in.ink) - in.paper;
        for (int t = 0; t < h.n; ++t) {
            if (acc[t] == 0) {
                out[t] = in.paper;
                continue;
            }
            const std::int64_t T = h.total[static_cast<std::size_t>(t)] * vTotal;
            out[t] = DivideTo8(in.paper * T + diff * acc[t], T);
        }
    } else if (in.kind == PixelKind::Grey8) {
        for (int t = 0; t < h.n; ++t) {
            out[t] = DivideTo8(acc[t], h.total[static_cast<std::size_t>(t)] * vTotal);
        }
    } else {
        auto* px = reinterpret_cast<std::uint32_t*>(out);
        for (int t = 0; t < h.n; ++t) {
            const std::int64_t T = h.total[static_cast<std::size_t>(t)] * vTotal;
            const std::uint32_t a = DivideTo8(acc[t * 4], T);
            // Premultiplied: no colour above its alpha, also where the bicubic filter overshoots.
            const std::uint32_t r = std::min<std::uint32_t>(DivideTo8(acc[t * 4 + 1], T), a);
            const std::uint32_t g = std::min<std::uint32_t>(DivideTo8(acc[t * 4 + 2], T), a);
            const std::uint32_t b = std::min<std::uint32_t>(DivideTo8(acc[t * 4 + 3], T), a);
            px[t] = a << 24 | r << 16 | g << 8 | b;
        }
    }
}

void AddScaled(std::int64_t* acc, const std::int64_t* h, std::int64_t w, int from, int to)
{
    for (int i = from; i < to; ++i) {
        acc[i] += w * h[i];
    }
}

} // namespace

namespace {

// Rows of a buffer holding rows [first, first + n) of an image.
class BufferRows : public RowProvider
{
public:
    BufferRows(const std::uint8_t* data, std::int64_t stride, int first)
        : m_data(data), m_stride(stride), m_first(first)
    {
    }
    const std::uint8_t* Row(int y) override { return m_data + (y - m_first) * m_stride; }

private:
    const std::uint8_t* m_data;
    std::int64_t m_stride;
    int m_first;
};

// Bicubic from an intermediate of iw x ih: the rows of it the region needs are box averaged from the
// source first (all its columns, so that the second step indexes them as they are).
bool ScaleBicubicInTwoSteps(const ScaleInput& in, int iw, int ih, int tw, int th, QRect region,
                            std::uint8_t* out, std::int64_t outStride, bool fastPaths)
{
    AxisWeights v;
    BuildAxis(&v, ih, th, region.y(), region.height(), InterpolationMode::HighQualityBicubic);
    ScaleInput mid;
    mid.kind = in.kind == PixelKind::Argb32 ? PixelKind::Argb32 : PixelKind::Grey8;
    mid.width = iw;
    mid.height = ih;
    mid.interrupt = in.interrupt;
    const std::int64_t stride = RowBytes(mid.kind, iw);
    const int rows = v.srcHi - v.srcLo;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(stride * rows + 8), 0);
    if (!ScaleRegion(in, iw, ih, QRect(0, v.srcLo, iw, rows), InterpolationMode::LowQuality, buffer.data(),
                     stride, fastPaths)) {
        return false;
    }
    BufferRows provider(buffer.data(), stride, v.srcLo);
    mid.rows = &provider;
    return ScaleRegion(mid, tw, th, region, InterpolationMode::HighQualityBicubic, out, outStride, fastPaths);
}

} // namespace

bool ScaleRegion(const ScaleInput& in, int tw, int th, QRect region, InterpolationMode mode,
                 std::uint8_t* out, std::int64_t outStride, bool fastPaths)
{
    if (in.width <= 0 || in.height <= 0 || tw <= 0 || th <= 0 || region.isEmpty() || !in.rows) {
        return false;
    }
    try {
        // Shrinking by four or more, the bicubic filter would span dozens of pixels per target pixel on that
        // axis: the source is box averaged to twice the target there first (with the fast sums of whole
        // pixels), and the filter, widened by two, works from that. The result differs from the one-step
        // filter by about one grey level in a thumbnail, at less than half the cost.
        if (mode == InterpolationMode::HighQualityBicubic &&
            (static_cast<std::int64_t>(in.width) >= 4 * static_cast<std::int64_t>(tw) ||
             static_cast<std::int64_t>(in.height) >= 4 * static_cast<std::int64_t>(th))) {
            const int iw =
                static_cast<std::int64_t>(in.width) >= 4 * static_cast<std::int64_t>(tw) ? 2 * tw : in.width;
            const int ih = static_cast<std::int64_t>(in.height) >= 4 * static_cast<std::int64_t>(th)
                               ? 2 * th
                               : in.height;
            return ScaleBicubicInTwoSteps(in, iw, ih, tw, th, region, out, outStride, fastPaths);
        }
        AxisWeights h;
        AxisWeights v;
        BuildAxis(&h, in.width, tw, region.x(), region.width(), mode);
        BuildAxis(&v, in.height, th, region.y(), region.height(), mode);
        if (fastPaths && in.kind == PixelKind::Mono && !h.enlarging && !v.enlarging &&
            mode != InterpolationMode::HighQualityBicubic && ScaleMonoShrink(in, h, v, out, outStride)) {
            return !IsSet(in.interrupt);
        }
        RowFilter filter(in, h);
        const int ch = filter.Channels();
        const std::size_t rowValues = static_cast<std::size_t>(h.n) * static_cast<std::size_t>(ch);
        const bool mono = in.kind == PixelKind::Mono;

        if (v.enlarging) {
            // Each target row mixes a few source rows: keep the last few filtered rows at hand.
            const int ring = std::max(1, v.maxCount);
            std::vector<std::int64_t> rows(rowValues * static_cast<std::size_t>(ring));
            std::vector<int> key(static_cast<std::size_t>(ring), -1);
            std::vector<char> content(static_cast<std::size_t>(ring), 0);
            std::vector<std::int64_t> acc(rowValues);
            for (int j = 0; j < v.n; ++j) {
                if (IsSet(in.interrupt)) {
                    return false;
                }
                std::fill(acc.begin(), acc.end(), 0);
                const int s = v.start[static_cast<std::size_t>(j)];
                const std::int32_t* w = v.weight.data() + v.offset[static_cast<std::size_t>(j)];
                for (int k = 0; k < v.count[static_cast<std::size_t>(j)]; ++k) {
                    const int y = s + k;
                    const std::size_t slot = static_cast<std::size_t>(y % ring);
                    std::int64_t* hrow = rows.data() + slot * rowValues;
                    if (key[slot] != y) {
                        std::fill(hrow, hrow + rowValues, 0);
                        int lo = 0;
                        int hi = 0;
                        content[slot] = filter.Filter(in.rows->Row(y), hrow, &lo, &hi);
                        key[slot] = y;
                    }
                    if (content[slot]) {
                        AddScaled(acc.data(), hrow, w[k], 0, static_cast<int>(rowValues));
                    }
                }
                Emit(in, h, v.total[static_cast<std::size_t>(j)], acc.data(), out + j * outStride);
            }
            return true;
        }

        // Shrinking: each source row is filtered once and added to the few target rows it falls in.
        std::vector<std::int64_t> hrow(rowValues, 0);
        std::deque<std::vector<std::int64_t>> active; // accumulators of target rows [emitted, next)
        std::vector<std::vector<std::int64_t>> spare;
        int next = 0;
        int emitted = 0;
        for (int y = v.srcLo; y < v.srcHi && emitted < v.n; ++y) {
            if (IsSet(in.interrupt)) {
                return false;
            }
            while (next < v.n && v.start[static_cast<std::size_t>(next)] <= y) {
                if (spare.empty()) {
                    active.emplace_back(rowValues, 0);
                } else {
                    active.push_back(std::move(spare.back()));
                    spare.pop_back();
                    std::fill(active.back().begin(), active.back().end(), 0);
                }
                ++next;
            }
            int lo = 0;
            int hi = 0;
            if (filter.Filter(in.rows->Row(y), hrow.data(), &lo, &hi)) {
                for (int j = emitted; j < next; ++j) {
                    const int s = v.start[static_cast<std::size_t>(j)];
                    if (y < s + v.count[static_cast<std::size_t>(j)]) {
                        const std::int64_t w =
                            v.weight[static_cast<std::size_t>(v.offset[static_cast<std::size_t>(j)] + y - s)];
                        AddScaled(active[static_cast<std::size_t>(j - emitted)].data(), hrow.data(), w,
                                  lo * ch, hi * ch);
                    }
                }
                if (mono) {
                    std::fill(hrow.begin() + lo, hrow.begin() + hi, 0);
                }
            }
            while (emitted < next && v.start[static_cast<std::size_t>(emitted)] +
                                             v.count[static_cast<std::size_t>(emitted)] - 1 <=
                                         y) {
                Emit(in, h, v.total[static_cast<std::size_t>(emitted)], active.front().data(),
                     out + emitted * outStride);
                spare.push_back(std::move(active.front()));
                active.pop_front();
                ++emitted;
            }
        }
        return emitted == v.n;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace imaging
