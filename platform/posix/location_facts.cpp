// The location services on Linux, with '/' paths and the same folder rules
// as on Windows. Instead of the registry switch, the user asks for the
// per-user folder ($XDG_CONFIG_HOME/Telvoria, by default ~/.config/Telvoria)
// with TPP_STORE_IN_USERS_FOLDER set to a non-zero number.
#include "platform/location_facts.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

// As on Windows, a path longer than the buffer arrives cut short; the
// kernel itself refuses one longer than a page, and that gives no path.
std::string ExecutablePath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
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

bool StoreInUsersFolder() {
    const char* value = std::getenv("TPP_STORE_IN_USERS_FOLDER");
    if (!value || !*value) return false;
    char* end = nullptr;
    const long number = std::strtol(value, &end, 10);
    return *end == '\0' && number != 0;
}

// A relative XDG_CONFIG_HOME is invalid by its own convention and ignored.
std::string ConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return xdg;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config";
    return std::string();
}

}  // namespace

LocationFacts GatherLocationFacts() {
    LocationFacts facts;
    facts.family = SystemFamily::kNt;
    facts.storeInUsersFolder = StoreInUsersFolder();
    facts.appDataFolder = ConfigFolder();
    facts.hostExecutablePath = ExecutablePath();
    facts.commandLine = CommandLine();
    facts.separator = '/';
    return facts;
}

// The file this code was loaded from: the plug-in's shared library, or the
// executable when the core is linked into one.
std::string PluginModulePath() {
    Dl_info info = {};
    if (::dladdr(reinterpret_cast<void*>(&PluginModulePath), &info) && info.dli_fname && *info.dli_fname) {
        char resolved[4096];
        if (::realpath(info.dli_fname, resolved)) return resolved;
        return info.dli_fname;
    }
    return ExecutablePath();
}

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

}  // namespace platform
