// The row walks shared by every kernel: clipping, the derived values, the
// bottom-up RGB24 rows and the YUY2 edge macropixels. A kernel supplies only
// the span function that mixes a run of whole pixels or macropixels.
#pragma once

#include <cstddef>

#include "overlay/blend.h"
#include "overlay/blend_math.h"

namespace blend {

// span(dst, src, count, weight, key): count RGB24 pixels from count canvas pixels.
template <class Span>
void WalkRGB24(const BlendArgs& args, Span span) {
    BlendArgs a = args;
    if (!ClipBlendRect(a)) return;
    const int32_t weight = Weight(a.transparency);
    const uint32_t key = KeyColour(a.backColor, a.keyFlag);
    const size_t sourceStride = static_cast<size_t>(a.sourceWidth) * 4;
    const size_t destStride = static_cast<size_t>(a.destWidth) * 3;
    const int32_t width = a.sourceRight - a.sourceLeft, rows = a.sourceBottom - a.sourceTop;
    for (int32_t j = 0; j < rows; ++j) {
        const uint8_t* src = a.sourceBits + static_cast<size_t>(a.sourceTop + j) * sourceStride +
                             static_cast<size_t>(a.sourceLeft) * 4;
        uint8_t* dst = a.destBits + static_cast<size_t>(a.destHeight - 1 - (a.destTop + j)) * destStride +
                       static_cast<size_t>(a.destLeft) * 3;
        span(dst, src, width, weight, key);
    }
}

// span(dst, src, count, weight, key): count whole macropixels from 2 * count canvas pixels.
template <class Span>
void WalkYUY2(const BlendArgs& args, Span span) {
    BlendArgs a = args;
    const size_t destStride = static_cast<size_t>(a.destWidth) * 2;
    a.destWidth = Yuy2UsableWidth(a.destWidth);
    if (!ClipBlendRect(a)) return;
    const int32_t weight = Weight(a.transparency);
    const uint32_t key = KeyColour(a.backColor, a.keyFlag);
    const size_t sourceStride = static_cast<size_t>(a.sourceWidth) * 4;
    const int32_t rows = a.sourceBottom - a.sourceTop;
    const int32_t left = a.destLeft;
    const int32_t right = left + (a.sourceRight - a.sourceLeft);  // exclusive frame column
    for (int32_t j = 0; j < rows; ++j) {
        // Canvas pixel of frame column x is at src + (x - left) * 4.
        const uint8_t* src = a.sourceBits + static_cast<size_t>(a.sourceTop + j) * sourceStride +
                             static_cast<size_t>(a.sourceLeft) * 4;
        uint8_t* row = a.destBits + static_cast<size_t>(a.destTop + j) * destStride;
        int32_t x = left;
        if (x & 1) {  // the left neighbour lies outside the rectangle
            const uint32_t c = CanvasPixel(src);
            MixMacropixel(row + (x - 1) * 2, 0, true, c, c == key, weight);
            ++x;
        }
        const int32_t pairs = (right - x) / 2;
        span(row + x * 2, src + (x - left) * 4, pairs, weight, key);
        x += pairs * 2;
        if (x < right) {  // the right neighbour lies outside the rectangle
            const uint32_t c = CanvasPixel(src + (x - left) * 4);
            MixMacropixel(row + x * 2, c, c == key, 0, true, weight);
        }
    }
}

inline void MixRGB24Span(uint8_t* dst, const uint8_t* src, int32_t count, int32_t weight, uint32_t key) {
    for (int32_t i = 0; i < count; ++i, src += 4, dst += 3) {
        if (CanvasPixel(src) == key) continue;
        dst[0] = MixByte(dst[0], src[0], weight);
        dst[1] = MixByte(dst[1], src[1], weight);
        dst[2] = MixByte(dst[2], src[2], weight);
    }
}

inline void MixYUY2Span(uint8_t* dst, const uint8_t* src, int32_t count, int32_t weight, uint32_t key) {
    for (int32_t i = 0; i < count; ++i, src += 8, dst += 4) {
        const uint32_t c0 = CanvasPixel(src), c1 = CanvasPixel(src + 4);
        MixMacropixel(dst, c0, c0 == key, c1, c1 == key, weight);
    }
}

}  // namespace blend
