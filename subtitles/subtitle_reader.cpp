#include "subtitles/subtitle_reader.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

constexpr const char* kNoTextTrack = "it has no text subtitle track";

struct Unref {
    void operator()(GstElement* element) const { gst_object_unref(element); }
};
using Pipeline = std::unique_ptr<GstElement, Unref>;

struct Collected {
    std::vector<SubtitleLine> lines;
    bool pango = false;
};

// Each text buffer becomes a line, timed in the film's own time.
GstFlowReturn TakeSample(GstAppSink* sink, gpointer data) {
    auto& collected = *static_cast<Collected*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_ERROR;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstSegment* segment = gst_sample_get_segment(sample);
    if (GstCaps* caps = gst_sample_get_caps(sample)) {
        const gchar* format = gst_structure_get_string(gst_caps_get_structure(caps, 0), "format");
        collected.pango = format && g_str_equal(format, "pango-markup");
    }
    GstMapInfo map;
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer) && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        GstClockTime start = GST_BUFFER_PTS(buffer);
        if (segment && segment->format == GST_FORMAT_TIME) {
            const GstClockTime time = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, start);
            if (GST_CLOCK_TIME_IS_VALID(time)) start = time;
        }
        const GstClockTime duration = GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : 0;
        std::string text = StripSubtitleMarkup(std::string_view(reinterpret_cast<const char*>(map.data), map.size),
                                               collected.pango);
        gst_buffer_unmap(buffer, &map);
        if (!text.empty())
            collected.lines.push_back(
                {static_cast<int64_t>(start), static_cast<int64_t>(start + duration), std::move(text)});
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

GstElement* MakeTextSink(Collected& collected) {
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = TakeSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &collected, nullptr);
    return sink;
}

struct Demuxing {
    GstElement* pipeline;
    Collected* collected;
    bool haveText = false;
};

// The first text stream goes to the lines; every other stream is drained.
void PadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto& demuxing = *static_cast<Demuxing*>(data);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    const bool text = caps && g_str_equal(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "text/x-raw");
    if (caps) gst_caps_unref(caps);
    GstElement* sink = nullptr;
    if (text && !demuxing.haveText) {
        demuxing.haveText = true;
        sink = MakeTextSink(*demuxing.collected);
    } else {
        sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    }
    gst_bin_add(GST_BIN(demuxing.pipeline), sink);
    gst_element_sync_state_with_parent(sink);
    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

// Streams are all known: one without text ends the pass at once.
void NoMorePads(GstElement* element, gpointer data) {
    auto& demuxing = *static_cast<Demuxing*>(data);
    if (demuxing.haveText) return;
    GstBus* bus = gst_element_get_bus(demuxing.pipeline);
    gst_bus_post(bus, gst_message_new_application(GST_OBJECT(element), gst_structure_new_empty("tpp-no-text")));
    gst_object_unref(bus);
}

// Runs to the end of the stream; false with error on an error or no text.
bool RunToEnd(GstElement* pipeline, std::string& error) {
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        error = "the pipeline does not start";
    }
    GstBus* bus = gst_element_get_bus(pipeline);
    bool ok = error.empty();
    while (ok) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, GST_CLOCK_TIME_NONE,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION));
        if (!message) break;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            GError* fault = nullptr;
            gst_message_parse_error(message, &fault, nullptr);
            error = fault ? fault->message : "unknown error";
            if (fault) g_error_free(fault);
            ok = false;
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_APPLICATION) {
            error = kNoTextTrack;
            ok = false;
        } else {
            gst_message_unref(message);
            break;
        }
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    return ok;
}

std::vector<SubtitleLine> ReadWithParsebin(const std::string& path, Collected& collected, std::string& error) {
    Pipeline pipeline(gst_pipeline_new(nullptr));
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    GstElement* parse = gst_element_factory_make("parsebin", nullptr);
    if (!source || !parse) {
        error = "GStreamer's filesrc or parsebin is missing";
        return {};
    }
    g_object_set(source, "location", path.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), source, parse, nullptr);
    gst_element_link(source, parse);
    Demuxing demuxing{pipeline.get(), &collected};
    g_signal_connect(parse, "pad-added", G_CALLBACK(PadAdded), &demuxing);
    g_signal_connect(parse, "no-more-pads", G_CALLBACK(NoMorePads), &demuxing);
    if (!RunToEnd(pipeline.get(), error)) return {};
    if (!demuxing.haveText) error = kNoTextTrack;
    return std::move(collected.lines);
}

// Splits a line of comma-separated fields, the last taking the rest.
std::vector<std::string> SplitFields(const std::string& line, size_t count) {
    std::vector<std::string> fields;
    size_t from = 0;
    while (fields.size() + 1 < count) {
        const size_t comma = line.find(',', from);
        if (comma == std::string::npos) break;
        fields.push_back(line.substr(from, comma - from));
        from = comma + 1;
    }
    fields.push_back(line.substr(from));
    for (std::string& field : fields) {
        field.erase(0, field.find_first_not_of(' '));
        while (!field.empty() && (field.back() == ' ' || field.back() == '\r')) field.pop_back();
    }
    return fields;
}

