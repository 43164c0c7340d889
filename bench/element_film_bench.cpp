// What teaching a film's words costs the element a buffer: 1080p I420
// buffers at 25 a second of the film's time, in study mode, with
// subtitles= a two-hour film's .srt (bench/film_srt.sh; TPP_FILM_SRT names
// it) against the same buffers without. Reading the subtitles happens at
// the start, outside the timed buffers. The thread's CPU time (cpu_) and
// the wall clock, sink pad to src pad, in microseconds.
#include <benchmark/benchmark.h>
#include <gst/check/gstharness.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pad_spans.h"

namespace {

void Buffers(benchmark::State& state, bool subtitles) {
    const char* srt = std::getenv("TPP_FILM_SRT");
    if (subtitles && !srt) {
        state.SkipWithError("TPP_FILM_SRT names no .srt");
        return;
    }
    const std::string film = subtitles ? std::string(" subtitles=") + srt : std::string();
    GstHarness* harness = gst_harness_new_parse(
        ("tpp25frame settings-file=none progress-db=none study-every=10" + film).c_str());
    const std::vector<uint8_t> picture = Feed1080p(harness, GST_VIDEO_FORMAT_I420);
    GstElement* element = gst_harness_find_element(harness, "tpp25frame");
    PadSpans spans;
    ProbePads(element, spans);
    int64_t frame = 0;
    for (auto _ : state) {
        GstBuffer* buffer = gst_buffer_new_memdup(picture.data(), picture.size());
        GST_BUFFER_PTS(buffer) = frame++ * GST_SECOND / 25;
        GST_BUFFER_DURATION(buffer) = GST_SECOND / 25;
        gst_buffer_unref(gst_harness_push_and_pull(harness, buffer));
    }
    gst_object_unref(element);
    gst_harness_teardown(harness);
    ReportSpans(state, "", spans.wall);
    ReportSpans(state, "cpu_", spans.cpu);
}

}  // namespace

// Ten minutes of the film.
BENCHMARK_CAPTURE(Buffers, I420_subtitles, true)->Iterations(15000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffers, I420_dictionary, false)->Iterations(15000)->Unit(benchmark::kMicrosecond);
