#include "platform/win32/module_resource.h"

std::span<const uint8_t> FindModuleResource(HMODULE module, const char* type, uint16_t id) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) return {};
    HGLOBAL handle = LoadResource(module, info);
    if (handle == nullptr) return {};
    const void* data = LockResource(handle);
    const DWORD size = SizeofResource(module, info);
    if (data == nullptr || size == 0) return {};
    return {static_cast<const uint8_t*>(data), size};
}
