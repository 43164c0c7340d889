#include <windows.h>
#include <shlobj.h>

#include "platform/location_facts.h"
#include "platform/win32/plugin_module.h"
#include "platform/win32/wide_text.h"

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
    const LONG status = RegQueryValueExA(key, "StoreInUsersFolder", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                         &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value != 0;
}

// Paths and the command line come as UTF-16 and go on as UTF-8, so that a
// folder or user name in any script is kept whole.
std::string AppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE)) return std::string();
    return Utf8FromWide(path);
}

// The host's path as a 260-character buffer holds it: a longer one is cut
// to the 259 characters before the terminator (Wine fills all 260 and
// leaves the terminator out, Windows keeps it; both return 260).
std::string HostPathInOneBuffer() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Utf8FromWide(std::wstring_view(path, n < MAX_PATH ? n : MAX_PATH - 1));
}

// The plug-in's own path in full, however long: only its file name is
// used, and a cut one would name another file.
std::string FullModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) return Utf8FromWide(std::wstring_view(path).substr(0, n));
        if (path.size() >= 32768) return std::string();  // longer than any Windows path
        path.resize(path.size() * 2);
    }
}

}  // namespace

static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148);

LocationFacts GatherLocationFacts() {
    LocationFacts facts;
    facts.family = QuerySystemFamily();
    facts.storeInUsersFolder = ReadStoreInUsersFolder();
    facts.appDataFolder = AppDataFolder();
    facts.hostExecutablePath = HostPathInOneBuffer();
    facts.commandLine = Utf8FromWide(GetCommandLineW());
    facts.separator = '\\';
    return facts;
}

std::string PluginModulePath() { return FullModulePath(pluginModule); }

bool CreateFolder(const std::string& path) { return CreateDirectoryW(WideFromUtf8(path).c_str(), nullptr); }

}  // namespace platform
