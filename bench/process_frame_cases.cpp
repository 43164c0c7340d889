#include "bench/process_frame_cases.h"

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_timing.h"
#include "plugin/loaded_instance.h"
#include "plugin/plugin_record.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"

namespace {

// The instance the record's callbacks serve while a case runs.
PluginInstance* servedInstance = nullptr;

enum class Kind { kFirst, kHeld, kGap };

struct Case {
    Kind kind;
    int32_t width, height;
    int32_t pixelFormat;  // the host's: 0 YUY2, 1 RGB24
    int32_t backType;
    int32_t outlineWidth = 0;  // canvas units
};

constexpr int32_t kForever = 2000000000;
constexpr uint32_t kOpacity = 50;

// The blend of the caption on the engine's canvas alone, as its frames
// blend it: with the runs the renderer's drawing gave, or reading the
// caption's whole rectangle.
double BlendAloneNanoseconds(PluginInstance& plugin, std::vector<uint8_t>& pixels, const Case& c, bool withRuns) {
    const SettingsRecord settings = plugin.Settings();
    const FrameView frame = c.pixelFormat == 0 ? HostYuy2Frame(pixels.data(), c.width, c.height)
                                               : HostRgb24Frame(pixels.data(), c.width, c.height);
    const CanvasView canvas = OverlayEngineInternals::Canvas(OverlayOf(plugin));
    const PixelRect caption = OverlayEngineInternals::DrawnPixels(OverlayOf(plugin));
    const PixelRect area = c.backType == 2 ? PixelRect{0, 0, c.width, c.height} : caption;
    const CanvasRuns runs = OverlayOf(plugin).captionRuns();
    const BlendJob job = {frame,
                          canvas,
                          area,
                          area.left,
                          area.top,
                          caption,
                          withRuns ? &runs : nullptr,
                          kOpacity,
                          settings.BackColor & 0xFFFFFFu,
                          c.backType == 0};
    return NanosecondsOf([&] {
        BlendOn(OverlayOf(plugin).kernelPath(), job);
        benchmark::DoNotOptimize(pixels.data());
    });
}

void FrameCase(benchmark::State& st, const MakeRenderer& makeRenderer, Case c) {
    InstanceParts parts;
    parts.renderer = makeRenderer();
    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance(std::move(parts));
    OverlayOf(*plugin).CreateRenderContext();
    // Windows-1251 translations, as the built-in dictionary holds them.
    SetBuiltinEntries(*plugin, {{"niece", "\xEF\xEB\xE5\xEC\xFF\xED\xED\xE8\xF6\xE0"},
                                {"sky", "\xED\xE5\xE1\xEE"},
                                {"window", "\xEE\xEA\xED\xEE"}});
    SetWorking(*plugin, [&](SettingsRecord& settings) {
        settings.ShowFreqFrom = settings.ShowFreqTo = c.kind == Kind::kFirst ? 1 : kForever;
        settings.ShowTimeFrom = settings.ShowTimeTo = c.kind == Kind::kHeld ? kForever : 1;
        settings.BackType = c.backType;
        settings.Transparency = kOpacity;
        settings.OutlineWidth = c.outlineWidth;
    });

    servedInstance = plugin.get();
    const StreamFormat format = {c.width, c.height, 0, c.pixelFormat};
    pluginRecord.StreamStart(&format);
    std::vector<uint8_t> pixels(size_t(c.width) * c.height * (c.pixelFormat == 0 ? 2 : 3), 0x50);
    FrameRecord record = {pixels.data()};
    pluginRecord.ProcessFrame(&record);  // the first caption; then it is held, or the gap follows
    const double start = ThreadNanoseconds();
    for (auto _ : st) benchmark::DoNotOptimize(pluginRecord.ProcessFrame(&record));
    const double each = (ThreadNanoseconds() - start) / double(st.iterations());
    if (c.kind != Kind::kGap) {
        const double blend = BlendAloneNanoseconds(*plugin, pixels, c, true);
        st.counters["x_blend"] = each / blend;
        st.counters["rect_vs_runs"] = BlendAloneNanoseconds(*plugin, pixels, c, false) / blend;
        st.counters["x_memcpy"] = each / MemcpyNanoseconds(pixels.size());
    }
    pluginRecord.StreamStop();
    servedInstance = nullptr;
}

}  // namespace

PluginInstance* LoadedInstance() { return servedInstance; }

void RegisterProcessFrameCases(const std::string& rendererName, const MakeRenderer& makeRenderer) {
    const std::string prefix = "ProcessFrame/" + rendererName + "/";
    for (const auto& [w, h] : {std::pair{720, 576}, std::pair{1920, 1080}}) {
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        for (const Kind kind : {Kind::kFirst, Kind::kHeld})
            for (int32_t pixelFormat : {0, 1})
                for (int32_t backType : {0, 1, 2}) {
                    const std::string name = prefix + (kind == Kind::kFirst ? "first/" : "held/") + size +
                                             (pixelFormat == 0 ? "/yuy2" : "/rgb24") +
                                             "/backtype:" + std::to_string(backType);
                    benchmark::RegisterBenchmark(name.c_str(), FrameCase, makeRenderer,
                                                 Case{kind, w, h, pixelFormat, backType})
                        ->Unit(benchmark::kMicrosecond);
                }
        benchmark::RegisterBenchmark((prefix + "gap/" + size).c_str(), FrameCase, makeRenderer,
                                     Case{Kind::kGap, w, h, 0, 0});
    }
    // The outline's cost, painted once per caption, beside the same cases
    // without it.
    for (const Kind kind : {Kind::kFirst, Kind::kHeld})
        for (int32_t backType : {0, 1}) {
            const std::string name = prefix + (kind == Kind::kFirst ? "first/" : "held/") +
                                     "1920x1080/yuy2/backtype:" + std::to_string(backType) + "/outline:3";
            benchmark::RegisterBenchmark(name.c_str(), FrameCase, makeRenderer, Case{kind, 1920, 1080, 0, backType, 3})
                ->Unit(benchmark::kMicrosecond);
        }
}
