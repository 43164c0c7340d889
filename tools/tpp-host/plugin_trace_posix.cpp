#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

#include "tools/tpp-host/plugin_trace.h"

// The plug-in writes its lines to the pipe's write end, named by
// TPP_TRACE_FD; a thread shows them as they come. Finishing puts
// /dev/null in the write end's place, so the reader sees the pipe's end
// once every line is in, and a late line goes nowhere rather than into a
// descriptor opened since.
struct PluginTrace::Monitor {
    int readEnd = -1, writeEnd = -1;
    std::thread reader;

    ~Monitor() {
        if (writeEnd >= 0) {
            const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
            if (nothing >= 0) {
                ::dup2(nothing, writeEnd);
                ::close(nothing);
            } else {
                ::close(writeEnd);
            }
        }
        if (reader.joinable()) reader.join();
        if (readEnd >= 0) ::close(readEnd);
    }
};

PluginTrace::PluginTrace(Show show) {
    setenv("TPP_TRACE", "1", 0);
    if (std::getenv("TPP_TRACE_FD")) return;  // the caller sends the lines elsewhere
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;  // the plug-in then writes to standard error
    auto monitor = std::make_unique<Monitor>();
    monitor->readEnd = ends[0], monitor->writeEnd = ends[1];
    setenv("TPP_TRACE_FD", std::to_string(ends[1]).c_str(), 1);
    monitor->reader = std::thread([this, show = std::move(show), from = ends[0]] {
        std::string pending;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(from, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            pending.append(buffer, size_t(got));
            for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                const std::string line = pending.substr(0, end);
                Keep(line);
                show(line);
            }
        }
        if (!pending.empty()) Keep(pending), show(pending);
    });
    monitor_ = std::move(monitor);
}

std::vector<std::string> PluginTrace::Finish() {
    monitor_.reset();
    const std::lock_guard<std::mutex> lock(keptLock_);
    return kept_;
}

PluginTrace::~PluginTrace() { Finish(); }
