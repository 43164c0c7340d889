// ProcessFrame with the FreeType renderer the Linux plug-in uses
// (process_frame_cases.h): the per-frame cost the drawtext comparison
// measures through the host, without the pipe and the copy. And a new
// caption alone, in several scripts, as the engine has it drawn on a
// 1920x1080 frame:
//   NewCaption/SCRIPT   both lines measured, the last caption's rectangle
//                       cleared, the lines drawn; glyphs cached, as they are
//                       once a dictionary's letters have shown
//   HostileCaption/private-use-4000  a word list's entry of 4,000 private-use
//                       characters, which no font has, as a caption's
//                       first frame at 1920x1080: measured, wrapped, shrunk
//                       until it fits and drawn, by a new instance each time
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "bench/process_frame_cases.h"
#include "plugin/host_callbacks.h"
#include "render/freetype_caption_renderer.h"
#include "tests/support/test_instance.h"

namespace {

struct Caption {
    const char* script;
    const char* word;
    const char* translation;
};

constexpr Caption kCaptions[] = {
    {"latin-cyrillic", "niece", "племянница"},
    {"german", "street", "Straße"},
    {"greek", "book", "βιβλίο"},
    {"hebrew", "book", "ספר"},
    {"arabic", "book", "كتاب"},
    {"devanagari", "book", "किताब"},
    {"thai", "book", "หนังสือ"},
    {"mixed", "book", "ספר (sefer)"},
};

void NewCaption(benchmark::State& st, const Caption& caption) {
    FreeTypeCaptionRenderer renderer;
    renderer.CreateContext();
    renderer.StartCanvas(1920, 1080);
    CaptionFont font = {};
    std::strcpy(font.faceName, "Arial");
    font.height = -40;
    font.weight = 400;
    renderer.SetFont(font);
    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, 0);
    const std::string text = std::string(caption.word) + "\n" + caption.translation;
    for (auto _ : st) {
        const TextExtent first = renderer.MeasureLine(caption.word, std::strlen(caption.word));
        const TextExtent second = renderer.MeasureLine(caption.translation, std::strlen(caption.translation));
        const int32_t width = std::max(first.width, second.width), height = first.height + second.height;
        const CanvasRect rect = {384 - width / 2, 288 - height / 2, 384 - width / 2 + width, 288 - height / 2 + height};
        renderer.Fill({rect.left - 2, rect.top - 2, rect.right + 2, rect.bottom + 2}, 0);
        renderer.DrawCentred(text, rect, 0xFFFFFF);
        benchmark::DoNotOptimize(renderer.DrawnBoxes()->data());
    }
}

void HostileCaption(benchmark::State& st) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tpp-hostile-caption-bench";
    std::filesystem::create_directories(folder);
    const std::string words = (folder / "words.dic").string(), settings = (folder / "settings.ini").string();
    std::string line;
    for (char32_t c = 0xE000; c < 0xE000 + 4000; ++c) {
        line += static_cast<char>(0xE0 | (c >> 12));
        line += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        line += static_cast<char>(0x80 | (c & 0x3F));
    }
    if (FILE* file = std::fopen(words.c_str(), "wb")) {
        std::fputs((line + " - x\r\n").c_str(), file);
        std::fclose(file);
    }
    if (FILE* file = std::fopen(settings.c_str(), "wb")) {
        std::fputs(("[PluginSettings]\r\nDicType=1\r\nShowFreqFrom=1\r\nShowFreqTo=1\r\nDicFileName=" + words + "\r\n")
                       .c_str(),
                   file);
        std::fclose(file);
    }
    const StreamFormat format = {1920, 1080, 0, 1};
    std::vector<uint8_t> frame(size_t(format.width) * format.height * 3, 0x50);
    FrameRecord record = {frame.data()};
    for (auto _ : st) {
        st.PauseTiming();
        InstanceParts parts;
        parts.renderer = std::make_unique<FreeTypeCaptionRenderer>();
        parts.settingsPath = settings;
        PluginInstance plugin(std::move(parts));
        plugin.Init();
        host::StreamStart(plugin, &format);
        st.ResumeTiming();
        host::ProcessFrame(plugin, &record);
        st.PauseTiming();
        plugin.StreamStop();
        st.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("HostileCaption/private-use-4000", HostileCaption)->Unit(benchmark::kMillisecond);
    RegisterProcessFrameCases("freetype", [] { return std::make_unique<FreeTypeCaptionRenderer>(); });
    for (const Caption& caption : kCaptions)
        benchmark::RegisterBenchmark((std::string("NewCaption/") + caption.script).c_str(), NewCaption, caption)
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
