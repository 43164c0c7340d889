#include <windows.h>

#include "tools/tpp-host/plugin_library.h"

void* PluginLibrary::OpenModule(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return module;
}

void* PluginLibrary::FindExport(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void PluginLibrary::CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
