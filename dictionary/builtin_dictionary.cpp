#include "dictionary/builtin_dictionary.h"

#include <algorithm>
#include <new>
#include <string>

#include "dictionary/dictionary_store.h"
#include "dictionary/resource_decoder.h"
#include "platform/plugin_resource.h"

BuiltinDictionary builtinDictionary;

namespace {

const DictEntry emptyEntry = {"", ""};

// The decoded text is NUL-terminated strings, alternately word and
// translation; a last string without partner and bytes after the last NUL
// belong to no entry.
bool BuildEntries(DecodedResource decoded) {
    const char* text = decoded.bytes.get();
    const auto nuls = std::count(text, text + decoded.size, '\0');
    const auto count = static_cast<int32_t>(nuls / 2);
    std::unique_ptr<DictEntry[]> entries(new (std::nothrow) DictEntry[static_cast<size_t>(count)]);
    if (!entries) return false;
    const char* string = text;
    for (int32_t i = 0; i < 2 * count; ++i) {
        const char*& slot = i % 2 == 0 ? entries[i / 2].word : entries[i / 2].translation;
        slot = string;
        string += std::char_traits<char>::length(string) + 1;
    }
    builtinDictionary.text = std::move(decoded.bytes);
    builtinDictionary.entries = std::move(entries);
    builtinDictionary.count = count;
    return true;
}

void DecodeBuiltinDictionary() {
    const std::span<const uint8_t> stored =
        FindPluginResource(kBuiltinDictionaryType, kBuiltinDictionaryId);
    if (stored.empty()) return;
    // A stream that needs bits past its stored bytes beyond the decoder's
    // lookahead was cut short: refusing it keeps half-decoded garbage off
    // screen.
    DecodedResource decoded =
        DecodeResource(stored, {.maxSize = kMaxBuiltinDictionarySize, .strict = true});
    if (decoded.status == DecodeStatus::kOk) BuildEntries(std::move(decoded));
}

}  // namespace

int32_t LoadBuiltinDictionary() {
    builtinDictionary = BuiltinDictionary{};
    try {
        DecodeBuiltinDictionary();
    } catch (const std::bad_alloc&) {
        builtinDictionary = BuiltinDictionary{};
    }
    RearmBuiltinOrder();
    return 1;
}

const DictEntry& GetBuiltinEntry(int32_t index) {
    if (index < 0 || index >= builtinDictionary.count) return emptyEntry;
    return builtinDictionary.entries[static_cast<size_t>(index)];
}
