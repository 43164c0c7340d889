#include "tests/gst/element_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

void StartGStreamer() { gst_init(nullptr, nullptr); }

namespace {

GstVideoInfo InfoOf(const char* format, int width, int height) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, gst_video_format_from_string(format), width, height);
    return info;
}

uint8_t Ramp(int x, int y) { return static_cast<uint8_t>(16 + (x * 3 + y * 5) % 220); }

}  // namespace

Bytes MakePicture(const char* format, int width, int height) {
    const GstVideoInfo info = InfoOf(format, width, height);
    Bytes picture(GST_VIDEO_INFO_SIZE(&info), 128);
    const bool rgb = GST_VIDEO_FORMAT_INFO_IS_RGB(info.finfo);
    // By component, so that formats that only order them otherwise hold the
    // same picture; in RGB red, green, blue and alpha ramps of their own.
    for (guint c = 0; c < (rgb ? GST_VIDEO_INFO_N_COMPONENTS(&info) : 1); ++c)
        for (int y = 0; y < height; ++y) {
            uint8_t* row = picture.data() + GST_VIDEO_INFO_COMP_OFFSET(&info, c) +
                           y * GST_VIDEO_INFO_COMP_STRIDE(&info, c);
            for (int x = 0; x < width; ++x)
                row[x * GST_VIDEO_INFO_COMP_PSTRIDE(&info, c)] = Ramp(x + (rgb ? 7 * (c < 3 ? 2 - c : 3) : 0), y);
        }
    return picture;
}

Bytes BlackYuy2(int width, int height) {
    Bytes black(static_cast<size_t>(width) * height * 2);
    for (size_t i = 0; i < black.size(); ++i) black[i] = i % 2 ? 128 : 16;
    return black;
}

std::string RawCaps(const char* format, int width, int height) {
    return "video/x-raw,format=" + std::string(format) + ",width=" + std::to_string(width) +
           ",height=" + std::to_string(height) + ",framerate=25/1";
}

HarnessRun RunHarness(const std::string& element, const std::string& caps, const Bytes& picture, int count) {
    GstHarness* harness = gst_harness_new_parse(element.c_str());
    gst_harness_set_src_caps_str(harness, caps.c_str());
    HarnessRun run;
    for (int i = 0; i < count; ++i) {
        GstBuffer* in = gst_buffer_new_memdup(picture.data(), picture.size());
        EXPECT_EQ(gst_harness_push(harness, in), GST_FLOW_OK);
        GstBuffer* out = gst_harness_pull(harness);
        Bytes bytes(gst_buffer_get_size(out));
        gst_buffer_extract(out, 0, bytes.data(), bytes.size());
        gst_buffer_unref(out);
        if (bytes != picture) run.changed.push_back(i + 1);
        run.out.push_back(std::move(bytes));
    }
    gst_harness_teardown(harness);
    return run;
}

Bytes LumaOf(const char* format, int width, int height, const Bytes& picture) {
    return ComponentsOf(format, width, height, picture)[0];
}

std::vector<Bytes> ComponentsOf(const char* format, int width, int height, const Bytes& picture) {
    const GstVideoInfo info = InfoOf(format, width, height);
    std::vector<Bytes> components(GST_VIDEO_INFO_N_COMPONENTS(&info));
    for (guint c = 0; c < components.size(); ++c)
        for (int y = 0; y < GST_VIDEO_INFO_COMP_HEIGHT(&info, c); ++y) {
            const uint8_t* row = picture.data() + GST_VIDEO_INFO_COMP_OFFSET(&info, c) +
                                 y * GST_VIDEO_INFO_COMP_STRIDE(&info, c);
            for (int x = 0; x < GST_VIDEO_INFO_COMP_WIDTH(&info, c); ++x)
                components[c].push_back(row[x * GST_VIDEO_INFO_COMP_PSTRIDE(&info, c)]);
        }
    return components;
}

Bytes FourthBytesOf(const char* format, int width, int height, const Bytes& picture) {
    const GstVideoInfo info = InfoOf(format, width, height);
    if (!GST_VIDEO_INFO_IS_RGB(&info) || GST_VIDEO_INFO_COMP_PSTRIDE(&info, 0) != 4) return {};
    const int fourth = 6 - GST_VIDEO_INFO_COMP_POFFSET(&info, 0) - GST_VIDEO_INFO_COMP_POFFSET(&info, 1) -
                       GST_VIDEO_INFO_COMP_POFFSET(&info, 2);
    Bytes bytes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bytes.push_back(picture[GST_VIDEO_INFO_PLANE_OFFSET(&info, 0) + y * GST_VIDEO_INFO_PLANE_STRIDE(&info, 0) +
                                    x * 4 + fourth]);
    return bytes;
}

namespace {

// A plane in samples: the bytes of a component that is subsampled most
// (YUY2's U with its Y pair, NV12's U and V), and the pixels each covers.
struct PlaneSamples {
    int bytes, columns, rows, width, height;
};

PlaneSamples SamplesOf(const GstVideoInfo& info, guint plane) {
    const GstVideoFormatInfo* format = info.finfo;
    int widest = -1;
    for (guint c = 0; c < GST_VIDEO_FORMAT_INFO_N_COMPONENTS(format); ++c)
        if (GST_VIDEO_FORMAT_INFO_PLANE(format, c) == plane &&
            (widest < 0 || GST_VIDEO_FORMAT_INFO_W_SUB(format, c) > GST_VIDEO_FORMAT_INFO_W_SUB(format, widest)))
            widest = int(c);
    const int columns = 1 << GST_VIDEO_FORMAT_INFO_W_SUB(format, widest);
    const int rows = 1 << GST_VIDEO_FORMAT_INFO_H_SUB(format, widest);
    return {GST_VIDEO_FORMAT_INFO_PSTRIDE(format, widest), columns, rows,
            (GST_VIDEO_INFO_WIDTH(&info) + columns - 1) / columns, (GST_VIDEO_INFO_HEIGHT(&info) + rows - 1) / rows};
}

}  // namespace

