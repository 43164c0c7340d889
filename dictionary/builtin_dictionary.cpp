#include "dictionary/builtin_dictionary.h"

#include <algorithm>
#include <new>
#include <string>

#include "dictionary/resource_decoder.h"

namespace {

const DictEntry emptyEntry = {"", ""};

// The decoded text is NUL-terminated strings, alternately word and
// translation; a last string without partner and bytes after the last NUL
// belong to no entry.
BuiltinDictionary BuildEntries(DecodedResource decoded) {
    const char* text = decoded.bytes.get();
    const auto nuls = std::count(text, text + decoded.size, '\0');
    const auto count = static_cast<int32_t>(nuls / 2);
    std::unique_ptr<DictEntry[]> entries(new (std::nothrow) DictEntry[static_cast<size_t>(count)]);
    if (!entries) return {};
    const char* string = text;
    for (int32_t i = 0; i < 2 * count; ++i) {
        const char*& slot = i % 2 == 0 ? entries[i / 2].word : entries[i / 2].translation;
        slot = string;
        string += std::char_traits<char>::length(string) + 1;
    }
    BuiltinDictionary dictionary;
    dictionary.text = std::move(decoded.bytes);
    dictionary.entries = std::move(entries);
    dictionary.count = count;
    return dictionary;
}

}  // namespace

BuiltinDictionary DecodeBuiltinDictionary(std::span<const uint8_t> stored) {
    if (stored.empty()) return {};
    try {
        // A stream that needs bits past its stored bytes beyond the
        // decoder's lookahead was cut short: refusing it keeps half-decoded
        // garbage off screen.
        DecodedResource decoded =
            DecodeResource(stored, {.maxSize = kMaxBuiltinDictionarySize, .strict = true});
        if (decoded.status != DecodeStatus::kOk) return {};
        return BuildEntries(std::move(decoded));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

const DictEntry& GetBuiltinEntry(const BuiltinDictionary& dictionary, int32_t index) {
    if (index < 0 || index >= dictionary.count) return emptyEntry;
    return dictionary.entries[static_cast<size_t>(index)];
}
