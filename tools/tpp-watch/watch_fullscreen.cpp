#include "tools/tpp-watch/watch_fullscreen.h"

#ifdef TPP_WATCH_X11
#include <X11/Xlib.h>
#endif

namespace {

#ifdef TPP_WATCH_X11
// The _NET_WM_STATE toggle of the window managers' common conventions.
bool AskWindowManager(guint64 window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // toggle
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;  // asked by an application
    const Status sent = XSendEvent(display, DefaultRootWindow(display), False,
                                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XCloseDisplay(display);
    return sent != 0;
}
#else
bool AskWindowManager(guint64) { return false; }
#endif

}  // namespace

bool ToggleFullScreen(GstElement* sink, guint64 window) {
    if (sink) {
        GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "fullscreen");
        if (spec && G_PARAM_SPEC_VALUE_TYPE(spec) == G_TYPE_BOOLEAN && (spec->flags & G_PARAM_WRITABLE)) {
            gboolean on = FALSE;
            g_object_get(sink, "fullscreen", &on, nullptr);
            g_object_set(sink, "fullscreen", !on, nullptr);
            return true;
        }
    }
    return window != 0 && AskWindowManager(window);
}
