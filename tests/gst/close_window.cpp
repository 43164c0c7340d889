// Closes a window as a window manager does when its close button is
// clicked: WM_DELETE_WINDOW sent to the first top-level window that takes
// it, waited for up to 20 s. Exit status 0 once sent.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "close_window: no display\n");
        return 2;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom closing = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (int attempt = 0; attempt < 200; ++attempt, usleep(100000)) {
        Window root = DefaultRootWindow(display), parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, root, &root, &parent, &children, &count)) continue;
        for (unsigned i = 0; i < count; ++i) {
            Atom* taken = nullptr;
            int n = 0;
            if (!XGetWMProtocols(display, children[i], &taken, &n)) continue;
            bool takesClosing = false;
            for (int p = 0; p < n; ++p) takesClosing = takesClosing || taken[p] == closing;
            XFree(taken);
            if (!takesClosing) continue;
            XEvent event = {};
            event.xclient.type = ClientMessage;
            event.xclient.window = children[i];
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = long(closing);
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, children[i], False, NoEventMask, &event);
            XFlush(display);
            XFree(children);
            XCloseDisplay(display);
            return 0;
        }
        if (children) XFree(children);
    }
    std::fprintf(stderr, "close_window: no window to close\n");
    XCloseDisplay(display);
    return 1;
}
