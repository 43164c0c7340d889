#include "platform/trace.h"

#include <cstdlib>

namespace platform {

bool TraceEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("TPP_TRACE");
        return value && std::strtol(value, nullptr, 10) != 0;
    }();
    return enabled;
}

void Trace(const std::string& line) {
    if (TraceEnabled()) WriteTraceLine(line);
}

}  // namespace platform
