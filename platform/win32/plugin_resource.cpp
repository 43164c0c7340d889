#include "platform/plugin_resource.h"

#include <windows.h>

#include "platform/win32/plugin_module.h"

std::span<const uint8_t> FindPluginResource(const char* type, uint16_t id) {
    HRSRC info = FindResourceA(pluginModule, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) return {};
    HGLOBAL handle = LoadResource(pluginModule, info);
    if (handle == nullptr) return {};
    const void* data = LockResource(handle);
    const DWORD size = SizeofResource(pluginModule, info);
    if (data == nullptr || size == 0) return {};
    return {static_cast<const uint8_t*>(data), size};
}
