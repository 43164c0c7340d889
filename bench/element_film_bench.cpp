// What teaching a film's words costs the element a buffer: 1080p I420
// buffers at 25 a second of the film's time, in study mode, with
// subtitles= a two-hour film's .srt (bench/film_srt.sh; TPP_FILM_SRT names
// it) against the same buffers without. Reading the subtitles happens at
// the start, outside the timed buffers. The thread's CPU time (cpu_) and
// the wall clock, sink pad to src pad, in microseconds.
#include <benchmark/benchmark.h>
#include <gst/check/gstharness.h>
#include <gst/video/video.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ThreadMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

struct PadSpans {
    Clock::time_point in;
    double cpuIn = 0;
    std::vector<double> wall, cpu;
};

GstPadProbeReturn AtSink(GstPad*, GstPadProbeInfo*, gpointer data) {
    PadSpans& spans = *static_cast<PadSpans*>(data);
    spans.cpuIn = ThreadMicroseconds();
    spans.in = Clock::now();
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn AtSrc(GstPad*, GstPadProbeInfo*, gpointer data) {
    PadSpans& spans = *static_cast<PadSpans*>(data);
    spans.wall.push_back(std::chrono::duration<double, std::micro>(Clock::now() - spans.in).count());
    spans.cpu.push_back(ThreadMicroseconds() - spans.cpuIn);
    return GST_PAD_PROBE_OK;
}

void Report(benchmark::State& state, const std::string& prefix, std::vector<double>& spans) {
    std::sort(spans.begin(), spans.end());
    double sum = 0;
    for (const double span : spans) sum += span;
    state.counters[prefix + "mean_us"] = sum / double(spans.size());
    state.counters[prefix + "median_us"] = spans[spans.size() / 2];
    state.counters[prefix + "p99.9_us"] = spans[std::min(spans.size() - 1, spans.size() * 999 / 1000)];
}

void Buffers(benchmark::State& state, bool subtitles) {
    const char* srt = std::getenv("TPP_FILM_SRT");
    if (subtitles && !srt) {
        state.SkipWithError("TPP_FILM_SRT names no .srt");
        return;
    }
    const std::string film = subtitles ? std::string(" subtitles=") + srt : std::string();
    GstHarness* harness = gst_harness_new_parse(
        ("tpp25frame settings-file=none progress-db=none study-every=10" + film).c_str());
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, 1920, 1080);
    info.fps_n = 25;
    gst_harness_set_src_caps(harness, gst_video_info_to_caps(&info));
    GstElement* element = gst_harness_find_element(harness, "tpp25frame");
    PadSpans spans;
    for (const auto& [pad, probe] : {std::pair<const char*, GstPadProbeCallback>{"sink", AtSink}, {"src", AtSrc}}) {
        GstPad* found = gst_element_get_static_pad(element, pad);
        gst_pad_add_probe(found, GST_PAD_PROBE_TYPE_BUFFER, probe, &spans, nullptr);
        gst_object_unref(found);
    }
    const std::vector<uint8_t> picture(GST_VIDEO_INFO_SIZE(&info), 90);
    int64_t frame = 0;
    for (auto _ : state) {
        GstBuffer* buffer = gst_buffer_new_memdup(picture.data(), picture.size());
        GST_BUFFER_PTS(buffer) = frame++ * GST_SECOND / 25;
        GST_BUFFER_DURATION(buffer) = GST_SECOND / 25;
        gst_buffer_unref(gst_harness_push_and_pull(harness, buffer));
    }
    gst_object_unref(element);
    gst_harness_teardown(harness);
    Report(state, "", spans.wall);
    Report(state, "cpu_", spans.cpu);
}

}  // namespace

// Ten minutes of the film.
BENCHMARK_CAPTURE(Buffers, I420_subtitles, true)->Iterations(15000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Buffers, I420_dictionary, false)->Iterations(15000)->Unit(benchmark::kMicrosecond);
