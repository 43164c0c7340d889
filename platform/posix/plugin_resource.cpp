#include "platform/plugin_resource.h"

#include <map>
#include <string>
#include <utility>

#include "platform/posix/plugin_resource_table.h"

namespace {

std::map<std::pair<std::string, uint16_t>, std::span<const uint8_t>>& Resources() {
    static std::map<std::pair<std::string, uint16_t>, std::span<const uint8_t>> resources;
    return resources;
}

}  // namespace

void RegisterPluginResource(const char* type, uint16_t id, std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        Resources().erase({type, id});
    } else {
        Resources()[{type, id}] = bytes;
    }
}

std::span<const uint8_t> FindPluginResource(const char* type, uint16_t id) {
    const auto found = Resources().find({type, id});
    return found == Resources().end() ? std::span<const uint8_t>{} : found->second;
}
