// Blend kernels against a memcpy of the bytes they touch, and the cost of
// ProcessFrame on drawn and on gap frames with the box renderer.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "overlay/blend.h"
#include "overlay/cpu_features.h"
#include "overlay/overlay_engine.h"
#include "overlay/overlay_state.h"
#include "settings/settings_state.h"
#include "tests/support/overlay_fixture.h"

namespace {

enum Kernel { kReference, kSse2 };

struct BlendCase {
    std::vector<uint8_t> canvas, frame;
    BlendArgs args;

    // A caption-like canvas: background with a text colour stripe pattern.
    BlendCase(int32_t w, int32_t h, int32_t bytesPerPixel, bool wholeFrame, uint32_t key)
        : canvas(size_t(w) * h * 4), frame(size_t(w) * h * bytesPerPixel, 0x50) {
        for (size_t i = 0; i < canvas.size(); i += 4) {
            const bool glyph = (i / 4) % 7 < 2;
            canvas[i] = glyph ? 0x00 : 0xFF, canvas[i + 1] = glyph ? 0xA0 : 0xFF, canvas[i + 2] = 0xFF;
        }
        const int32_t cw = wholeFrame ? w : w / 2, ch = wholeFrame ? h : h / 6;
        const int32_t l = (w - cw) / 2, t = (h - ch) / 2;
        args = {canvas.data(), l, t, l + cw, t + ch, w, h, frame.data(), l, t, w, h, 50, 0xFFFFFF, key};
    }
    size_t TouchedBytes(int32_t bytesPerPixel) const {
        return size_t(args.sourceRight - args.sourceLeft) * (args.sourceBottom - args.sourceTop) * (4 + bytesPerPixel);
    }
};

void RunBlend(benchmark::State& st, bool yuy2, Kernel kernel) {
    const int32_t w = int32_t(st.range(0)), h = int32_t(st.range(1));
    const bool whole = st.range(2) != 0;
    const int32_t bpp = yuy2 ? 2 : 3;
    BlendCase c(w, h, bpp, whole, whole ? 0 : 1);
    if (kernel == kSse2 && !(DetectedCpuFeatures() & kCpuSse2)) {
        st.SkipWithError("no SSE2");
        return;
    }
    for (auto _ : st) {
        if (yuy2)
            kernel == kSse2 ? BlendYUY2Sse2(c.args) : BlendYUY2Reference(c.args);
        else
            kernel == kSse2 ? BlendRGB24Sse2(c.args) : BlendRGB24Reference(c.args);
        benchmark::DoNotOptimize(c.frame.data());
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(c.TouchedBytes(bpp)));
}

// The same bytes a blend reads and writes, copied once.
void Memcpy(benchmark::State& st, int32_t bytesPerPixel) {
    const int32_t w = int32_t(st.range(0)), h = int32_t(st.range(1));
    BlendCase c(w, h, bytesPerPixel, st.range(2) != 0, 0);
    const size_t n = c.TouchedBytes(bytesPerPixel);
    std::vector<uint8_t> from(n, 1), to(n);
    for (auto _ : st) {
        std::memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(n));
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int whole : {0, 1}) {
        b->Args({720, 576, whole});
        b->Args({1920, 1080, whole});
    }
    b->ArgNames({"w", "h", "whole"});
}

void YUY2Reference(benchmark::State& st) { RunBlend(st, true, kReference); }
void YUY2Sse2(benchmark::State& st) { RunBlend(st, true, kSse2); }
void RGB24Reference(benchmark::State& st) { RunBlend(st, false, kReference); }
void RGB24Sse2(benchmark::State& st) { RunBlend(st, false, kSse2); }
void MemcpyYUY2Bytes(benchmark::State& st) { Memcpy(st, 2); }
void MemcpyRGB24Bytes(benchmark::State& st) { Memcpy(st, 3); }

BENCHMARK(YUY2Reference)->Apply(Sizes);
BENCHMARK(YUY2Sse2)->Apply(Sizes);
BENCHMARK(MemcpyYUY2Bytes)->Apply(Sizes);
BENCHMARK(RGB24Reference)->Apply(Sizes);
BENCHMARK(RGB24Sse2)->Apply(Sizes);
BENCHMARK(MemcpyRGB24Bytes)->Apply(Sizes);

// ProcessFrame with a caption on every frame (drawn) or with a long gap.
void ProcessFrames(benchmark::State& st, bool drawn) {
    BoxCaptionRenderer renderer;
    ResetOverlay(renderer);
    SetBuiltinEntries({{"cat", "koshka"}, {"dog", "sobaka"}, {"sun", "solntse"}});
    const int32_t w = int32_t(st.range(0)), h = int32_t(st.range(1));
    const StreamFormat format = {w, h, 0, 0};
    overlay::StreamStart(&format);
    std::vector<uint8_t> pixels(size_t(w) * h * 2, 0x50);
    FrameRecord record = {pixels.data()};
    if (drawn) {
        workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 1;
        workingSettings.ShowTimeFrom = workingSettings.ShowTimeTo = 1;
        workingSettings.Transparency = 50;
        workingSettings.BackType = 1;
    } else {
        workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 2000000000;
        overlay::ProcessFrame(&record);  // the first entry; then only gap frames
    }
    for (auto _ : st) benchmark::DoNotOptimize(overlay::ProcessFrame(&record));
    overlay::StreamStop();
}

void DrawnFrame(benchmark::State& st) { ProcessFrames(st, true); }
void GapFrame(benchmark::State& st) { ProcessFrames(st, false); }

BENCHMARK(DrawnFrame)->Args({720, 576})->Args({1920, 1080})->ArgNames({"w", "h"});
BENCHMARK(GapFrame)->Args({720, 576})->ArgNames({"w", "h"});

}  // namespace
