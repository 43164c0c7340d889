// Choosing the next entry for the overlay.
#include "dictionary/dictionary_store.h"

namespace {

// The index after current in the chosen order, always inside 0 .. count - 1
// (count > 0): an index from the settings file or one left stale by an edit
// is brought back into the list instead of being read.
int32_t AdvanceIndex(int32_t current, int32_t count, WordOrder order, EntryOrder& randomOrder) {
    int32_t next = current;
    switch (order) {
        case kOrderAtoZ: next = current < count - 1 ? current + 1 : 0; break;
        case kOrderZtoA: next = current > 0 ? current - 1 : count - 1; break;
        case kOrderRandom:
            // The order's range matches count after every edit; should it
            // ever exceed it, the register still reaches a valid index.
            do next = NextOrderIndex(randomOrder);
            while (next >= count);
            break;
        default: break;
    }
    if (next < 0) next = 0;
    if (next >= count) next = count - 1;
    return next;
}

}  // namespace

std::optional<int32_t> DictionaryStore::NextCaption(WordSource source, WordOrder order, int32_t index,
                                                    std::string& caption) {
    std::lock_guard lock(captionLock);
    switch (source) {
        case kBuiltinWords: {
            const int32_t count = builtinDictionary ? builtinDictionary->count : 0;
            if (count <= 0) {
                caption.clear();
                return std::nullopt;
            }
            index = AdvanceIndex(index, count, order, builtinOrder);
            const DictEntry& entry = GetBuiltinEntry(*builtinDictionary, index);
            caption.assign(entry.word).append(" - ").append(entry.translation);
            return index;
        }
        case kWordList: {
            const int32_t count = altDictionary.count();
            if (count <= 0) {
                caption.clear();
                return std::nullopt;
            }
            index = AdvanceIndex(index, count, order, altOrder);
            caption = altDictionary.lines[static_cast<size_t>(index)];
            return index;
        }
        default: return index;
    }
}
