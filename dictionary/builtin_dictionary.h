// The built-in dictionary: decoded once from the library's resource at
// Init, then only indexed.
#pragma once

#include <cstdint>
#include <memory>

// A word and its translation, Windows-1251, pointing into the dictionary's
// text buffer; they own nothing.
struct DictEntry {
    const char* word;
    const char* translation;
};

struct BuiltinDictionary {
    std::unique_ptr<char[]> text;         // the decoded bytes
    std::unique_ptr<DictEntry[]> entries;
    int32_t count = 0;
};

extern BuiltinDictionary builtinDictionary;

// Decodes the resource into builtinDictionary; any failure leaves it empty.
// Always returns 1.
int32_t LoadBuiltinDictionary();

// The entry at index, or the shared empty entry for any index outside
// 0 .. count - 1.
const DictEntry& GetBuiltinEntry(int32_t index);
