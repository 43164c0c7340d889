// A trace of the faults the plug-in caught, for whoever looks: with
// TPP_TRACE set to a number other than 0, each line goes to standard error
// natively and to the debugger's output on Windows (which a debugger, or a
// monitor of debug output such as tpp-host, shows). Off otherwise.
#pragma once

#include <string>

namespace platform {

// Whether TPP_TRACE is set to a number other than 0 now.
bool TraceEnabled();

// Writes one line, when tracing is on.
void Trace(const std::string& line);

// Where a line goes: the platform's half of Trace.
void WriteTraceLine(const std::string& line);

}  // namespace platform
