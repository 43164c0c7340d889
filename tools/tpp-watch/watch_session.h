// What the viewer has seen and marked in this session, from the element's
// messages: the one-line status on the terminal and the summary at the end.
#pragma once

#include <gst/gst.h>

#include <string>

class WatchSession {
public:
    // Counts tpp25frame-caption and tpp25frame-mark; true when the message
    // was one of them.
    bool Take(const GstStructure* message);

    // "paused 0:01:12 / 0:45:00  beta - two  (12 shown, 1 known, 2 again)";
    // position and duration of -1 are unknown.
    std::string Status(bool paused, gint64 position, gint64 duration) const;
    std::string Summary() const;

private:
    int shown_ = 0, known_ = 0, again_ = 0;
    std::string caption_;
};
