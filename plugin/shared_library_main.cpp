// The shared library's start-up: makes the one instance that the exports
// serve, drawing with FreeType, its built-in dictionary the packed word
// list carried inside the library.
#include <optional>

#include "platform/location_facts.h"
#include "plugin/embedded_dictionary.h"
#include "plugin/loaded_instance.h"
#include "render/freetype_caption_renderer.h"
#include "settings/settings_location.h"

namespace {

std::optional<PluginInstance> loadedInstance;

__attribute__((constructor)) void MakeLoadedInstance() {
    try {
        loadedInstance.emplace(InstanceParts{std::make_unique<FreeTypeCaptionRenderer>(),
                                             SharedBuiltinDictionary,
                                             {},
                                             ModuleBaseName(platform::PluginModulePath()),
                                             nullptr});
    } catch (...) {
        // Without memory at load the callbacks do nothing.
    }
}

}  // namespace

PluginInstance* LoadedInstance() { return loadedInstance ? &*loadedInstance : nullptr; }
