// The plug-in's trace of the faults it caught and survived, shown on the
// host's standard error. Natively the plug-in writes those lines there
// itself; under Windows it writes them to the debugger's output, which
// the host takes as a monitor of debug output does. Started before the
// plug-in loads, the trace turns the plug-in's tracing on unless
// TPP_TRACE says otherwise.
#pragma once

#include <functional>
#include <memory>
#include <string>

class PluginTrace {
public:
    using Show = std::function<void(const std::string& line)>;
    // Each line the plug-in writes to the debugger's output goes to show
    // (natively the plug-in writes to standard error itself).
    explicit PluginTrace(Show show);
    PluginTrace(const PluginTrace&) = delete;
    PluginTrace& operator=(const PluginTrace&) = delete;
    // Shows what is still pending, then stops.
    ~PluginTrace();

private:
    struct Monitor;
    std::unique_ptr<Monitor> monitor_;
};
