#include "tools/tpp-host/plugin_library.h"

PluginLibrary::~PluginLibrary() {
    if (module_) CloseModule(module_);
}

bool PluginLibrary::Load(const std::string& path, std::string& error) {
    module_ = OpenModule(path, error);
    if (!module_) return false;
    auto version = reinterpret_cast<PluginVersionExport>(FindExport(module_, "Telvoria_Plugin_Version"));
    auto record = reinterpret_cast<PluginRecordExport>(FindExport(module_, "Telvoria_Plugin_PR"));
    if (!version || !record) {
        error = path + " is not a plug-in: the exports Telvoria_Plugin_Version and Telvoria_Plugin_PR are missing";
    } else if ((version_ = version()) != kHostInterfaceVersion) {
        error = path + " implements interface version " + std::to_string(version_) + ", this host needs " +
                std::to_string(kHostInterfaceVersion);
    } else if (!(record_ = record())) {
        error = path + " returned no plug-in record";
    } else {
        return true;
    }
    CloseModule(module_);
    module_ = nullptr;
    record_ = nullptr;
    return false;
}
