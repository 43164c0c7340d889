#include "tools/tpp-host/plugin_trace.h"

#include <algorithm>

void PluginTrace::Keep(const std::string& line) {
    const std::lock_guard<std::mutex> lock(keptLock_);
    if (kept_.size() < kKeptLines && std::find(kept_.begin(), kept_.end(), line) == kept_.end()) kept_.push_back(line);
}
