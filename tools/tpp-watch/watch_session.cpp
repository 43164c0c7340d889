#include "tools/tpp-watch/watch_session.h"

#include <cstdio>

namespace {

std::string Clock(gint64 nanoseconds) {
    if (nanoseconds < 0) return "-:--:--";
    const gint64 seconds = nanoseconds / GST_SECOND;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
    return text;
}

std::string Field(const GstStructure* message, const char* name) {
    const char* value = gst_structure_get_string(message, name);
    return value ? value : "";
}

}  // namespace

bool WatchSession::Take(const GstStructure* message) {
    const std::string name = gst_structure_get_name(message);
    if (name == "tpp25frame-caption") {
        ++shown_;
        caption_ = Field(message, "word") + " - " + Field(message, "translation");
        return true;
    }
    if (name == "tpp25frame-mark") {
        (Field(message, "mark") == "known" ? known_ : again_).push_back(Field(message, "word"));
        return true;
    }
    if (name == "tpp25frame-key") {
        gboolean off = FALSE;
        if (Field(message, "action") == "captions" && gst_structure_get_boolean(message, "captions-off", &off))
            captionsOff_ = off;
        return true;
    }
    return false;
}

std::string WatchSession::Status(bool paused, gint64 position, gint64 duration) const {
    const std::string caption = captionsOff_ ? "captions off" : caption_.empty() ? "(no caption yet)" : caption_;
    return std::string(paused ? "paused " : "playing ") + Clock(position) + " / " + Clock(duration) + "  " + caption +
           "  (" + std::to_string(shown_) + " shown, " + std::to_string(known_.size()) + " known, " +
           std::to_string(again_.size()) + " again)";
}

namespace {

std::string Listed(const char* kind, const std::vector<std::string>& words) {
    std::string line = std::string("\n  ") + kind + ":";
    for (size_t i = 0; i < words.size(); ++i) line += (i ? ", " : " ") + words[i];
    return words.empty() ? std::string() : line;
}

}  // namespace

std::string WatchSession::Summary() const {
    return "this session: " + std::to_string(shown_) + " captions shown, " + std::to_string(known_.size()) +
           " marked known, " + std::to_string(again_.size()) + " marked again" + Listed("known", known_) +
           Listed("again", again_);
}
