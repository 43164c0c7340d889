#include <windows.h>

#include "platform/trace.h"

// A plug-in inside a window application has no console: the debugger's
// output is where Windows programs leave such lines.
void platform::WriteTraceLine(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }
