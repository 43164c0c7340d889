// The reference host: loads a plug-in as a TV application does and drives
// its whole lifecycle over raw frames, writing them on (batch mode) or
// playing them in a window.
#include <cstdio>

#include "tools/tpp-host/batch_driver.h"
#include "tools/tpp-host/console_text.h"
#include "tools/tpp-host/frame_io.h"
#include "tools/tpp-host/host_options.h"
#include "tools/tpp-host/interrupt.h"
#include "tools/tpp-host/plugin_library.h"
#include "tools/tpp-host/plugin_session.h"
#include "tools/tpp-host/plugin_trace.h"
#include "tools/tpp-host/window_mode.h"

namespace {

int Fail(const std::string& error) {
    ConsolePrint(stderr, "tpp-host: %s\n", error.c_str());
    return 1;
}

int PrintInfo(const PluginLibrary& plugin) {
    ConsolePrint(stdout, "version: %d\n", plugin.version());
    ConsolePrint(stdout, "name: %s\n", Cp1251ToUtf8(plugin.record()->name).c_str());
    ConsolePrint(stdout, "description: %s\n", Cp1251ToUtf8(plugin.record()->description).c_str());
    return 0;
}

// The host's whole run: everything it opens is closed when this returns.
int RunHost(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(argc, argv, options, error)) {
        ConsolePrint(stderr, "tpp-host: %s\n%s", error.c_str(), kHostUsage);
        return 2;
    }
    if (options.mode == HostMode::Help) {
        ConsolePrint(stdout, "%s", kHostUsage);
        return 0;
    }

    if (options.mode == HostMode::Window && !WindowModeAvailable()) {
        ConsolePrint(stderr, "tpp-host: --window is not available on this system; use batch mode\n");
        return 2;
    }

    // Declared before the library: the trace outlives the plug-in's last line.
    PluginTrace trace([](const std::string& line) { ConsolePrint(stderr, "tpp-host: plug-in: %s\n", line.c_str()); });
    PluginLibrary plugin;
    if (!plugin.Load(options.pluginPath, error)) return Fail(error);
    if (options.mode == HostMode::Info) return PrintInfo(plugin);

    FrameReader input;
    FrameWriter output;
    if (!input.Open(options.input, error)) return Fail(error);
    if (options.mode == HostMode::Batch && !output.Open(options.output, input, error)) return Fail(error);

    const std::string name = Cp1251ToUtf8(plugin.record()->name);
    ConsolePrint(stderr, "tpp-host: %s (interface %d), %dx%d %s\n", name.c_str(), plugin.version(), options.width,
                 options.height, options.pixelFormat == 0 ? "yuy2" : "rgb24");
    // From Init on, an interrupt lets the plug-in end in order.
    CatchInterrupts();
    PluginSession session(*plugin.record());
    if (session.Start(options.width, options.height, options.pixelFormat) != 1)
        ConsolePrint(stderr, "tpp-host: warning: StreamStart did not return 1\n");
    if (options.mode == HostMode::Window) return RunWindow(options, name, session, input);
    return RunBatch(options, session, input, output, [&] { return trace.Finish(); });
}

}  // namespace

int main(int argc, char** argv) {
    const int status = RunHost(argc, argv);
    // The plug-in has been unloaded, its trace read to the end and the
    // output closed: only now may an interrupt end the process its way.
    if (Interrupted()) EndAsInterrupted();
    return status;
}
