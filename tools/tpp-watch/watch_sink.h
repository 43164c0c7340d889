// The video sink the player shows the film in, opened before the film
// plays: a sink that cannot open its window (no XVideo port on this
// display, a display that refused a connection) gives way to the next, so
// that no caption is ever counted into a window that does not exist.
#pragma once

#include <gst/gst.h>

#include <string>

// A sink with its window's display open (READY), for playbin's video-sink;
// null, with why saying what each sink answered, when none can open.
GstElement* OpenVideoSink(std::string& why);
