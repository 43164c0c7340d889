// A plug-in library loaded the way a host loads it: by path, then its two
// exports, then its record.
#pragma once

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
    // The system's side: open by path (null and a message on failure), look
    // an export up, close.
    static void* OpenModule(const std::string& path, std::string& error);
    static void* FindExport(void* module, const char* name);
    static void CloseModule(void* module);

    void* module_ = nullptr;
    int32_t version_ = 0;
    const PluginRecord* record_ = nullptr;
};
