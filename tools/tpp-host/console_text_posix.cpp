#include "tools/tpp-host/console_text.h"

#include <unistd.h>

#include <cstdarg>
#include <cstring>

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

std::string SystemErrorText(unsigned long code) { return std::strerror(static_cast<int>(code)); }

// Terminals here take UTF-8 as it is.
void ConsolePrint(std::FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
    std::fflush(stream);
}
