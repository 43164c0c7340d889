// tpp-watch, the player behind scripts/watch.sh, on gst-play's model:
// playbin with the element as its video filter, in a window, and keys from
// the window and the terminal alike. The element takes its own keys (the
// learner's), which show on a paused picture too; of the rest, space
// pauses, Left and Right seek 10 s, f is full screen, q quits. A film's
// subtitles keep the bottom quarter clear of captions. The terminal shows a one-line status with the
// caption, and the end a summary of the session. The properties are
// checked before anything plays, and a viewer's ways of stopping (the end,
// q, closing the window, Ctrl-C) all go through the element's stop, which
// saves its walk.
//
// A film's words are taught from its subtitles, found as players find
// them: --subtitles FILE, else the file of the film's name beside it, else
// the film's first text track (subtitles=none: neither).
//
// Usage: tpp-watch URI [--subtitles FILE] [PROPERTY=VALUE ...]
// Exit status: 0 at the end, q, a closed window or Ctrl-C; 2 when a
// property is refused; 1 when something fails; 143 after SIGTERM.
#include <glib-unix.h>
#include <gst/gst.h>
#include <gst/video/gstvideosink.h>
#include <gst/video/navigation.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "frontend/key_map.h"
#include "subtitles/subtitle_lines.h"
#include "tools/tpp-watch/watch_fullscreen.h"
#include "tools/tpp-watch/watch_properties.h"
#include "tools/tpp-watch/watch_session.h"
#include "tools/tpp-watch/watch_sink.h"
#include "tools/tpp-watch/watch_terminal.h"

namespace {

const char kElement[] = "tpp25frame";
constexpr gint64 kSeekStep = 10 * GST_SECOND;
// The player's own keys, for the element's help caption.
const char kPlayerKeys[] = "space pause  Left/Right 10 s  f full screen  q quit";
// The share of the picture kept clear of captions while subtitles show.
constexpr double kSubtitlesKeepClear = 0.25;

struct Player {
    GstElement* playbin = nullptr;
    GstElement* filter = nullptr;
    GMainLoop* loop = nullptr;
    int status = 0;
    bool live = false;
    bool paused = false;
    // The video sink (held) and its own window, as it told of it.
    GstObject* sink = nullptr;
    guint64 window = 0;
    WatchSession session;
    bool statusLine = false;      // standard error is a terminal
    guint keysSource = 0;         // standard input, while it gives keys
    bool keepClearGiven = false;  // the viewer set keep-clear
    bool subtitlesChecked = false;
};

void Stop(Player& player, int status) {
    player.status = status;
    g_main_loop_quit(player.loop);
}

// The status line is rewritten in place; anything else said starts on a
// clean line.
void ClearStatus(const Player& player) {
    if (player.statusLine) std::fputs("\r\033[K", stderr);
}

// A line longer than the terminal is wide would wrap, and the next one
// would clear only its last row: it is cut, character by character.
std::string FitToTerminal(std::string line) {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return line;
    size_t characters = 0;
    for (size_t i = 0; i < line.size(); ++i)
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80 && characters++ == size_t(size.ws_col) - 1) {
            line.resize(i);
            break;
        }
    return line;
}

void ShowStatus(Player& player) {
    if (!player.statusLine) return;
    gint64 position = -1, duration = -1;
    if (!gst_element_query_position(player.playbin, GST_FORMAT_TIME, &position)) position = -1;
    if (!gst_element_query_duration(player.playbin, GST_FORMAT_TIME, &duration)) duration = -1;
    const std::string line = FitToTerminal(player.session.Status(player.paused, position, duration));
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

void Seek(Player& player, gint64 step) {
    gint64 position = 0, duration = -1;
    if (!gst_element_query_position(player.playbin, GST_FORMAT_TIME, &position)) return;
    gint64 target = std::max<gint64>(0, position + step);
    if (gst_element_query_duration(player.playbin, GST_FORMAT_TIME, &duration) && duration > 0)
        target = std::min(target, duration);
    gst_element_seek_simple(player.playbin, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), target);
}

// While paused, the picture is drawn again where it stands (a flushing
// seek to its own position), so that what a key asked of the element
// shows on it.
void Redraw(Player& player) {
    gint64 position = 0;
    if (!player.paused || !gst_element_query_position(player.playbin, GST_FORMAT_TIME, &position)) return;
    gst_element_seek_simple(player.playbin, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), position);
}

// The element took a key: what it shows (a note, the last caption again,
// the help) is drawn on a paused picture too.
void OnElementKey(Player& player, const GstStructure* fields) {
    const char* action = gst_structure_get_string(fields, "action");
    if (!action) return;
    const std::string name = action;
    if (name == "known" || name == "again" || name == "repeat" || name == "help") Redraw(player);
}

