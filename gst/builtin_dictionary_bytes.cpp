#include "gst/builtin_dictionary_bytes.h"

// The packed dictionary, built before this file is compiled.
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl tpp_gst_dictionary_begin, tpp_gst_dictionary_end\n"
    ".hidden tpp_gst_dictionary_begin, tpp_gst_dictionary_end\n"
    "tpp_gst_dictionary_begin:\n"
    ".incbin \"" TPP_DICTIONARY_PACKED "\"\n"
    "tpp_gst_dictionary_end:\n"
    ".previous\n");
extern "C" const uint8_t tpp_gst_dictionary_begin[], tpp_gst_dictionary_end[];

std::span<const uint8_t> BuiltinDictionaryBytes() { return {tpp_gst_dictionary_begin, tpp_gst_dictionary_end}; }
