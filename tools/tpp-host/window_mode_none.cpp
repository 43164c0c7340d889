// Builds without a window system to play frames in.
#include "tools/tpp-host/window_mode.h"

bool WindowModeAvailable() { return false; }

int RunWindow(const HostOptions&, const std::string&, PluginSession& session, FrameReader&) {
    session.Finish();
    return 2;
}