Bytes CutOut(const GstVideoInfo& info, const Bytes& picture, PixelBox box) {
    GstVideoInfo cut;
    gst_video_info_set_format(&cut, GST_VIDEO_INFO_FORMAT(&info), box.width, box.height);
    Bytes out(GST_VIDEO_INFO_SIZE(&cut));
    for (guint plane = 0; plane < GST_VIDEO_INFO_N_PLANES(&info); ++plane) {
        const PlaneSamples from = SamplesOf(info, plane), to = SamplesOf(cut, plane);
        for (int row = 0; row < to.height; ++row)
            std::memcpy(
                out.data() + GST_VIDEO_INFO_PLANE_OFFSET(&cut, plane) + row * GST_VIDEO_INFO_PLANE_STRIDE(&cut, plane),
                picture.data() + GST_VIDEO_INFO_PLANE_OFFSET(&info, plane) +
                    (box.y / from.rows + row) * GST_VIDEO_INFO_PLANE_STRIDE(&info, plane) +
                    box.x / from.columns * from.bytes,
                size_t(to.width) * to.bytes);
    }
    return out;
}

Changes ChangesAround(const GstVideoInfo& info, const Bytes& before, const Bytes& after, PixelBox box) {
    Changes changes;
    std::vector<bool> sample(before.size(), false);
    for (guint plane = 0; plane < GST_VIDEO_INFO_N_PLANES(&info); ++plane) {
        const PlaneSamples samples = SamplesOf(info, plane);
        for (int row = 0; row < samples.height; ++row)
            for (int column = 0; column < samples.width; ++column) {
                const int x = column * samples.columns, y = row * samples.rows;
                const bool inside = x + samples.columns > box.x && y + samples.rows > box.y && x < box.x + box.width &&
                                    y < box.y + box.height;
                const size_t at = GST_VIDEO_INFO_PLANE_OFFSET(&info, plane) +
                                  size_t(row) * GST_VIDEO_INFO_PLANE_STRIDE(&info, plane) +
                                  size_t(column) * samples.bytes;
                for (int b = 0; b < samples.bytes; ++b) {
                    sample[at + b] = true;
                    if (before[at + b] != after[at + b]) ++(inside ? changes.inside : changes.outside);
                }
            }
    }
    for (size_t i = 0; i < before.size(); ++i) changes.padding += !sample[i] && before[i] != after[i];
    return changes;
}

namespace {

void KeepBuffer(GstElement*, GstBuffer* buffer, GstPad*, gpointer buffers) {
    Bytes bytes(gst_buffer_get_size(buffer));
    gst_buffer_extract(buffer, 0, bytes.data(), bytes.size());
    static_cast<std::vector<Bytes>*>(buffers)->push_back(std::move(bytes));
}

}  // namespace

std::vector<int> ChangedBuffers(const std::vector<Bytes>& buffers, const Bytes& picture) {
    std::vector<int> changed;
    for (size_t i = 0; i < buffers.size(); ++i)
        if (buffers[i] != picture) changed.push_back(static_cast<int>(i + 1));
    return changed;
}

PipelineRun RunPipeline(const std::string& description, const std::vector<std::string>& sinks) {
    PipelineRun run;
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline) {
        run.error = error ? error->message : "cannot be parsed";
        g_clear_error(&error);
        return run;
    }
    for (const std::string& name : sinks) {
        GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), name.c_str());
        g_signal_connect(sink, "handoff", G_CALLBACK(KeepBuffer), &run.sinks[name]);
        gst_object_unref(sink);
    }
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    for (bool done = false; !done;) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, 60 * GST_SECOND,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_WARNING | GST_MESSAGE_INFO));
        if (!message) {
            run.error = "no end within a minute";
            break;
        }
        GError* problem = nullptr;
        gchar* debug = nullptr;
        switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_EOS: run.reachedEos = done = true; break;
            case GST_MESSAGE_WARNING:
                gst_message_parse_warning(message, &problem, &debug);
                run.warnings.push_back(std::string(problem->message) + " | " + (debug ? debug : ""));
                break;
            case GST_MESSAGE_INFO:
                gst_message_parse_info(message, &problem, &debug);
                run.infos.push_back(problem->message);
                break;
            default:
                gst_message_parse_error(message, &problem, &debug);
                run.error = problem->message;
                done = true;
                break;
        }
        g_clear_error(&problem);
        g_free(debug);
        gst_message_unref(message);
    }
    // What an element says as it stops (a save that failed) is on the bus
    // before NULL flushes it.
    gst_element_set_state(pipeline, GST_STATE_READY);
    while (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_WARNING)) {
        GError* problem = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_warning(message, &problem, &debug);
        run.warnings.push_back(std::string(problem->message) + " | " + (debug ? debug : ""));
        g_clear_error(&problem);
        g_free(debug);
        gst_message_unref(message);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
    return run;
}

std::string SettingInFile(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return std::string();
}
