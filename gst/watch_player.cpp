// tpp-watch, the player behind scripts/watch.sh: playbin with the element
// as its video filter, in a window. The properties are checked before
// anything plays, and a viewer's ways of stopping (the end, closing the
// window, Ctrl-C) all go through the element's stop, which saves its walk.
//
// Usage: tpp-watch URI [PROPERTY=VALUE ...]
// Exit status: 0 at the end, a closed window or Ctrl-C; 2 when a property
// is refused; 1 when something fails; 143 after SIGTERM.
#include <glib-unix.h>
#include <gst/gst.h>
#include <gst/video/gstvideosink.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kElement[] = "tpp25frame";

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool Settable(const GParamSpec* spec) {
    return (spec->flags & G_PARAM_WRITABLE) && !(spec->flags & G_PARAM_CONSTRUCT_ONLY) &&
           std::string(spec->name) != "name" && std::string(spec->name) != "parent";
}

// The element's properties nearest to a name it does not have.
std::string Nearest(GObject* element, const std::string& name) {
    guint count = 0;
    GParamSpec** specs = g_object_class_list_properties(G_OBJECT_GET_CLASS(element), &count);
    std::vector<std::pair<size_t, std::string>> names;
    for (guint i = 0; i < count; ++i)
        if (Settable(specs[i])) names.emplace_back(EditDistance(name, specs[i]->name), specs[i]->name);
    g_free(specs);
    std::sort(names.begin(), names.end());
    std::string nearest;
    for (size_t i = 0; i < names.size() && i < 3 && names[i].first <= names[0].first + 1; ++i)
        nearest += (i ? ", " : "") + names[i].second;
    return nearest;
}

// What a property takes, as the viewer writes it.
std::string Takes(GParamSpec* spec) {
    if (G_IS_PARAM_SPEC_ENUM(spec)) {
        std::string nicks;
        const GEnumClass* values = G_PARAM_SPEC_ENUM(spec)->enum_class;
        for (guint i = 0; i < values->n_values; ++i)
            nicks += (i ? ", " : "") + std::string(values->values[i].value_nick);
        return "one of " + nicks;
    }
    if (G_IS_PARAM_SPEC_BOOLEAN(spec)) return "true or false";
    if (G_IS_PARAM_SPEC_UINT(spec)) {
        const GParamSpecUInt* range = G_PARAM_SPEC_UINT(spec);
        // Colours: 0xRRGGBB.
        if (range->minimum == 0 && range->maximum == 0xFFFFFF) return "a colour from 0x000000 to 0xFFFFFF (0xRRGGBB)";
        return "a whole number from " + std::to_string(range->minimum) + " to " + std::to_string(range->maximum);
    }
    if (G_IS_PARAM_SPEC_INT(spec)) {
        const GParamSpecInt* range = G_PARAM_SPEC_INT(spec);
        return "a whole number from " + std::to_string(range->minimum) + " to " + std::to_string(range->maximum);
    }
    return std::string("a value of type ") + g_type_name(G_PARAM_SPEC_VALUE_TYPE(spec));
}

// Sets each NAME=VALUE as gst-launch reads a value; one sentence for each
// that is refused.
std::vector<std::string> SetProperties(GObject* element, char** settings, int count) {
    std::vector<std::string> refused;
    for (int i = 0; i < count; ++i) {
        const std::string setting = settings[i];
        const size_t equals = setting.find('=');
        const std::string name = setting.substr(0, equals);
        const char* text = equals == std::string::npos ? "" : settings[i] + equals + 1;
        GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(element), name.c_str());
        if (equals == std::string::npos) {
            refused.push_back("not a property=value: " + setting);
        } else if (!spec || !Settable(spec)) {
            refused.push_back(kElement + std::string(" has no property \"") + name + "\"; the nearest: " +
                              Nearest(element, name) + " (gst-inspect-1.0 " + kElement + " lists them all)");
        } else {
            GValue value = G_VALUE_INIT;
            g_value_init(&value, G_PARAM_SPEC_VALUE_TYPE(spec));
            if (!gst_value_deserialize_with_pspec(&value, text, spec) || g_param_value_validate(spec, &value))
                refused.push_back(name + "=" + text + " is refused: " + name + " takes " + Takes(spec));
            else
                g_object_set_property(element, name.c_str(), &value);
            g_value_unset(&value);
        }
    }
    return refused;
}

struct Player {
    GstElement* playbin = nullptr;
    GMainLoop* loop = nullptr;
    int status = 0;
    bool live = false;
};

void Stop(Player& player, int status) {
    player.status = status;
    g_main_loop_quit(player.loop);
}

// A video sink tells of its window closed by the viewer as a missing
// resource (RESOURCE NOT_FOUND, "Output window was closed"): for a viewer
// that is how to stop, not a failure.
bool IsWindowClosed(GstMessage* message, const GError* error) {
    return g_error_matches(error, GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND) &&
           GST_IS_VIDEO_SINK(GST_MESSAGE_SRC(message));
}

