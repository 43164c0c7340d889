#include <cstdlib>

#include "tools/tpp-host/plugin_trace.h"

// The plug-in shares the host's standard error: it only needs telling.
struct PluginTrace::Monitor {};

PluginTrace::PluginTrace(Show) { setenv("TPP_TRACE", "1", 0); }

PluginTrace::~PluginTrace() = default;
