// The bytes of a resource in a module: the plug-in's own file, never the
// host's, since the host's executable may carry resources of the same name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// Type is a resource type name such as "BINARY". Empty when the resource is
// missing or cannot be loaded; the bytes stay valid while the module is
// loaded.
std::span<const uint8_t> FindModuleResource(HMODULE module, const char* type, uint16_t id);
