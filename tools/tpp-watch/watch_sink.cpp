#include "tools/tpp-watch/watch_sink.h"

#include <glib.h>

namespace {

// XVideo scales on the server; a plain X image is the fallback every X
// server has.
const char* const kSinks[] = {"xvimagesink", "ximagesink"};
// A display may refuse a connection for a moment, as a new Xvfb does.
constexpr int kRounds = 3;
constexpr gulong kPauseMicros = 300'000;

// The sink's error message, as it would post it on a bus.
std::string ErrorOf(GstBus* bus) {
    std::string text;
    while (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        if (error && text.empty()) text = error->message;
        g_clear_error(&error);
        gst_message_unref(message);
    }
    return text.empty() ? "it does not start" : text;
}

}  // namespace

GstElement* OpenVideoSink(std::string& why) {
    why.clear();
    for (int round = 0; round < kRounds; ++round) {
        if (round > 0) g_usleep(kPauseMicros);
        for (const char* name : kSinks) {
            GstElement* sink = gst_element_factory_make(name, nullptr);
            if (!sink) continue;
            gst_object_ref_sink(sink);
            GstBus* bus = gst_bus_new();
            gst_element_set_bus(sink, bus);
            const bool opened = gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
            const std::string error = opened ? std::string() : ErrorOf(bus);
            gst_element_set_bus(sink, nullptr);
            gst_object_unref(bus);
            if (opened) return sink;
            if (round == kRounds - 1) why += std::string(why.empty() ? "" : "; ") + name + ": " + error;
            gst_element_set_state(sink, GST_STATE_NULL);
            gst_object_unref(sink);
        }
    }
    if (why.empty()) why = "GStreamer has neither xvimagesink nor ximagesink (gstreamer1.0-x)";
    return nullptr;
}
