// What the platform knows about where the settings file belongs: the facts
// that the settings location is built from, and the one folder it creates.
#pragma once

#include <string>

namespace platform {

enum class SystemFamily {
    kUnknown,  // the version query failed
    kNt,
    kOther,  // Win32s, 95, 98, ME
};

struct LocationFacts {
    SystemFamily family = SystemFamily::kUnknown;
    bool storeInUsersFolder = false;  // the per-user switch in the registry
    std::string appDataFolder;        // without a trailing separator; empty if unknown
    // Full path of the process's executable, as far as the platform reads
    // it: Windows gives at most 259 characters (a 260-character buffer),
    // so a longer path arrives cut short; empty when it cannot be read.
    std::string hostExecutablePath;
    std::string commandLine;  // the process's command line as given
    char separator = '\\';
};

LocationFacts GatherLocationFacts();

// Full path of the plug-in library's own file (not the host's).
std::string PluginModulePath();

// Creates one folder level; an existing folder or a missing parent is
// reported as false and is not an error for callers.
bool CreateFolder(const std::string& path);

}  // namespace platform
