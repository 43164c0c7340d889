// Per-pixel arithmetic of the reference kernels and of the walk's edges;
// the SIMD kernels compute the same values lane by lane.
#pragma once

#include <cstdint>

#include "blend/blend_job.h"
#include "blend/blend_spans.h"

namespace blend {

// Opacity as a weight out of 256, clamped to full opacity.
inline int32_t Weight(uint32_t opacity) {
    const uint32_t percent = opacity > kFullOpacity ? kFullOpacity : opacity;
    return static_cast<int32_t>(percent * 256 / kFullOpacity);
}

// A COLORREF (0x00BBGGRR) in canvas byte order (0x00RRGGBB).
inline uint32_t CanvasColour(uint32_t colorref) {
    const uint32_t r = colorref & 0xFF, g = (colorref >> 8) & 0xFF, b = (colorref >> 16) & 0xFF;
    return (r << 16) | (g << 8) | b;
}

// The canvas colour that leaves the frame as it is: backColor with the key
// on; with it off, one whose top byte is 0xFF, which no masked canvas pixel
// can equal.
inline uint32_t KeyColour(uint32_t backColor, bool keyBackground) {
    return CanvasColour(backColor) | (keyBackground ? 0u : 0xFF000000u);
}

inline uint32_t CanvasPixel(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16; }

// f moved toward t by weight/256, rounding toward minus infinity.
template <int32_t kMax>
inline int32_t MixSample(int32_t f, int32_t t, int32_t weight) {
    const int32_t out = f + (((t - f) * weight) >> 8);
    return out < 0 ? 0 : out > kMax ? kMax : out;
}
inline uint8_t MixByte(int32_t f, int32_t t, int32_t weight) {
    return static_cast<uint8_t>(MixSample<255>(f, t, weight));
}

// A 4:2:0 sample as MixBlock reads and writes it: a byte here, 10 bits of
// a word in blend_words.h. The colour rules give 8-bit targets, shifted
// left by kScale to the sample's range.
struct ByteSamples {
    static constexpr int kBytes = 1, kScale = 0, kMax = 255;
    static int32_t Get(const uint8_t* p) { return *p; }
    static void Put(uint8_t* p, int32_t sample) { *p = static_cast<uint8_t>(sample); }
};

// Canvas pixel 0x00RRGGBB to luma and chroma.
inline int32_t LumaOf(uint32_t c) {
    const int32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return (77 * r + 150 * g + 29 * b) >> 8;
}
inline int32_t ChromaUOf(uint32_t c) {
    const int32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return ((128 * b - 85 * g - 43 * r) >> 8) + 128;
}
inline int32_t ChromaVOf(uint32_t c) {
    const int32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return ((128 * r - 107 * g - 21 * b) >> 8) + 128;
}

// Each component averaged with floor.
inline uint32_t AverageColour(uint32_t a, uint32_t b) { return (a & b) + (((a ^ b) >> 1) & 0x7F7F7F7Fu); }

// A macropixel (bytes as Layout places them) whose pixel slot (0 or 1)
// alone is covered, by a colour of luma y and chroma u, v: the chroma goes
// halfway.
template <class Layout>
inline void MixHalfMacropixel(uint8_t* m, int slot, int32_t y, int32_t u, int32_t v, int32_t weight) {
    uint8_t& luma = m[slot ? Layout::kY1 : Layout::kY0];
    luma = MixByte(luma, y, weight);
    m[Layout::kU] = MixByte(m[Layout::kU], (u + m[Layout::kU]) >> 1, weight);
    m[Layout::kV] = MixByte(m[Layout::kV], (v + m[Layout::kV]) >> 1, weight);
}

// One macropixel under canvas pixels c0 and c1, either of which may be
// transparent.
template <class Layout>
inline void MixMacropixel(uint8_t* m, uint32_t c0, bool clear0, uint32_t c1, bool clear1, int32_t weight) {
    if (clear0 && clear1) return;
    if (clear0 != clear1) {
        const uint32_t c = clear0 ? c1 : c0;
        return MixHalfMacropixel<Layout>(m, clear0 ? 1 : 0, LumaOf(c), ChromaUOf(c), ChromaVOf(c), weight);
    }
    const uint32_t avg = AverageColour(c0, c1);
    const int32_t u = ChromaUOf(avg), v = ChromaVOf(avg);
    m[Layout::kY0] = MixByte(m[Layout::kY0], LumaOf(c0), weight);
    m[Layout::kU] = MixByte(m[Layout::kU], u, weight);
    m[Layout::kY1] = MixByte(m[Layout::kY1], LumaOf(c1), weight);
    m[Layout::kV] = MixByte(m[Layout::kV], v, weight);
}

// The colour that stands for the covered pixels of a 2 x 2 block (0 top
// left, 1 top right, 2 bottom left, 3 bottom right): each row's covered
// pixels averaged first, then the two rows, every average a floor average
// as in a YUY2 pair. At least one pixel must be covered.
inline uint32_t BlockColour(const uint32_t c[4], const bool clear[4]) {
    const bool top = !clear[0] || !clear[1], bottom = !clear[2] || !clear[3];
    const uint32_t topColour = clear[0] ? c[1] : clear[1] ? c[0] : AverageColour(c[0], c[1]);
    const uint32_t bottomColour = clear[2] ? c[3] : clear[3] ? c[2] : AverageColour(c[2], c[3]);
    return !top ? bottomColour : !bottom ? topColour : AverageColour(topColour, bottomColour);
}

// The chroma target of a block with covered of its 4 pixels covered: the
// frame's chroma f moved toward the caption's c by the covered share,
// floor((c * covered + f * (4 - covered)) / 4). All four give c, two give
// the halfway value of a half-covered YUY2 pair, none leaves f.
inline int32_t BlockChromaTarget(int32_t c, int32_t f, int32_t covered) {
    return (c * covered + f * (4 - covered)) >> 2;
}

// One 2 x 2 block of a 4:2:0 frame: luma y[i] (null where the pixel lies
// outside the frame or the blend, which counts as transparent), chroma u
// and v, canvas pixels c[i] with their key test clear[i].
template <class S = ByteSamples>
inline void MixBlock(uint8_t* const y[4], uint8_t* u, uint8_t* v, const uint32_t c[4], const bool clear[4],
                     int32_t weight) {
    const auto mix = [weight](uint8_t* p, int32_t target) { S::Put(p, MixSample<S::kMax>(S::Get(p), target, weight)); };
    int32_t covered = 0;
    for (int i = 0; i < 4; ++i) {
        if (clear[i]) continue;
        ++covered;
        mix(y[i], LumaOf(c[i]) << S::kScale);
    }
    if (covered == 0) return;
    const uint32_t colour = BlockColour(c, clear);
    mix(u, BlockChromaTarget(ChromaUOf(colour) << S::kScale, S::Get(u), covered));
    mix(v, BlockChromaTarget(ChromaVOf(colour) << S::kScale, S::Get(v), covered));
}

}  // namespace blend
