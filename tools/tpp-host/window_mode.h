// Window mode: the frames played in a window at the stream's rate, with
// the plug-in's settings dialog one menu command away.
#pragma once

#include <string>

#include "tools/tpp-host/frame_io.h"
#include "tools/tpp-host/host_options.h"
#include "tools/tpp-host/plugin_session.h"

// The window's class and its menu command, known to tests that drive the
// window by messages.
constexpr wchar_t kHostWindowClass[] = L"TppHostWindow";
constexpr unsigned kSettingsCommand = 101;

// False where this build has no window mode.
bool WindowModeAvailable();

// Plays the input through the started session until the window is closed;
// closing it finishes the session. Returns the process exit code: 1 when
// the input failed or ended inside a frame, which it reports on stderr.
int RunWindow(const HostOptions& options, const std::string& pluginName, PluginSession& session, FrameReader& input);
