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

// The resource that holds it: type "BINARY", id 5008.
constexpr const char* kBuiltinDictionaryType = "BINARY";
constexpr uint16_t kBuiltinDictionaryId = 5008;
// The shipped dictionary decodes to well under 1 MiB; a size header above
// this bound is corrupt and is refused before anything is allocated.
constexpr uint32_t kMaxBuiltinDictionarySize = 16 * 1024 * 1024;

// Decodes the resource into builtinDictionary; a missing resource, a
// refused size, a corrupt stream or a lack of memory leaves it empty.
// Always returns 1.
int32_t LoadBuiltinDictionary();

// The entry at index, or the shared empty entry for any index outside
// 0 .. count - 1.
const DictEntry& GetBuiltinEntry(int32_t index);
