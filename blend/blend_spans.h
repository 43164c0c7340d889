// What each kernel path supplies: the pieces of one row that the shared walk
// (blend_walk.cpp) cuts every blend into. A span mixes whole pixels,
// macropixels or 2 x 2 blocks; the walk keeps edges, clipping and the
// choice between canvas and constant to itself.
#pragma once

#include <cstdint>

namespace blend {

// A constant target repeating every kPatternCycle bytes (a whole number of
// periods of 1 to 4 bytes, and of 16- and 32-byte vectors), with room for a
// vector to start at any phase of it; bytes whose keep is set stay as they
// are. For the weight of the blend, per byte, product = target * weight and
// rest = 256 - weight (0 and 256 where kept), so that the mixed byte is
// (frame * rest + product) >> 8.
constexpr int32_t kPatternCycle = 96;
struct Pattern {
    alignas(32) uint8_t target[kPatternCycle + 32];
    alignas(32) uint8_t keep[kPatternCycle + 32];
    alignas(32) uint16_t product[kPatternCycle + 32];
    alignas(32) uint16_t rest[kPatternCycle + 32];
};

// Two whole rows of 4:2:0 blocks and the canvas rows over them. I420 steps
// u and v by one sample a block, NV12 has v = u + 1 and NV21 u = v + 1,
// and both step by two (a sample is a byte, or a word in the 10-bit
// formats).
struct BlockRows {
    uint8_t* luma0;
    uint8_t* luma1;
    uint8_t* u;
    uint8_t* v;
    const uint8_t* canvas0;
    const uint8_t* canvas1;
};

// count pixels, macropixels (2 * count canvas pixels) or blocks from the
// canvas; a canvas pixel equal to key is transparent.
using PixelSpan = void (*)(uint8_t* frame, const uint8_t* canvas, int32_t count, int32_t weight, uint32_t key);
using BlockSpan = void (*)(const BlockRows& rows, int32_t count, int32_t weight, uint32_t key);
// bytes bytes toward a pattern, the first of them at byte phase of it.
using ConstantSpan = void (*)(uint8_t* frame, int32_t bytes, int32_t weight, const Pattern& pattern, int32_t phase);
// bytes bytes, each toward the byte at the same index of target.
using TargetSpan = void (*)(uint8_t* frame, const uint8_t* target, int32_t bytes, int32_t weight);

// The spans of a format of 10-bit samples in words (blend_words.h). The
// block span takes BlockRows of words; the constant span reads the
// pattern's target as words holding the sample where the frame does, and
// the target span reads the sample of each target word; bytes is even.
struct WordSpans {
    BlockSpan blocks;
    ConstantSpan constant;
    TargetSpan target;
};

struct Spans {
    PixelSpan bgr;   // 3 bytes a pixel
    PixelSpan bgrx;  // 4 bytes a pixel, the fourth kept
    PixelSpan yuy2;
    BlockSpan i420;
    BlockSpan nv12;
    ConstantSpan constant;
    TargetSpan target;
    PixelSpan rgbx, xrgb, xbgr;  // as bgrx, the colour bytes in their order
    PixelSpan uyvy;
    BlockSpan nv21;
    WordSpans p010;
    WordSpans i420p10;
};

// Where a packed RGB pixel of kPixelBytes keeps red, green and blue (a
// fourth byte is kept as it is), and its span.
template <int kPixelBytes_, int kR_, int kG_, int kB_, PixelSpan Spans::*kSpan_>
struct RgbLayout {
    static constexpr bool kPairs = false;
    static constexpr int kPixelBytes = kPixelBytes_, kR = kR_, kG = kG_, kB = kB_, kKept = 6 - kR_ - kG_ - kB_;
    static constexpr PixelSpan Spans::*kSpan = kSpan_;
};
using BgrLayout = RgbLayout<3, 2, 1, 0, &Spans::bgr>;
using BgrxLayout = RgbLayout<4, 2, 1, 0, &Spans::bgrx>;
using RgbxLayout = RgbLayout<4, 0, 1, 2, &Spans::rgbx>;
using XrgbLayout = RgbLayout<4, 1, 2, 3, &Spans::xrgb>;
using XbgrLayout = RgbLayout<4, 3, 2, 1, &Spans::xbgr>;

// Where a 4:2:2 macropixel keeps the luma of its two pixels and the chroma
// they share, and its span.
template <int kY0_, int kU_, int kY1_, int kV_, PixelSpan Spans::*kSpan_>
struct MacropixelLayout {
    static constexpr bool kPairs = true;
    static constexpr int kPixelBytes = 2, kY0 = kY0_, kU = kU_, kY1 = kY1_, kV = kV_;
    static constexpr PixelSpan Spans::*kSpan = kSpan_;
};
using Yuy2Layout = MacropixelLayout<0, 1, 2, 3, &Spans::yuy2>;
using UyvyLayout = MacropixelLayout<1, 0, 3, 2, &Spans::uyvy>;

const Spans& ReferenceSpans();
const Spans& Sse2Spans();  // only where the processor has SSE2
const Spans& Avx2Spans();  // only where it has AVX2

}  // namespace blend
