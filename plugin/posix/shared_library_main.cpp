// The shared library's start-up: makes the one instance that the exports
// serve, drawing with FreeType, its built-in dictionary the packed word
// list carried inside the library.
#include <cstdint>
#include <optional>
#include <span>

#include "platform/settings_location.h"
#include "plugin/loaded_instance.h"
#include "render/freetype_caption_renderer.h"
#include "settings/settings_location.h"

// The packed dictionary, built before this file is compiled.
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end\n"
    ".hidden tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end\n"
    "tpp_builtin_dictionary_begin:\n"
    ".incbin \"" TPP_DICTIONARY_PACKED "\"\n"
    "tpp_builtin_dictionary_end:\n"
    ".previous\n");
extern "C" const uint8_t tpp_builtin_dictionary_begin[], tpp_builtin_dictionary_end[];

namespace {

std::optional<PluginInstance> loadedInstance;

// Decoded at the first Init, once for the life of the library.
std::shared_ptr<const BuiltinDictionary> BuiltinWords() {
    static const auto words = std::make_shared<const BuiltinDictionary>(DecodeBuiltinDictionary(
        std::span<const uint8_t>(tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end)));
    return words;
}

__attribute__((constructor)) void MakeLoadedInstance() {
    try {
        loadedInstance.emplace(InstanceParts{std::make_unique<FreeTypeCaptionRenderer>(), BuiltinWords, {},
                                             ModuleBaseName(platform::PluginModulePath()), nullptr});
    } catch (...) {
        // Without memory at load the callbacks do nothing.
    }
}

}  // namespace

PluginInstance* LoadedInstance() { return loadedInstance ? &*loadedInstance : nullptr; }
