#include "platform/trace.h"

#include <cstdlib>

namespace platform {

// Read at each line: lines are rare (faults, notices), and a process that
// turns tracing on after a first fault is then heard.
bool TraceEnabled() {
    const char* value = std::getenv("TPP_TRACE");
    return value && std::strtol(value, nullptr, 10) != 0;
}

void Trace(const std::string& line) {
    if (TraceEnabled()) WriteTraceLine(line);
}

}  // namespace platform
