#include "dictionary/builtin_dictionary.h"

#include <algorithm>
#include <new>
#include <string>

#include "dictionary/resource_decoder.h"
#include "platform/cp1251.h"

namespace {

const DictEntry emptyEntry = {"", ""};

// The decoded text is NUL-terminated Windows-1251 strings, alternately word
// and translation; a last string without partner and bytes after the last
// NUL belong to no entry. The entries are UTF-8, as all text inside.
BuiltinDictionary BuildEntries(const DecodedResource& decoded) {
    const std::string utf8 = DecodeCp1251({decoded.bytes.get(), decoded.size});
    std::unique_ptr<char[]> buffer(new char[utf8.size() + 1]);
    std::copy(utf8.begin(), utf8.end(), buffer.get());
    buffer[utf8.size()] = '\0';
    const char* text = buffer.get();
    const auto nuls = std::count(text, text + utf8.size(), '\0');
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
    dictionary.text = std::move(buffer);
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
        DecodedResource decoded = DecodeResource(stored, {.maxSize = kMaxBuiltinDictionarySize, .strict = true});
        if (decoded.status != DecodeStatus::kOk) return {};
        return BuildEntries(decoded);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

const DictEntry& GetBuiltinEntry(const BuiltinDictionary& dictionary, int32_t index) {
    if (index < 0 || index >= dictionary.count) return emptyEntry;
    return dictionary.entries[static_cast<size_t>(index)];
}
