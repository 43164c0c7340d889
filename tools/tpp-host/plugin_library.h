// A plug-in DLL loaded the way a host loads it: by path, then its two
// exports, then its record.
#pragma once

#include <windows.h>

#include <string>

#include "plugin/host_interface.h"

class PluginLibrary {
public:
    PluginLibrary() = default;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    ~PluginLibrary();

    // Loads the library and checks its interface version; on failure
    // returns false with a message in error and holds nothing.
    bool Load(const std::string& path, std::string& error);

    int32_t version() const { return version_; }
    const PluginRecord* record() const { return record_; }

private:
    HMODULE module_ = nullptr;
    int32_t version_ = 0;
    const PluginRecord* record_ = nullptr;
};
