// Choosing the next entry for the overlay.
#include "dictionary/dictionary_store.h"

namespace {

enum Rules : int32_t { kAtoZ = 0, kZtoA = 1, kRandom = 2 };

// The index after current in the chosen order, always inside 0 .. count - 1
// (count > 0): an index from the settings file or one left stale by an edit
// is brought back into the list instead of being read.
int32_t AdvanceIndex(int32_t current, int32_t count, int32_t rules, EntryOrder& order) {
    int32_t next = current;
    switch (rules) {
        case kAtoZ:
            next = current < count - 1 ? current + 1 : 0;
            break;
        case kZtoA:
            next = current > 0 ? current - 1 : count - 1;
            break;
        case kRandom:
            // The order's range matches count after every edit; should it
            // ever exceed it, the register still reaches a valid index.
            do next = NextOrderIndex(order);
            while (next >= count);
            break;
        default:
            break;
    }
    if (next < 0) next = 0;
    if (next >= count) next = count - 1;
    return next;
}

}  // namespace

int32_t DictionaryStore::NextCaption(const EntryChoice& choice, std::string& caption) {
    std::lock_guard lock(captionLock);
    switch (choice.dicType) {
        case 0: {
            const int32_t count = builtinDictionary ? builtinDictionary->count : 0;
            if (count <= 0) {
                caption.clear();
                return 0;
            }
            int32_t& index = choice.builtinIndex;
            index = AdvanceIndex(index, count, choice.rulesType, builtinOrder);
            const DictEntry& entry = GetBuiltinEntry(*builtinDictionary, index);
            caption.assign(entry.word).append(" - ").append(entry.translation);
            return 1;
        }
        case 1: {
            const int32_t count = altDictionary.count();
            if (count <= 0) {
                caption.clear();
                return 0;
            }
            int32_t& index = choice.altIndex;
            index = AdvanceIndex(index, count, choice.rulesType, altOrder);
            caption = altDictionary.lines[static_cast<size_t>(index)];
            return 1;
        }
        default:
            return 1;
    }
}
