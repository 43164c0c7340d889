#include "dictionary/builtin_dictionary.h"

#include "dictionary/dictionary_store.h"

BuiltinDictionary builtinDictionary;

namespace {
const DictEntry emptyEntry = {"", ""};
}

int32_t LoadBuiltinDictionary() {
    builtinDictionary = BuiltinDictionary{};
    RearmBuiltinOrder();
    return 1;
}

const DictEntry& GetBuiltinEntry(int32_t index) {
    if (index < 0 || index >= builtinDictionary.count) return emptyEntry;
    return builtinDictionary.entries[static_cast<size_t>(index)];
}
