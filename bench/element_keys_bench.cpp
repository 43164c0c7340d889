// The element's time for a 1080p frame from its sink pad to its src pad
// (pad probes on both), while a thread presses the viewer's keys every few
// milliseconds and the progress store records a showing for every frame
// and each mark: a new caption on every buffer, chosen by the spaced order
// over the built-in dictionary. Beside it the same frames without keys or
// store, in the a-z order. Reported as the 99.9th percentile, the slowest
// frame and the median, in microseconds: of the wall clock, which counts
// the time the streaming thread waited for a core, and of the thread's own
// CPU time (cpu_), which does not.
#include <benchmark/benchmark.h>
#include <gst/check/gstharness.h>
#include <gst/video/navigation.h>
#include <gst/video/video.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/pad_spans.h"

namespace {

// Marks, the next caption now, the last one again for longer, the help
// line: every key that keeps captions on.
void PressKeys(GstHarness* harness, const std::atomic<bool>& stop) {
    const char* keys[] = {"k", "a", "n", "r", "question", "a"};
    for (size_t i = 0; !stop; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(4))) {
        const char* key = keys[i % std::size(keys)];
        gst_harness_push_upstream_event(harness, gst_navigation_event_new_key_press(key, GST_NAVIGATION_MODIFIER_NONE));
        gst_harness_push_upstream_event(harness,
                                        gst_navigation_event_new_key_release(key, GST_NAVIGATION_MODIFIER_NONE));
    }
}

void Frame(benchmark::State& state, const char* format, bool learner) {
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("tpp-keys-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(folder);
    const std::string order = learner ? "rules-type=spaced progress-db=" + folder + "/progress.sqlite"
                                      : "rules-type=a-z progress-db=none";
    GstHarness* harness = gst_harness_new_parse(
        ("tpp25frame mode=flash settings-file=none show-freq-from=1 show-freq-to=1 " + order).c_str());
    const std::vector<uint8_t> picture = Feed1080p(harness, gst_video_format_from_string(format));
    GstElement* element = gst_harness_find_element(harness, "tpp25frame");
    PadSpans spans;
    ProbePads(element, spans);
    // The first frame registers the list and builds the order: a run's start.
    gst_buffer_unref(gst_harness_push_and_pull(harness, gst_buffer_new_memdup(picture.data(), picture.size())));
    spans.wall.clear();
    spans.cpu.clear();

    std::atomic<bool> stop{!learner};
    std::thread keys(PressKeys, harness, std::cref(stop));
    for (auto _ : state)
        gst_buffer_unref(gst_harness_push_and_pull(harness, gst_buffer_new_memdup(picture.data(), picture.size())));
    stop = true;
    keys.join();
    gst_object_unref(element);
    gst_harness_teardown(harness);
    std::filesystem::remove_all(folder);

    ReportSpans(state, "", spans.wall);
    ReportSpans(state, "cpu_", spans.cpu);
}

}  // namespace

BENCHMARK_CAPTURE(Frame, I420_keys_store, "I420", true)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Frame, I420_plain, "I420", false)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Frame, BGRx_keys_store, "BGRx", true)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Frame, BGRx_plain, "BGRx", false)->Iterations(10000)->Unit(benchmark::kMicrosecond);
