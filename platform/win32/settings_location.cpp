#include <windows.h>
#include <shlobj.h>

#include "platform/settings_location.h"
#include "platform/win32/plugin_module.h"

namespace platform {

namespace {

// Asks with the extended structure first and falls back to the basic one,
// which the oldest systems insist on.
SystemFamily QuerySystemFamily() {
    OSVERSIONINFOEXA extended = {};
    extended.dwOSVersionInfoSize = sizeof extended;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)))
        return extended.dwPlatformId == VER_PLATFORM_WIN32_NT ? SystemFamily::kNt : SystemFamily::kOther;
    OSVERSIONINFOA basic = {};
    basic.dwOSVersionInfoSize = sizeof basic;
    if (GetVersionExA(&basic))
        return basic.dwPlatformId == VER_PLATFORM_WIN32_NT ? SystemFamily::kNt : SystemFamily::kOther;
    return SystemFamily::kUnknown;
}

bool ReadStoreInUsersFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Telvoria", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG status =
        RegQueryValueExA(key, "StoreInUsersFolder", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value != 0;
}

std::string AppDataFolder() {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE)) return std::string();
    return path;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

}  // namespace

static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148);

LocationFacts GatherLocationFacts() {
    LocationFacts facts;
    facts.family = QuerySystemFamily();
    facts.storeInUsersFolder = ReadStoreInUsersFolder();
    facts.appDataFolder = AppDataFolder();
    facts.hostExecutablePath = ModulePath(nullptr);
    facts.commandLine = GetCommandLineA();
    facts.separator = '\\';
    return facts;
}

std::string PluginModulePath() { return ModulePath(pluginModule); }

bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr); }

}  // namespace platform
