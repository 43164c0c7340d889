// The bytes of a resource in the plug-in's own module (never the host's).
#pragma once

#include <cstdint>
#include <span>

// Type is a resource type name such as "BINARY". Returns an empty span when
// the resource is missing or cannot be loaded. The bytes stay valid while
// the module is loaded.
std::span<const uint8_t> FindPluginResource(const char* type, uint16_t id);
