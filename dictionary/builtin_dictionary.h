// The built-in dictionary: decoded from the library's packed word list,
// then only indexed. A process decodes it once; its instances share that
// copy, read-only.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

// A word and its translation, UTF-8, pointing into the dictionary's text
// buffer; they own nothing.
struct DictEntry {
    const char* word;
    const char* translation;
};

struct BuiltinDictionary {
    std::unique_ptr<char[]> text;  // the decoded strings, as UTF-8
    std::unique_ptr<DictEntry[]> entries;
    int32_t count = 0;
};

// The resource that holds it in the library: type "BINARY", id 5008.
constexpr const char* kBuiltinDictionaryType = "BINARY";
constexpr uint16_t kBuiltinDictionaryId = 5008;
// The shipped dictionary decodes to well under 1 MiB; a size header above
// this bound is corrupt and is refused before anything is allocated.
constexpr uint32_t kMaxBuiltinDictionarySize = 16 * 1024 * 1024;

// The dictionary of the packed resource bytes. Missing bytes, a refused
// size, a corrupt stream or a lack of memory give an empty dictionary.
BuiltinDictionary DecodeBuiltinDictionary(std::span<const uint8_t> stored);

// The entry at index, or the shared empty entry for any index outside
// 0 .. count - 1.
const DictEntry& GetBuiltinEntry(const BuiltinDictionary& dictionary, int32_t index);
