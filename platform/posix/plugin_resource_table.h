// A native build has no module resources: tests register the bytes that
// FindPluginResource is to return.
#pragma once

#include <cstdint>
#include <span>

// Borrows bytes until the next call for the same type and id; an empty
// span removes the resource.
void RegisterPluginResource(const char* type, uint16_t id, std::span<const uint8_t> bytes);
