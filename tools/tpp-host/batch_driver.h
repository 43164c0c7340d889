// Batch mode: raw frames from the input through the plug-in to the output.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/tpp-host/frame_io.h"
#include "tools/tpp-host/host_options.h"
#include "tools/tpp-host/plugin_session.h"

// Runs the started session over the input until it ends (or --frames is
// reached, or an interrupt comes), then finishes the session and repeats,
// below its summary, what pluginSaid then returns: the lines the plug-in
// traced. Returns the process exit code: 0; 1 after a failure, which it
// has reported on standard error; the interrupt's status after an
// interrupt.
int RunBatch(const HostOptions& options, PluginSession& session, FrameReader& input, FrameWriter& output,
             const std::function<std::vector<std::string>()>& pluginSaid);
