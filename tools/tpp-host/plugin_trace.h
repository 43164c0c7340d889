// The plug-in's trace of the faults it caught and survived, and of the
// settings that hide its captions, shown on the host's standard error and
// kept for the summary. Natively the plug-in writes those lines to the
// descriptor that TPP_TRACE_FD names, a pipe the host reads; under
// Windows it writes them to the debugger's output, which the host takes
// as a monitor of debug output does. Started before the plug-in loads,
// the trace turns the plug-in's tracing on unless TPP_TRACE says
// otherwise.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class PluginTrace {
public:
    using Show = std::function<void(const std::string& line)>;
    // Each line the plug-in traces goes to show.
    explicit PluginTrace(Show show);
    PluginTrace(const PluginTrace&) = delete;
    PluginTrace& operator=(const PluginTrace&) = delete;
    // Finishes, if Finish was not called.
    ~PluginTrace();

    // Shows what is still pending, then stops; once the plug-in has ended,
    // every line it traced has been shown. Returns those lines, each once,
    // in the order first shown (at most kKeptLines).
    std::vector<std::string> Finish();
    static constexpr size_t kKeptLines = 16;

private:
    struct Monitor;
    void Keep(const std::string& line);

    std::unique_ptr<Monitor> monitor_;
    std::mutex keptLock_;
    std::vector<std::string> kept_;
};
