// The blend kernels beside a warm memcpy of the frame's own bytes, on every
// path and format; the cost of ProcessFrame on drawn and on gap frames with
// the box renderer.
//
// Blend/FORMAT/WxH/CASE/PATH, cases:
//   caption      BackType 1: the caption's rectangle, the canvas read in it
//   whole        BackType 2: the whole frame, the canvas read only in the caption
//   keyed_few    BackType 0, key on, runs given: few glyph pixels
//   keyed_many   the same rectangle with eight times as many
//   keyed_noruns BackType 0 without runs: the whole rectangle read
// Each reports x_memcpy: its CPU time over that of a warm memcpy of the
// frame's bytes (all planes), measured just before it; Memcpy/FORMAT/WxH is
// that copy on its own.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "overlay/blend.h"
#include "plugin/host_callbacks.h"
#include "tests/native/blend_surfaces.h"
#include "tests/support/test_instance.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kOrange = 0x00A0FF;

struct Format {
    const char* name;
    FrameFormat format;
    bool bottomUp;
};
constexpr Format kFormats[] = {{"yuy2", FrameFormat::kYuy2, false}, {"rgb24", FrameFormat::kBgr, true},
                               {"bgr", FrameFormat::kBgr, false},   {"bgrx", FrameFormat::kBgrx, false},
                               {"i420", FrameFormat::kI420, false},  {"nv12", FrameFormat::kNv12, false}};
enum Case { kCaption, kWhole, kKeyedFew, kKeyedMany, kKeyedNoRuns };
constexpr const char* kCaseNames[] = {"caption", "whole", "keyed_few", "keyed_many", "keyed_noruns"};
constexpr KernelPath kPaths[] = {KernelPath::kReference, KernelPath::kSse2, KernelPath::kAvx2};
constexpr const char* kPathNames[] = {"reference", "sse2", "avx2"};

size_t FrameBytes(const TestFrame& frame) {
    size_t n = 0;
    for (const auto& plane : frame.planes) n += plane.size();
    return n;
}

// CPU time of this thread: the machine is shared, wall time is not ours.
double ThreadNanoseconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// CPU nanoseconds of a warm memcpy of the frame's bytes, on average.
double MemcpyNanoseconds(size_t bytes) {
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    std::memcpy(to.data(), from.data(), bytes);
    constexpr int kRuns = 50;
    const double start = ThreadNanoseconds();
    for (int i = 0; i < kRuns; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    }
    return (ThreadNanoseconds() - start) / kRuns;
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

    Scene(const Format& f, int32_t w, int32_t h, Case c)
        : frame(f.format, w, h, 0, f.bottomUp), canvas(w, h) {
        for (auto& plane : frame.planes) std::fill(plane.begin(), plane.end(), 0x50);
        const PixelRect caption = {w / 4, h * 5 / 12, w * 3 / 4, h * 7 / 12};
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const bool inside = x >= caption.left && x < caption.right && y >= caption.top && y < caption.bottom;
                const bool inWord = c != kKeyedFew || (x - caption.left) * 8 / (caption.right - caption.left) == 4;
                const bool glyph = inside && inWord && y % 8 != 0 && x % 5 < 2;
                canvas.Paint(x, y, glyph ? kOrange : kWhite);
            }
        runs = ScanCanvasRuns(canvas.View(), caption, kWhite);
        runsView = runs.view();
        const bool whole = c == kWhole, keyed = c >= kKeyedFew;
        const PixelRect area = whole ? PixelRect{0, 0, w, h} : caption;
        job = {frame.View(), canvas.View(), area,     area.left, area.top,       caption,
               nullptr,      50,            kWhite,   keyed ? 1u : 0u};
        if (c == kKeyedFew || c == kKeyedMany) job.runs = &runsView;
    }
};

void BlendCase(benchmark::State& st, Format format, int32_t w, int32_t h, Case c, KernelPath path) {
    if (!PathAvailable(path)) {
        st.SkipWithError("not on this processor");
        return;
    }
    Scene scene(format, w, h, c);
    const double copy = MemcpyNanoseconds(FrameBytes(scene.frame));
    const double start = ThreadNanoseconds();
    for (auto _ : st) {
        BlendOn(path, scene.job);
        benchmark::DoNotOptimize(scene.frame.planes[0].data());
    }
    const double each = (ThreadNanoseconds() - start) / double(st.iterations());
    st.counters["x_memcpy"] = each / copy;
    st.counters["glyph_px"] = double(c >= kKeyedFew ? [&] {
        int64_t n = 0;
        for (const CanvasRun& run : scene.runs.runs()) n += run.right - run.left;
        return n;
    }() : 0);
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
            benchmark::RegisterBenchmark(("Memcpy/" + std::string(format.name) + "/" + size).c_str(), Memcpy, format,
                                         w, h);
            for (int c = kCaption; c <= kKeyedNoRuns; ++c)
                for (int p = 0; p < 3; ++p)
                    benchmark::RegisterBenchmark(("Blend/" + std::string(format.name) + "/" + size + "/" +
                                                  kCaseNames[c] + "/" + kPathNames[p])
                                                     .c_str(),
                                                 BlendCase, format, w, h, Case(c), kPaths[p]);
        }
    return true;
}();

// ProcessFrame with a caption on every frame (drawn) or with a long gap.
void ProcessFrames(benchmark::State& st, bool drawn) {
    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    SetBuiltinEntries(*plugin, {{"cat", "koshka"}, {"dog", "sobaka"}, {"sun", "solntse"}});
    SettingsRecord& workingSettings = plugin->settings.workingSettings;
    const int32_t w = int32_t(st.range(0)), h = int32_t(st.range(1));
    const StreamFormat format = {w, h, 0, 0};
    host::StreamStart(*plugin, &format);
    std::vector<uint8_t> pixels(size_t(w) * h * 2, 0x50);
    FrameRecord record = {pixels.data()};
    if (drawn) {
        workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 1;
        workingSettings.ShowTimeFrom = workingSettings.ShowTimeTo = 1;
        workingSettings.Transparency = 50;
        workingSettings.BackType = int32_t(st.range(2));
    } else {
        workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 2000000000;
        host::ProcessFrame(*plugin, &record);  // the first entry; then only gap frames
    }
    for (auto _ : st) benchmark::DoNotOptimize(host::ProcessFrame(*plugin, &record));
    plugin->StreamStop();
}

void DrawnFrame(benchmark::State& st) { ProcessFrames(st, true); }
void GapFrame(benchmark::State& st) { ProcessFrames(st, false); }

BENCHMARK(DrawnFrame)
    ->Args({720, 576, 1})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 2})
    ->ArgNames({"w", "h", "backtype"});
BENCHMARK(GapFrame)->Args({720, 576})->ArgNames({"w", "h"});

}  // namespace
