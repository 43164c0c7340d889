// The plain kernels: one pixel at a time, straight from blend_math.h. Every
// SIMD path must give their bytes, and hands them its remainders.
#include "blend/blend_math.h"
#include "blend/blend_spans.h"
#include "blend/blend_words.h"

namespace blend {
namespace {

template <class Layout>
void MixRgbSpan(uint8_t* frame, const uint8_t* canvas, int32_t count, int32_t weight, uint32_t key) {
    for (int32_t i = 0; i < count; ++i, canvas += 4, frame += Layout::kPixelBytes) {
        if (CanvasPixel(canvas) == key) continue;
        frame[Layout::kB] = MixByte(frame[Layout::kB], canvas[0], weight);
        frame[Layout::kG] = MixByte(frame[Layout::kG], canvas[1], weight);
        frame[Layout::kR] = MixByte(frame[Layout::kR], canvas[2], weight);
    }
}

template <class Layout>
void MixMacropixelSpan(uint8_t* frame, const uint8_t* canvas, int32_t count, int32_t weight, uint32_t key) {
    for (int32_t i = 0; i < count; ++i, canvas += 8, frame += 4) {
        const uint32_t c0 = CanvasPixel(canvas), c1 = CanvasPixel(canvas + 4);
        MixMacropixel<Layout>(frame, c0, c0 == key, c1, c1 == key, weight);
    }
}

// kChromaStep in samples.
template <int kChromaStep, class S = ByteSamples>
void MixBlockSpan(const BlockRows& rows, int32_t count, int32_t weight, uint32_t key) {
    constexpr int32_t k = S::kBytes;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* top = rows.canvas0 + i * 8;
        const uint8_t* bottom = rows.canvas1 + i * 8;
        const uint32_t c[4] = {CanvasPixel(top), CanvasPixel(top + 4), CanvasPixel(bottom), CanvasPixel(bottom + 4)};
        const bool clear[4] = {c[0] == key, c[1] == key, c[2] == key, c[3] == key};
        uint8_t* const y[4] = {rows.luma0 + 2 * i * k, rows.luma0 + (2 * i + 1) * k, rows.luma1 + 2 * i * k,
                               rows.luma1 + (2 * i + 1) * k};
        MixBlock<S>(y, rows.u + i * kChromaStep * k, rows.v + i * kChromaStep * k, c, clear, weight);
    }
}

template <class S = ByteSamples>
void MixConstantSpan(uint8_t* frame, int32_t bytes, int32_t weight, const Pattern& pattern, int32_t phase) {
    for (int32_t i = 0, p = phase; i < bytes; i += S::kBytes, p = (p + S::kBytes) % kPatternCycle)
        if (!pattern.keep[p])
            S::Put(frame + i, MixSample<S::kMax>(S::Get(frame + i), S::Get(pattern.target + p), weight));
}

template <class S = ByteSamples>
void MixTargetSpan(uint8_t* frame, const uint8_t* target, int32_t bytes, int32_t weight) {
    for (int32_t i = 0; i < bytes; i += S::kBytes)
        S::Put(frame + i, MixSample<S::kMax>(S::Get(frame + i), S::Get(target + i), weight));
}

template <int kChromaStep, class S>
constexpr WordSpans kWordSpans = {MixBlockSpan<kChromaStep, S>, MixConstantSpan<S>, MixTargetSpan<S>};

}  // namespace

const Spans& ReferenceSpans() {
    static constexpr Spans spans = {.bgr = MixRgbSpan<BgrLayout>,
                                    .bgrx = MixRgbSpan<BgrxLayout>,
                                    .yuy2 = MixMacropixelSpan<Yuy2Layout>,
                                    .i420 = MixBlockSpan<1>,
                                    .nv12 = MixBlockSpan<2>,
                                    .constant = MixConstantSpan,
                                    .target = MixTargetSpan,
                                    .rgbx = MixRgbSpan<RgbxLayout>,
                                    .xrgb = MixRgbSpan<XrgbLayout>,
                                    .xbgr = MixRgbSpan<XbgrLayout>,
                                    .uyvy = MixMacropixelSpan<UyvyLayout>,
                                    .nv21 = MixBlockSpan<2>,
                                    .p010 = kWordSpans<2, P010Samples>,
                                    .i420p10 = kWordSpans<1, I420p10Samples>};
    return spans;
}

}  // namespace blend
