// ProcessFrame with the FreeType renderer the Linux plug-in uses
// (process_frame_cases.h): the per-frame cost the drawtext comparison
// measures through the host, without the pipe and the copy.
#include <benchmark/benchmark.h>

#include "bench/process_frame_cases.h"
#include "render/freetype_caption_renderer.h"

namespace {

const bool registered = [] {
    RegisterProcessFrameCases("freetype", [] { return std::make_unique<FreeTypeCaptionRenderer>(); });
    return true;
}();

}  // namespace
