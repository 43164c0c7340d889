#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/trace.h"

// Standard error, or the descriptor TPP_TRACE_FD names: a host that wants
// the lines apart from its own (tpp-host) passes a pipe there.
void platform::WriteTraceLine(const std::string& line) {
    static const int descriptor = [] {
        const char* value = std::getenv("TPP_TRACE_FD");
        return value && *value ? static_cast<int>(std::strtol(value, nullptr, 10)) : STDERR_FILENO;
    }();
    const std::string text = line + "\n";
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(descriptor, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return;
        done += size_t(wrote);
    }
}
