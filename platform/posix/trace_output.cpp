#include <cstdio>

#include "platform/trace.h"

void platform::WriteTraceLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}
