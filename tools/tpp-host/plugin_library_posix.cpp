#include <dlfcn.h>

#include "tools/tpp-host/plugin_library.h"

void* PluginLibrary::OpenModule(const std::string& path, std::string& error) {
    // dlopen searches the library path for a bare name; a host means the file.
    // Kept mapped after dlclose: fontconfig, which the plug-in pulls in,
    // keeps process-wide tables that would otherwise be unmapped under us
    // (and reported as leaks by the sanitizers).
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) {
        const char* why = ::dlerror();
        error = "cannot load " + path + " (" + (why ? why : "unknown error") + ")";
    }
    return module;
}

void* PluginLibrary::FindExport(void* module, const char* name) { return ::dlsym(module, name); }

void PluginLibrary::CloseModule(void* module) { ::dlclose(module); }
