// ProcessFrame with the FreeType renderer the Linux plug-in uses
// (process_frame_cases.h): the per-frame cost the drawtext comparison
// measures through the host, without the pipe and the copy. And a new
// caption alone, in several scripts, as the engine has it drawn on a
// 1920x1080 frame:
//   NewCaption/SCRIPT   both lines measured, the last caption's rectangle
//                       cleared, the lines drawn; glyphs cached, as they are
//                       once a dictionary's letters have shown
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/process_frame_cases.h"
#include "render/freetype_caption_renderer.h"

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

const bool registered = [] {
    RegisterProcessFrameCases("freetype", [] { return std::make_unique<FreeTypeCaptionRenderer>(); });
    for (const Caption& caption : kCaptions)
        benchmark::RegisterBenchmark((std::string("NewCaption/") + caption.script).c_str(), NewCaption, caption)
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
