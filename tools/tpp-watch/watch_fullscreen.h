// Full screen for the video sink's window: a sink that has the property
// (waylandsink's fullscreen) sets it; an X11 window of a sink's own
// (ximagesink, xvimagesink, glimagesink) asks the window manager, as a
// window's own title bar would.
#pragma once

#include <gst/gst.h>

// False when neither can be done.
bool ToggleFullScreen(GstElement* sink, guint64 window);