// Subtitles shown at the bottom keep captions out of their band, unless
// the viewer said otherwise.
void CheckSubtitles(Player& player) {
    if (player.subtitlesChecked || player.keepClearGiven) return;
    player.subtitlesChecked = true;
    gint texts = 0, current = -1;
    g_object_get(player.playbin, "n-text", &texts, "current-text", &current, nullptr);
    if (texts <= 0 || current < 0) return;
    g_object_set(player.filter, "keep-clear", kSubtitlesKeepClear, nullptr);
    ClearStatus(player);
    std::fprintf(stderr, "watch: subtitles shown: captions keep the bottom quarter clear (keep-clear=%.2f)\n",
                 kSubtitlesKeepClear);
}

// The subtitles a player would take for a local film: the file of its
// name beside it, else the film itself (its first text track); none for
// a stream.
std::string FilmSubtitles(const char* uri) {
    gchar* path = gst_uri_is_valid(uri) ? g_filename_from_uri(uri, nullptr, nullptr) : g_strdup(uri);
    if (!path) return {};
    const std::string film = path;
    g_free(path);
    const std::string beside = SubtitlesBeside(film);
    return beside.empty() ? film : beside;
}

// A key that the element left: the player's own, or nothing.
void PlayerKey(Player& player, const std::string& key) {
    if (key == "space") {
        player.paused = !player.paused;
        gst_element_set_state(player.playbin, player.paused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
    } else if (key == "Right" || key == "Left") {
        Seek(player, key == "Right" ? kSeekStep : -kSeekStep);
    } else if (key == "f") {
        if (!ToggleFullScreen(player.sink ? GST_ELEMENT(player.sink) : nullptr, player.window)) {
            ClearStatus(player);
            std::fprintf(stderr, "watch: this video sink cannot go full screen\n");
        }
    } else if (key == "q" || key == "Escape") {
        Stop(player, 0);
    }
    ShowStatus(player);
}

// A key typed on the terminal goes as the window's would: to the element
// first, which takes its own.
void TerminalKey(Player& player, const std::string& key) {
    const bool taken = gst_element_send_event(
        player.filter, gst_navigation_event_new_key_press(key.c_str(), GST_NAVIGATION_MODIFIER_NONE));
    if (taken) {
        gst_element_send_event(player.filter,
                               gst_navigation_event_new_key_release(key.c_str(), GST_NAVIGATION_MODIFIER_NONE));
        return;
    }
    PlayerKey(player, key);
}

gboolean OnTerminal(gint fd, GIOCondition, gpointer data) {
    Player& player = *static_cast<Player*>(data);
    char bytes[64];
    const ssize_t count = read(fd, bytes, sizeof bytes);
    if (count <= 0) {  // no more keys from there; the window's still come
        player.keysSource = 0;
        return G_SOURCE_REMOVE;
    }
    for (const std::string& key : Terminal::KeysOf(std::string(bytes, size_t(count)))) TerminalKey(player, key);
    return G_SOURCE_CONTINUE;
}

gboolean OnTick(gpointer data) {
    ShowStatus(*static_cast<Player*>(data));
    return G_SOURCE_CONTINUE;
}

// The element's captions and marks, a key the element left in the window
// (the sink tells of it), and the sink's window.
void OnElementMessage(Player& player, GstMessage* message) {
    const GstStructure* fields = gst_message_get_structure(message);
    if (player.session.Take(fields)) {
        if (gst_structure_has_name(fields, "tpp25frame-key")) OnElementKey(player, fields);
        ShowStatus(player);
        return;
    }
    if (gst_navigation_message_get_type(message) == GST_NAVIGATION_MESSAGE_EVENT) {
        GstEvent* event = nullptr;
        const gchar* key = nullptr;
        if (gst_navigation_message_parse_event(message, &event) &&
            gst_navigation_event_get_type(event) == GST_NAVIGATION_EVENT_KEY_PRESS &&
            gst_navigation_event_parse_key_event(event, &key))
            PlayerKey(player, key);
        if (event) gst_event_unref(event);
        return;
    }
    if (gst_structure_has_name(fields, "have-window-handle") && GST_IS_ELEMENT(GST_MESSAGE_SRC(message))) {
        gst_object_replace(&player.sink, GST_MESSAGE_SRC(message));
        gst_structure_get_uint64(fields, "window-handle", &player.window);
    }
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
            ClearStatus(player);
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
        case GST_MESSAGE_INFO:
            ClearStatus(player);
            Tell(message);
            break;
        case GST_MESSAGE_ELEMENT: OnElementMessage(player, message); break;
        case GST_MESSAGE_BUFFERING: {
            // A stream that fills its buffer waits for it; a live one cannot.
            if (player.live) break;
            gint percent = 0;
            gst_message_parse_buffering(message, &percent);
            std::fprintf(stderr, "watch: buffering %d%%  \r", percent);
            gst_element_set_state(player.playbin,
                                  percent < 100 || player.paused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
            break;
        }
        case GST_MESSAGE_CLOCK_LOST:
            gst_element_set_state(player.playbin, GST_STATE_PAUSED);
            gst_element_set_state(player.playbin, GST_STATE_PLAYING);
            break;
        case GST_MESSAGE_LATENCY: gst_bin_recalculate_latency(GST_BIN(player.playbin)); break;
        case GST_MESSAGE_ASYNC_DONE: CheckSubtitles(player); break;
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
    ClearStatus(*static_cast<Player*>(data));
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
        std::fprintf(stderr, "Usage: tpp-watch URI [--subtitles FILE] [PROPERTY=VALUE ...]\n");
        return 2;
    }
    std::string subtitles;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--subtitles" && i + 1 < argc) {
            subtitles = argv[i + 1];
            std::copy(argv + i + 2, argv + argc, argv + i);
            argc -= 2;
            break;
        }
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
    bool playerKeysGiven = false, keepClearGiven = false, subtitlesGiven = false;
    for (int i = 2; i < argc; ++i) {
        const std::string setting = argv[i];
        subtitlesGiven = subtitlesGiven || setting.rfind("subtitles=", 0) == 0;
        playerKeysGiven = playerKeysGiven || setting.rfind("player-keys=", 0) == 0;
        keepClearGiven = keepClearGiven || setting.rfind("keep-clear=", 0) == 0;
    }
    if (!playerKeysGiven) g_object_set(filter, "player-keys", kPlayerKeys, nullptr);
    if (subtitles.empty() && !subtitlesGiven) subtitles = FilmSubtitles(argv[1]);
    if (subtitles == "none") subtitles.clear();
    if (!subtitles.empty()) {
        g_object_set(filter, "subtitles", subtitles.c_str(), nullptr);
        std::fprintf(stderr, "watch: the film's words from %s\n", subtitles.c_str());
    }
    std::string why;
    GstElement* sink = OpenVideoSink(why);
    if (!sink) {
        std::fprintf(stderr, "watch: no window for the film: %s\n", why.c_str());
        gst_object_unref(gst_object_ref_sink(filter));
        gst_object_unref(gst_object_ref_sink(playbin));
        return 1;
    }
    // force-filters: a hardware decoder's output goes through the element too.
    g_object_set(playbin, "uri", argv[1], "video-filter", filter, "video-sink", sink, nullptr);
    gst_object_unref(sink);
    gst_util_set_object_arg(G_OBJECT(playbin), "flags",
                            "video+audio+text+soft-volume+deinterlace+soft-colorbalance+force-filters");

    Player player;
    player.playbin = playbin;
    player.filter = filter;
    player.loop = g_main_loop_new(nullptr, FALSE);
    player.statusLine = isatty(STDERR_FILENO);
    player.keepClearGiven = keepClearGiven;
    GstBus* bus = gst_element_get_bus(playbin);
    gst_bus_add_watch(bus, OnMessage, &player);
    const guint interrupt = g_unix_signal_add(SIGINT, OnInterrupt, &player);
    const guint terminate = g_unix_signal_add(SIGTERM, OnTerminate, &player);
    // Keys come from standard input too, a terminal or not (a pipe).
    const Terminal terminal;
    player.keysSource = g_unix_fd_add(STDIN_FILENO, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP), OnTerminal, &player);
    const guint tick = g_timeout_add_seconds(1, OnTick, &player);
    if (terminal.isTerminal()) {
        gchar* text = nullptr;
        g_object_get(filter, "keys", &text, nullptr);
        std::string why;
        const std::optional<KeyMap> map = KeyMap::Parse(text ? text : "", why);
        g_free(text);
        std::fprintf(stderr, "watch: keys: space pause, Left/Right 10 s back/on, f full screen, q quit%s%s\n",
                     map ? "; " : "", map ? map->HelpLine().c_str() : "");
    }
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
    ClearStatus(player);
    std::printf("watch: %s\n", player.session.Summary().c_str());
    g_source_remove(tick);
    if (player.keysSource) g_source_remove(player.keysSource);
    g_source_remove(interrupt);
    g_source_remove(terminate);
    gst_bus_remove_watch(bus);
    gst_object_unref(bus);
    gst_clear_object(&player.sink);
    gst_object_unref(playbin);
    g_main_loop_unref(player.loop);
    return player.status;
}
