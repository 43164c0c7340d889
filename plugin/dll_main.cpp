// The DLL's start-up: remembers the plug-in's own module, so that its
// resources and its file name are looked up in it and never in the host's
// executable, and makes the one instance that the exports serve, drawing
// with GDI and showing the Win32 dialog.
#include <windows.h>

#include <new>
#include <optional>

#include "platform/location_facts.h"
#include "platform/win32/module_resource.h"
#include "platform/win32/plugin_module.h"
#include "plugin/loaded_instance.h"
#include "render/gdi_caption_renderer.h"
#include "settings/settings_location.h"

namespace {

std::optional<PluginInstance> loadedInstance;

// Decoded at the first Init, once for the life of the library.
std::shared_ptr<const BuiltinDictionary> BuiltinWords() {
    static const auto words = std::make_shared<const BuiltinDictionary>(
        DecodeBuiltinDictionary(FindModuleResource(pluginModule, kBuiltinDictionaryType, kBuiltinDictionaryId)));
    return words;
}

}  // namespace

PluginInstance* LoadedInstance() { return loadedInstance ? &*loadedInstance : nullptr; }

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        pluginModule = module;
        DisableThreadLibraryCalls(module);
        try {
            loadedInstance.emplace(InstanceParts{std::make_unique<GdiCaptionRenderer>(),
                                                 BuiltinWords,
                                                 {},
                                                 ModuleBaseName(platform::PluginModulePath()),
                                                 module});
        } catch (const std::bad_alloc&) {
            return FALSE;  // the host is told the library could not be loaded
        }
    }
    return TRUE;
}
