// Native stand-ins for the Windows location services, with '/' paths: the
// same folder rules apply, there is just no registry switch.
#include "platform/settings_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

std::string ExecutablePath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

std::string CommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && text.back() == '\0') text.pop_back();
    for (char& c : text)
        if (c == '\0') c = ' ';
    return text;
}

std::string ConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return xdg;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config";
    return std::string();
}

}  // namespace

LocationFacts GatherLocationFacts() {
    LocationFacts facts;
    facts.family = SystemFamily::kNt;
    facts.appDataFolder = ConfigFolder();
    facts.hostExecutablePath = ExecutablePath();
    facts.commandLine = CommandLine();
    facts.separator = '/';
    return facts;
}

// The core is linked into the executable natively.
std::string PluginModulePath() { return ExecutablePath(); }

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

}  // namespace platform
