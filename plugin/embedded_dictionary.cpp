#include "plugin/embedded_dictionary.h"

#include <cstdint>
#include <span>

// The packed dictionary, built before this file is compiled.
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end\n"
    ".hidden tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end\n"
    "tpp_builtin_dictionary_begin:\n"
    ".incbin \"" TPP_DICTIONARY_PACKED
    "\"\n"
    "tpp_builtin_dictionary_end:\n"
    ".previous\n");
extern "C" const uint8_t tpp_builtin_dictionary_begin[], tpp_builtin_dictionary_end[];

std::shared_ptr<const BuiltinDictionary> SharedBuiltinDictionary() {
    static const auto words = std::make_shared<const BuiltinDictionary>(
        DecodeBuiltinDictionary(std::span<const uint8_t>(tpp_builtin_dictionary_begin, tpp_builtin_dictionary_end)));
    return words;
}
