// The time each buffer spends in an element, from its sink pad to its src
// pad (probes on both, on the streaming thread): the wall clock, which
// counts the time the thread waited for a core, and the thread's own CPU
// time, which does not. In microseconds, for the element benchmarks, with
// the 1080p frames they feed.
#pragma once

#include <benchmark/benchmark.h>
#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Sets harness's caps to 1080p frames of format at 25 a second; one such
// frame's bytes, all 90.
inline std::vector<uint8_t> Feed1080p(GstHarness* harness, GstVideoFormat format) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, format, 1920, 1080);
    info.fps_n = 25;
    gst_harness_set_src_caps(harness, gst_video_info_to_caps(&info));
    return std::vector<uint8_t>(GST_VIDEO_INFO_SIZE(&info), 90);
}

struct PadSpans {
    std::chrono::steady_clock::time_point in;
    double cpuIn = 0;
    std::vector<double> wall, cpu;
};

inline double ThreadMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

inline GstPadProbeReturn AtSink(GstPad*, GstPadProbeInfo*, gpointer data) {
    PadSpans& spans = *static_cast<PadSpans*>(data);
    spans.cpuIn = ThreadMicroseconds();
    spans.in = std::chrono::steady_clock::now();
    return GST_PAD_PROBE_OK;
}

inline GstPadProbeReturn AtSrc(GstPad*, GstPadProbeInfo*, gpointer data) {
    PadSpans& spans = *static_cast<PadSpans*>(data);
    spans.wall.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - spans.in).count());
    spans.cpu.push_back(ThreadMicroseconds() - spans.cpuIn);
    return GST_PAD_PROBE_OK;
}

// Probes element's sink and src pads into spans.
inline void ProbePads(GstElement* element, PadSpans& spans) {
    for (const auto& [pad, probe] : {std::pair<const char*, GstPadProbeCallback>{"sink", AtSink}, {"src", AtSrc}}) {
        GstPad* found = gst_element_get_static_pad(element, pad);
        gst_pad_add_probe(found, GST_PAD_PROBE_TYPE_BUFFER, probe, &spans, nullptr);
        gst_object_unref(found);
    }
}

// The mean, median, 99.9th percentile and slowest of spans, as counters
// named with prefix ("cpu_" for the CPU time).
inline void ReportSpans(benchmark::State& state, const std::string& prefix, std::vector<double>& spans) {
    if (spans.empty()) return;
    std::sort(spans.begin(), spans.end());
    double sum = 0;
    for (const double span : spans) sum += span;
    state.counters[prefix + "mean_us"] = sum / double(spans.size());
    state.counters[prefix + "median_us"] = spans[spans.size() / 2];
    state.counters[prefix + "p99.9_us"] = spans[std::min(spans.size() - 1, spans.size() * 999 / 1000)];
    state.counters[prefix + "max_us"] = spans.back();
}
