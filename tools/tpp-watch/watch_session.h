// What the viewer has seen and marked in this session, from the element's
// messages: the one-line status on the terminal and the summary at the end.
#pragma once

#include <gst/gst.h>

#include <string>
#include <vector>

class WatchSession {
public:
    // Counts tpp25frame-caption and tpp25frame-mark, and follows
    // tpp25frame-key; true when the message was one of them.
    bool Take(const GstStructure* message);

    // "paused 0:01:12 / 0:45:00  beta - two  (12 shown, 1 known, 2 again)",
    // "captions off" in place of the caption while they are; position and
    // duration of -1 are unknown.
    std::string Status(bool paused, gint64 position, gint64 duration) const;
    // The counts, then the words marked, each kind on a line of its own.
    std::string Summary() const;

private:
    int shown_ = 0;
    std::vector<std::string> known_, again_;
    std::string caption_;
    bool captionsOff_ = false;
};
