// ProcessFrame alone, a caption drawn on every frame, with the FreeType
// renderer the Linux plug-in uses: the per-frame cost the drawtext
// comparison measures through the host, without the pipe and the copy.
#include <benchmark/benchmark.h>

#include <vector>

#include "plugin/host_callbacks.h"
#include "render/freetype_caption_renderer.h"
#include "tests/support/test_instance.h"

namespace {

void DrawnFrameFreeType(benchmark::State& st) {
    InstanceParts parts;
    parts.renderer = std::make_unique<FreeTypeCaptionRenderer>();
    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance(std::move(parts));
    SettingsRecord& workingSettings = plugin->settings.workingSettings;
    plugin->overlay.CreateRenderContext();
    // Windows-1251 translations, as the built-in dictionary holds them.
    SetBuiltinEntries(*plugin, {{"niece", "\xEF\xEB\xE5\xEC\xFF\xED\xED\xE8\xF6\xE0"},
                       {"sky", "\xED\xE5\xE1\xEE"},
                       {"window", "\xEE\xEA\xED\xEE"}});
    workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 1;
    workingSettings.ShowTimeFrom = workingSettings.ShowTimeTo = 1;
    workingSettings.BackType = 1;
    workingSettings.Transparency = 50;

    const int32_t w = int32_t(st.range(0)), h = int32_t(st.range(1)), pixelFormat = int32_t(st.range(2));
    const StreamFormat format = {w, h, 0, pixelFormat};
    host::StreamStart(*plugin, &format);
    std::vector<uint8_t> pixels(size_t(w) * h * (pixelFormat == 0 ? 2 : 3), 0x50);
    FrameRecord record = {pixels.data()};
    for (auto _ : st) benchmark::DoNotOptimize(host::ProcessFrame(*plugin, &record));
    plugin->StreamStop();
}

BENCHMARK(DrawnFrameFreeType)
    ->Args({720, 576, 0})
    ->Args({720, 576, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->ArgNames({"w", "h", "rgb24"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
