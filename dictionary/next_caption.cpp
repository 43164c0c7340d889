// Choosing the next entry for the overlay.
#include "dictionary/dictionary_store.h"

#include <algorithm>

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

int32_t DictionaryStore::CountOf(WordSource source) const {
    if (source == kBuiltinWords) return builtinDictionary ? builtinDictionary->count : 0;
    return source == kWordList ? altDictionary.count() : 0;
}

void DictionaryStore::CaptionOf(WordSource source, int32_t index, std::string& caption) const {
    if (source == kWordList) {
        caption = altDictionary.lines[static_cast<size_t>(index)];
        return;
    }
    const DictEntry& entry = GetBuiltinEntry(*builtinDictionary, index);
    caption.assign(entry.word).append(" - ").append(entry.translation);
}

std::optional<int32_t> DictionaryStore::NextCaption(WordSource source, WordOrder order, int32_t index,
                                                    std::string& caption) {
    std::lock_guard lock(captionLock);
    if (source != kBuiltinWords && source != kWordList) return index;
    const int32_t count = CountOf(source);
    if (count <= 0) {
        caption.clear();
        return std::nullopt;
    }
    index = AdvanceIndex(index, count, order, source == kWordList ? altOrder : builtinOrder);
    CaptionOf(source, index, caption);
    return index;
}

std::optional<int32_t> DictionaryStore::CaptionAt(WordSource source, int32_t index, std::string& caption) {
    std::lock_guard lock(captionLock);
    if (index < 0 || index >= CountOf(source)) {
        caption.clear();
        return std::nullopt;
    }
    CaptionOf(source, index, caption);
    return index;
}

std::vector<std::string> DictionaryStore::Captions(WordSource source) {
    std::lock_guard lock(captionLock);
    std::vector<std::string> captions(static_cast<size_t>(std::max(CountOf(source), 0)));
    for (size_t i = 0; i < captions.size(); ++i) CaptionOf(source, static_cast<int32_t>(i), captions[i]);
    return captions;
}

std::vector<int32_t> DictionaryStore::FileRanks(WordSource source) {
    std::lock_guard lock(captionLock);
    if (source != kWordList || altDictionary.fileRanks.size() != altDictionary.lines.size()) return {};
    return altDictionary.fileRanks;
}
