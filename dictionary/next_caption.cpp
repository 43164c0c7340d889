#include "dictionary/next_caption.h"

#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "settings/settings_state.h"

std::string captionText;

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

int32_t NextBuiltinCaption() {
    const int32_t count = builtinDictionary.count;
    if (count <= 0) {
        captionText.clear();
        return 0;
    }
    int32_t& index = workingSettings.CurIntEntry;
    index = AdvanceIndex(index, count, workingSettings.RulesType, builtinOrder);
    const DictEntry& entry = GetBuiltinEntry(index);
    captionText.assign(entry.word).append(" - ").append(entry.translation);
    return 1;
}

int32_t NextAltCaption() {
    const int32_t count = altDictionary.count();
    if (count <= 0) {
        captionText.clear();
        return 0;
    }
    int32_t& index = workingSettings.CurExtEntry;
    index = AdvanceIndex(index, count, workingSettings.RulesType, altOrder);
    captionText = altDictionary.lines[static_cast<size_t>(index)];
    return 1;
}

}  // namespace

int32_t NextCaption() {
    std::lock_guard lock(captionLock);
    switch (workingSettings.DicType) {
        case 0:
            return NextBuiltinCaption();
        case 1:
            return NextAltCaption();
        default:
            return 1;
    }
}
