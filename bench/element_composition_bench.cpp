// The element's cost per 1080p buffer, pushed and pulled through a harness,
// when downstream blends the caption itself (the composition path: the
// frame is only read and a rectangle attached) against the element
// blending it: with one caption held over 100 buffers (drawn on the first)
// and with a new caption on every buffer. The same buffer goes round again,
// so no allocation or copy of the frame is counted.
#include <benchmark/benchmark.h>
#include <gst/check/gstharness.h>
#include <gst/video/video.h>

#include <string>

namespace {

const char kHeld[] = "show-freq-from=100 show-freq-to=100 show-time-from=100 show-time-to=100";
const char kDrawn[] = "show-freq-from=1 show-freq-to=1";

void Buffer(benchmark::State& state, const char* format, bool compose, const char* schedule) {
    GstHarness* harness = gst_harness_new_parse(
        (std::string("tpp25frame mode=flash settings-file=none progress-db=none rules-type=a-z ") + schedule).c_str());
    if (compose) gst_harness_add_propose_allocation_meta(harness, GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE, nullptr);
    GstVideoInfo info;
    gst_video_info_set_format(&info, gst_video_format_from_string(format), 1920, 1080);
    info.fps_n = 25;
    gst_harness_set_src_caps(harness, gst_video_info_to_caps(&info));
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr);
    gst_buffer_memset(buffer, 0, 90, GST_VIDEO_INFO_SIZE(&info));
    for (auto _ : state) {
        buffer = gst_harness_push_and_pull(harness, buffer);
        if (GstVideoOverlayCompositionMeta* meta = gst_buffer_get_video_overlay_composition_meta(buffer))
            gst_buffer_remove_video_overlay_composition_meta(buffer, meta);
    }
    gst_buffer_unref(buffer);
    gst_harness_teardown(harness);
}

}  // namespace

BENCHMARK_CAPTURE(Buffer, BGRx_blend_held, "BGRx", false, kHeld)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, BGRx_compose_held, "BGRx", true, kHeld)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, BGRx_blend_drawn, "BGRx", false, kDrawn)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, BGRx_compose_drawn, "BGRx", true, kDrawn)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, I420_blend_held, "I420", false, kHeld)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, I420_compose_held, "I420", true, kHeld)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, I420_blend_drawn, "I420", false, kDrawn)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffer, I420_compose_drawn, "I420", true, kDrawn)->Unit(benchmark::kMicrosecond);