// "0:01:02.50" in nanoseconds; negative when it is not a time.
int64_t SsaTime(const std::string& text) {
    unsigned hours = 0, minutes = 0, seconds = 0, hundredths = 0;
    if (std::sscanf(text.c_str(), "%u:%u:%u.%u", &hours, &minutes, &seconds, &hundredths) != 4) return -1;
    return ((int64_t{hours} * 3600 + minutes * 60 + seconds) * 100 + hundredths) * 10'000'000;
}

// subparse takes no SubStation file and ssaparse only the events a
// container frames: the file's head goes to ssaparse as its codec data and
// each Dialogue event as a buffer framed as Matroska frames them (the
// read order, then the fields but the times), timed by its own times.
std::vector<SubtitleLine> ReadSubStation(const std::string& content, Collected& collected, std::string& error) {
    const size_t events = content.find("[Events]");
    if (events == std::string::npos) {
        error = "it has no [Events] section";
        return {};
    }
    Pipeline pipeline(gst_pipeline_new(nullptr));
    GstElement* source = gst_element_factory_make("appsrc", nullptr);
    GstElement* parse = gst_element_factory_make("ssaparse", nullptr);
    if (!source || !parse) {
        error = "GStreamer's appsrc or ssaparse is missing";
        return {};
    }
    GstBuffer* head = gst_buffer_new_memdup(content.data(), events);
    GstCaps* caps = gst_caps_new_simple("application/x-ass", "codec_data", GST_TYPE_BUFFER, head, nullptr);
    gst_buffer_unref(head);
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, nullptr);
    gst_caps_unref(caps);
    GstElement* sink = MakeTextSink(collected);
    gst_bin_add_many(GST_BIN(pipeline.get()), source, parse, sink, nullptr);
    gst_element_link_many(source, parse, sink, nullptr);

    std::istringstream lines(content.substr(events));
    std::vector<std::string> format;
    std::string line;
    int order = 0;
    std::vector<GstBuffer*> buffers;
    while (std::getline(lines, line)) {
        if (line.rfind("Format:", 0) == 0) {
            format = SplitFields(line.substr(7), 64);
            continue;
        }
        if (line.rfind("Dialogue:", 0) != 0 || format.empty()) continue;
        const std::vector<std::string> fields = SplitFields(line.substr(9), format.size());
        if (fields.size() != format.size()) continue;
        int64_t start = -1, end = -1;
        std::string framed = std::to_string(order++);
        for (size_t i = 0; i < fields.size(); ++i) {
            if (format[i] == "Start")
                start = SsaTime(fields[i]);
            else if (format[i] == "End")
                end = SsaTime(fields[i]);
            else
                framed += "," + fields[i];
        }
        if (start < 0 || end < start) continue;
        GstBuffer* buffer = gst_buffer_new_memdup(framed.data(), framed.size());
        GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(start);
        GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(end - start);
        buffers.push_back(buffer);
    }
    // Buffers go in in time order, as a demuxer gives them.
    std::stable_sort(buffers.begin(), buffers.end(),
                     [](GstBuffer* a, GstBuffer* b) { return GST_BUFFER_PTS(a) < GST_BUFFER_PTS(b); });
    for (GstBuffer* buffer : buffers) gst_app_src_push_buffer(GST_APP_SRC(source), buffer);
    gst_app_src_end_of_stream(GST_APP_SRC(source));
    if (!RunToEnd(pipeline.get(), error)) return {};
    return std::move(collected.lines);
}

bool StartsSubStation(const std::string& content) {
    const size_t start = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t text = content.find_first_not_of(" \t\r\n", start);
    return text != std::string::npos && content.compare(text, 13, "[Script Info]") == 0;
}

}  // namespace

std::vector<SubtitleLine> ReadSubtitleLines(const std::string& path, std::string& error) {
    error.clear();
    if (!gst_is_initialized()) {
        GError* fault = nullptr;
        if (!gst_init_check(nullptr, nullptr, &fault)) {
            error = std::string("GStreamer does not start: ") + (fault ? fault->message : "unknown error");
            if (fault) g_error_free(fault);
            return {};
        }
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "it cannot be opened";
        return {};
    }
    std::string head(4096, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(file.gcount()));
    Collected collected;
    std::vector<SubtitleLine> lines;
    if (StartsSubStation(head)) {
        std::ostringstream whole;
        whole << head << file.rdbuf();
        lines = ReadSubStation(whole.str(), collected, error);
    } else {
        lines = ReadWithParsebin(path, collected, error);
    }
    if (error.empty() && lines.empty()) error = "it has no subtitle lines";
    std::stable_sort(lines.begin(), lines.end(),
                     [](const SubtitleLine& a, const SubtitleLine& b) { return a.start < b.start; });
    return lines;
}
