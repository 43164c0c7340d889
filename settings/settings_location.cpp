#include "settings/settings_location.h"

#include <string_view>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// False when the switch is absent; else instance := the one character after
// its first occurrence, empty when the switch ends the line.
bool FindSwitch(const std::string& line, std::string_view name, std::string& instance) {
    const size_t at = line.find(name);
    if (at == std::string::npos) return false;
    const size_t next = at + name.size();
    instance = next < line.size() ? line.substr(next, 1) : std::string();
    return true;
}

// A folder that does not depend on the current directory. With '/' it
// starts at the root; with a backslash on a drive (C:\...) or as a UNC or
// device path (\\server\...), while \TV\ would hang on the current drive.
bool IsAbsoluteFolder(const std::string& folder, char sep) {
    if (sep == '/') return !folder.empty() && folder[0] == '/';
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (folder.size() >= 3 && letter(folder[0]) && folder[1] == ':' && folder[2] == sep) return true;
    return folder.size() >= 2 && folder[0] == sep && folder[1] == sep;
}

}  // namespace

std::string InstanceFromCommandLine(std::string commandLine) {
    for (char& c : commandLine) c = LowerAscii(c);
    std::string instance;
    FindSwitch(commandLine, "-inst:", instance);
    FindSwitch(commandLine, "/inst:", instance);
    return instance;
}

std::string SettingsFolder(const platform::LocationFacts& facts, const std::string& instance) {
    using platform::SystemFamily;
    const char sep = facts.separator;
    std::string folder;
    if (facts.family == SystemFamily::kUnknown) return folder;
    if (facts.family == SystemFamily::kNt && facts.storeInUsersFolder) {
        // Without the per-user folder the path would start at the root of
        // the current drive.
        if (facts.appDataFolder.empty()) return folder;
        folder = facts.appDataFolder + sep + "Telvoria" + sep;
    } else {
        // A host path cut short by the platform still names an ancestor of
        // the host's folder up to its last separator.
        const size_t cut = facts.hostExecutablePath.rfind(sep);
        if (cut != std::string::npos) folder = facts.hostExecutablePath.substr(0, cut + 1);
    }
    // A relative folder would put the file wherever the host happens to
    // run from: no file at all is the safer outcome.
    if (!IsAbsoluteFolder(folder, sep)) return std::string();
    if (!instance.empty()) folder += "Instances" + std::string(1, sep) + instance + sep;
    folder += "Plugins";
    folder += sep;
    return folder;
}

std::string ModuleBaseName(const std::string& modulePath) {
    const size_t slash = modulePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}
