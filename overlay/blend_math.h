// Per-pixel arithmetic shared by the reference and the SIMD kernels.
#pragma once

#include <cstdint>

#include "overlay/blend.h"

namespace blend {

// Opacity in percent as a weight out of 256; values above 100 are clamped
// (a hand-edited settings file can hold anything).
inline int32_t Weight(uint32_t transparency) {
    const uint32_t percent = transparency > 100 ? 100 : transparency;
    return static_cast<int32_t>(percent * 256 / 100);
}

// BackColor in canvas byte order (0x00RRGGBB). With the key off its top
// byte is 0xFF, which no masked canvas pixel can equal.
inline uint32_t KeyColour(uint32_t backColor, uint32_t keyFlag) {
    const uint32_t r = backColor & 0xFF, g = (backColor >> 8) & 0xFF, b = (backColor >> 16) & 0xFF;
    return (r << 16) | (g << 8) | b | ((keyFlag & 1) ? 0u : 0xFF000000u);
}

inline uint32_t CanvasPixel(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}

// f moved toward t by weight/256, rounding toward minus infinity.
inline uint8_t MixByte(int32_t f, int32_t t, int32_t weight) {
    const int32_t out = f + (((t - f) * weight) >> 8);
    return static_cast<uint8_t>(out < 0 ? 0 : out > 255 ? 255 : out);
}

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
inline uint32_t AverageColour(uint32_t a, uint32_t b) {
    return (a & b) + (((a ^ b) >> 1) & 0x7F7F7F7Fu);
}

// YUY2 needs whole macropixels: with an odd width the last column's
// macropixel would run past its row, so it is left out.
inline int32_t Yuy2UsableWidth(int32_t width) { return width & ~1; }

// One YUY2 macropixel (Y0, U, Y1, V) under canvas pixels c0 and c1, either
// of which may be transparent.
inline void MixMacropixel(uint8_t* m, uint32_t c0, bool clear0, uint32_t c1, bool clear1, int32_t weight) {
    if (clear0 && clear1) return;
    int32_t u, v;
    if (!clear0 && !clear1) {
        const uint32_t avg = AverageColour(c0, c1);
        u = ChromaUOf(avg);
        v = ChromaVOf(avg);
    } else {
        const uint32_t c = clear0 ? c1 : c0;
        u = (ChromaUOf(c) + m[1]) >> 1;
        v = (ChromaVOf(c) + m[3]) >> 1;
    }
    const int32_t y0 = clear0 ? m[0] : LumaOf(c0);
    const int32_t y1 = clear1 ? m[2] : LumaOf(c1);
    m[0] = MixByte(m[0], y0, weight);
    m[1] = MixByte(m[1], u, weight);
    m[2] = MixByte(m[2], y1, weight);
    m[3] = MixByte(m[3], v, weight);
}

}  // namespace blend
