#pragma once
// Scaling a page (in stored orientation) to a target size, computing only a rectangle of the target.
//
// Separable filters with integer weights, one table per axis. Every target pixel is computed from its own
// source span with weights that depend only on its index, the source length and the target length, so a
// rectangle of the target is bit for bit the same whether it is rendered alone or as part of the whole.
// Source rows are taken in order and each is used while it is at hand, so a page can be streamed from the
// file strip by strip.
//
//   LowQuality   shrinking: box average over whole source pixels; enlarging: nearest pixel
//   HighQuality  shrinking: exact area average (partial edge pixels weighted); enlarging: bilinear
//   Bicubic      Catmull-Rom, widened by the shrink factor when shrinking (the prefilter); shrinking by four
//                or more on an axis, box averaged to twice the target there first
//
// Bilevel rows are summed by their set bits only, so blank fax lines and margins cost next to nothing.

#include "imaging/TiffImage.h"
#include "imaging/TiffPage.h"

#include <QRect>

#include <cstdint>
#include <vector>

namespace imaging {

// Weights of one axis for the targets [first, first + n).
struct AxisWeights
{
    int first = 0;
    int n = 0;
    std::vector<int> start;  // first source index per target
    std::vector<int> count;  // source pixels per target
    std::vector<int> offset; // n + 1 positions in `weight`
    std::vector<std::int32_t> weight;
    std::vector<std::int64_t> total; // sum of the target's weights
    int srcLo = 0;                   // union of the spans
    int srcHi = 0;
    bool enlarging = false;
    int maxCount = 0;
};

void BuildAxis(AxisWeights* a, std::int64_t srcLen, std::int64_t dstLen, int first, int n,
               InterpolationMode mode);

// Source rows, asked for in (mostly) ascending order. Every row pointer must allow 8-byte reads up to 8
// bytes past the row's end.
class RowProvider
{
public:
    virtual ~RowProvider() = default;
    virtual const std::uint8_t* Row(int y) = 0;
};

struct ScaleInput
{
    PixelKind kind = PixelKind::Grey8;
    int width = 0;
    int height = 0;
    std::uint8_t ink = 0;     // Mono: value of a set bit
    std::uint8_t paper = 255; // Mono: value of a clear bit
    RowProvider* rows = nullptr;
    const std::atomic<bool>* interrupt = nullptr; // checked between rows: true gives up
};

// Scales the source to tw x th and writes the target rectangle `region` into `out` (rows of `outStride`
// bytes): 8-bit grey for Mono and Grey8 sources, premultiplied ARGB32 for Argb32. False when memory is
// short or `in.interrupt` became true (the rows written so far are then incomplete). `fastPaths` false forces
// the general code (tests check that both agree bit for bit).
bool ScaleRegion(const ScaleInput& in, int tw, int th, QRect region, InterpolationMode mode,
                 std::uint8_t* out, std::int64_t outStride, bool fastPaths = true);

// Bilevel source shrunk on both axes with box or area weights: rows are summed first, 64 columns at a
// time, in bit-sliced counters (a row of ink costs a few word operations), and each target pixel then
// takes its span of the counters with popcounts. Gives exactly the sums of the general code. False when
// the weights are not of that shape; true, with rows left out, when `in.interrupt` stopped it.
bool ScaleMonoShrink(const ScaleInput& in, const AxisWeights& h, const AxisWeights& v, std::uint8_t* out,
                     std::int64_t outStride);

// num / den rounded, clamped to 0..255.
inline std::uint8_t DivideTo8(std::int64_t num, std::int64_t den)
{
    if (num <= 0) {
        return 0;
    }
    const std::int64_t q = (num + den / 2) / den;
    return static_cast<std::uint8_t>(q > 255 ? 255 : q);
}

} // namespace imaging
