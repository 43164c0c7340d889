// The blend kernels beside a warm memcpy of the frame's own bytes, on every
// path and format; ProcessFrame with the box renderer (process_frame_cases.h).
//
// Blend/FORMAT/WxH/CASE/PATH, cases:
//   caption      BackType 1: the caption's rectangle, the canvas read in it
//   whole        BackType 2: the whole frame, the canvas read only in the caption
//   keyed_few    BackType 0, key on, runs given (joined as the engine joins them): few glyph pixels
//   keyed_many   the same rectangle with eight times as many
//   keyed_few_frame  the glyph pixels of keyed_few, the whole frame as rectangle
//   keyed_noruns BackType 0 without runs: the whole rectangle read
//   caption_held, whole_held  caption and whole for a caption held over
//                frames: through its colours in the frame's format, made once
// Each reports x_memcpy: its CPU time over that of a warm memcpy of the
// frame's bytes (all planes), measured just before it, and the keyed ones
// glyph_px and rect_px, the glyph pixels and the rectangle's area;
// Memcpy/FORMAT/WxH is that copy on its own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/process_frame_cases.h"
#include "blend/blend.h"
#include "render/box_caption_renderer.h"
#include "tests/native/blend_surfaces.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kOrange = 0x00A0FF;

struct Format {
    const char* name;
    FrameFormat format;
    bool bottomUp;
};
constexpr Format kFormats[] = {
    {"yuy2", FrameFormat::kYuy2, false},      {"rgb24", FrameFormat::kBgr, true},  {"bgr", FrameFormat::kBgr, false},
    {"bgrx", FrameFormat::kBgrx, false},      {"i420", FrameFormat::kI420, false}, {"nv12", FrameFormat::kNv12, false},
    {"rgbx", FrameFormat::kRgbx, false},      {"xrgb", FrameFormat::kXrgb, false}, {"xbgr", FrameFormat::kXbgr, false},
    {"uyvy", FrameFormat::kUyvy, false},      {"nv21", FrameFormat::kNv21, false}, {"p010", FrameFormat::kP010, false},
    {"i420p10", FrameFormat::kI420p10, false}};
enum Case { kCaption, kWhole, kKeyedFew, kKeyedMany, kKeyedFewFrame, kKeyedNoRuns, kCaptionHeld, kWholeHeld };
constexpr const char* kCaseNames[] = {"caption",         "whole",        "keyed_few",    "keyed_many",
                                      "keyed_few_frame", "keyed_noruns", "caption_held", "whole_held"};
bool Keyed(Case c) { return c >= kKeyedFew && c <= kKeyedNoRuns; }
constexpr KernelPath kPaths[] = {KernelPath::kReference, KernelPath::kSse2, KernelPath::kAvx2};
constexpr const char* kPathNames[] = {"reference", "sse2", "avx2"};

size_t FrameBytes(const TestFrame& frame) {
    size_t n = 0;
    for (const auto& plane : frame.planes) n += plane.size();
    return n;
}

// A caption half the frame wide and a sixth of it high, in the middle;
// glyph pixels in vertical strokes, two columns in five, across the whole
// caption (many) or in an eighth of its width (few).
struct Scene {
    TestFrame frame;
    TestCanvas canvas;
    CanvasRunList runs;
    CanvasRuns runsView;
    BlendJob job;

    Scene(const Format& f, int32_t w, int32_t h, Case c) : frame(f.format, w, h, 0, f.bottomUp), canvas(w, h) {
        for (auto& plane : frame.planes) std::fill(plane.begin(), plane.end(), 0x50);
        const PixelRect words = {w / 4, h * 5 / 12, w * 3 / 4, h * 7 / 12};
        const bool few = c == kKeyedFew || c == kKeyedFewFrame;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const bool inside = x >= words.left && x < words.right && y >= words.top && y < words.bottom;
                const bool inWord = !few || (x - words.left) * 8 / (words.right - words.left) == 4;
                const bool glyph = inside && inWord && y % 8 != 0 && x % 5 < 2;
                canvas.Paint(x, y, glyph ? kOrange : kWhite);
                glyphs += glyph;
            }
        caption = c == kKeyedFewFrame ? PixelRect{0, 0, w, h} : words;
        runs = ScanCanvasRuns(canvas.View(), caption, kWhite, kRunJoinGap);  // as the engine joins them
        runsView = runs.view();
        const bool whole = c == kWhole || c == kWholeHeld, keyed = Keyed(c);
        const PixelRect area = whole ? PixelRect{0, 0, w, h} : caption;
        job = {frame.View(), canvas.View(), area, area.left, area.top, caption, nullptr, 50, kWhite, keyed};
        if (keyed && c != kKeyedNoRuns) job.runs = &runsView;
    }
    PixelRect caption;
    int64_t glyphs = 0;
};

void BlendCase(benchmark::State& st, Format format, int32_t w, int32_t h, Case c, KernelPath path) {
    if (!PathAvailable(path)) {
        st.SkipWithError("not on this processor");
        return;
    }
    Scene scene(format, w, h, c);
    std::vector<uint8_t> storage;
    const FrameView targets = FrameIn(storage, format.format, w, h);
    const bool held = c == kCaptionHeld || c == kWholeHeld;
    if (held) PrepareTargetsOn(path, scene.job, targets);
    const double copy = MemcpyNanoseconds(FrameBytes(scene.frame));
    const double start = ThreadNanoseconds();
    for (auto _ : st) {
        BlendOn(path, scene.job, held ? &targets : nullptr);
        benchmark::DoNotOptimize(scene.frame.planes[0].data());
    }
    const double each = (ThreadNanoseconds() - start) / double(st.iterations());
    st.counters["x_memcpy"] = each / copy;
    if (Keyed(c)) {
        st.counters["glyph_px"] = double(scene.glyphs);
        const PixelRect& r = scene.caption;
        st.counters["rect_px"] = double(int64_t(r.right - r.left) * (r.bottom - r.top));
    }
}

void Memcpy(benchmark::State& st, Format format, int32_t w, int32_t h) {
    const TestFrame frame(format.format, w, h);
    const size_t bytes = FrameBytes(frame);
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    for (auto _ : st) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(bytes));
}

const bool registered = [] {
    for (const Format& format : kFormats)
        for (const auto& [w, h] : {std::pair{720, 576}, std::pair{1920, 1080}}) {
            const std::string size = std::to_string(w) + "x" + std::to_string(h);
            benchmark::RegisterBenchmark(("Memcpy/" + std::string(format.name) + "/" + size).c_str(), Memcpy, format, w,
                                         h);
            for (int c = kCaption; c <= kWholeHeld; ++c)
                for (int p = 0; p < 3; ++p)
                    benchmark::RegisterBenchmark(
                        ("Blend/" + std::string(format.name) + "/" + size + "/" + kCaseNames[c] + "/" + kPathNames[p])
                            .c_str(),
                        BlendCase, format, w, h, Case(c), kPaths[p]);
        }
    return true;
}();

const bool boxFramesRegistered = [] {
    RegisterProcessFrameCases("box", [] { return std::make_unique<BoxCaptionRenderer>(); });
    return true;
}();

}  // namespace