// Warnings and infos (the element's among them), and errors with their
// details; a warning's or an info's are only where in the code it was said.
void Tell(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    const char* kind = "ERROR";
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING) {
        gst_message_parse_warning(message, &error, &debug);
        kind = "WARNING";
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_INFO) {
        gst_message_parse_info(message, &error, &debug);
        kind = "INFO";
    } else {
        gst_message_parse_error(message, &error, &debug);
    }
    std::fprintf(stderr, "watch: %s from %s: %s\n", kind, GST_OBJECT_NAME(GST_MESSAGE_SRC(message)), error->message);
    if (debug && *debug && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) std::fprintf(stderr, "  %s\n", debug);
    g_clear_error(&error);
    g_free(debug);
}

gboolean OnMessage(GstBus*, GstMessage* message, gpointer data) {
    Player& player = *static_cast<Player*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS: Stop(player, 0); break;
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            const bool closed = IsWindowClosed(message, error);
            g_clear_error(&error);
            if (closed) {
                std::fprintf(stderr, "watch: the window was closed\n");
                Stop(player, 0);
            } else {
                Tell(message);
                Stop(player, 1);
            }
            break;
        }
        case GST_MESSAGE_WARNING:
        case GST_MESSAGE_INFO: Tell(message); break;
        case GST_MESSAGE_BUFFERING: {
            // A stream that fills its buffer waits for it; a live one cannot.
            if (player.live) break;
            gint percent = 0;
            gst_message_parse_buffering(message, &percent);
            std::fprintf(stderr, "watch: buffering %d%%  \r", percent);
            gst_element_set_state(player.playbin, percent < 100 ? GST_STATE_PAUSED : GST_STATE_PLAYING);
            break;
        }
        case GST_MESSAGE_CLOCK_LOST:
            gst_element_set_state(player.playbin, GST_STATE_PAUSED);
            gst_element_set_state(player.playbin, GST_STATE_PLAYING);
            break;
        case GST_MESSAGE_LATENCY: gst_bin_recalculate_latency(GST_BIN(player.playbin)); break;
        case GST_MESSAGE_REQUEST_STATE: {
            GstState state;
            gst_message_parse_request_state(message, &state);
            gst_element_set_state(player.playbin, state);
            break;
        }
        default: break;
    }
    return TRUE;
}

gboolean OnInterrupt(gpointer data) {
    std::fprintf(stderr, "watch: interrupted\n");
    Stop(*static_cast<Player*>(data), 0);
    return G_SOURCE_CONTINUE;
}

gboolean OnTerminate(gpointer data) {
    Stop(*static_cast<Player*>(data), 128 + SIGTERM);
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    g_set_prgname("tpp-watch");
    g_set_application_name("TPP_25Frame");
    gst_init(&argc, &argv);
    if (argc < 2) {
        std::fprintf(stderr, "Usage: tpp-watch URI [PROPERTY=VALUE ...]\n");
        return 2;
    }
    GstElement* filter = gst_element_factory_make(kElement, nullptr);
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!filter || !playbin) {
        std::fprintf(stderr, "watch: GStreamer has no %s (GST_PLUGIN_PATH=%s)\n", filter ? "playbin" : kElement,
                     g_getenv("GST_PLUGIN_PATH") ? g_getenv("GST_PLUGIN_PATH") : "");
        return 1;
    }
    const std::vector<std::string> refused = SetProperties(G_OBJECT(filter), argv + 2, argc - 2);
    for (const std::string& sentence : refused) std::fprintf(stderr, "watch: %s\n", sentence.c_str());
    if (!refused.empty()) {
        gst_object_unref(gst_object_ref_sink(filter));
        gst_object_unref(gst_object_ref_sink(playbin));
        return 2;
    }
    // force-filters: a hardware decoder's output goes through the element too.
    g_object_set(playbin, "uri", argv[1], "video-filter", filter, nullptr);
    gst_util_set_object_arg(G_OBJECT(playbin), "flags",
                            "video+audio+text+soft-volume+deinterlace+soft-colorbalance+force-filters");

    Player player;
    player.playbin = playbin;
    player.loop = g_main_loop_new(nullptr, FALSE);
    GstBus* bus = gst_element_get_bus(playbin);
    gst_bus_add_watch(bus, OnMessage, &player);
    const guint interrupt = g_unix_signal_add(SIGINT, OnInterrupt, &player);
    const guint terminate = g_unix_signal_add(SIGTERM, OnTerminate, &player);
    const GstStateChangeReturn started = gst_element_set_state(playbin, GST_STATE_PLAYING);
    player.live = started == GST_STATE_CHANGE_NO_PREROLL;
    // A failure to start is an error message on the bus, which ends the loop.
    g_main_loop_run(player.loop);

    // The element saves its walk when it stops (PAUSED to READY); what it
    // says then is told before the bus is flushed on the way to NULL. Errors
    // left are the first one's echoes (streaming stopped by it).
    gst_element_set_state(playbin, GST_STATE_READY);
    gst_element_get_state(playbin, nullptr, nullptr, GST_CLOCK_TIME_NONE);
    while (GstMessage* message = gst_bus_pop_filtered(
               bus, static_cast<GstMessageType>(GST_MESSAGE_WARNING | GST_MESSAGE_INFO))) {
        Tell(message);
        gst_message_unref(message);
    }
    gst_element_set_state(playbin, GST_STATE_NULL);
    g_source_remove(interrupt);
    g_source_remove(terminate);
    gst_bus_remove_watch(bus);
    gst_object_unref(bus);
    gst_object_unref(playbin);
    g_main_loop_unref(player.loop);
    return player.status;
}
