// What the shared library does when it is loaded: the built-in dictionary,
// carried inside the library, becomes its resource, and the overlay gets
// the FreeType renderer.
#include <cstdint>
#include <span>

#include "dictionary/builtin_dictionary.h"
#include "overlay/overlay_engine.h"
#include "platform/posix/freetype_caption_renderer.h"
#include "platform/posix/plugin_resource_table.h"

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

FreeTypeCaptionRenderer freeTypeRenderer;

__attribute__((constructor)) void AttachPlugin() {
    RegisterPluginResource(kBuiltinDictionaryType, kBuiltinDictionaryId,
                           std::span<const uint8_t>(tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end));
    overlay::SetRenderer(&freeTypeRenderer);
}

}  // namespace
