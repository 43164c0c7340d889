#include "dictionary/dictionary_store.h"

namespace {

// An index read from the settings file may be anything; the loads keep it
// within -1 .. count - 1 so that it never names a line that is not there.
int32_t IndexInside(int32_t index, int32_t count) {
    if (index >= count) index = count - 1;
    if (index < -1) index = -1;
    return index;
}

// After a load the random walk goes on after the stored index, which is
// saved so that a walk continues across runs; the order's state itself is
// not saved. Caller holds captionLock.
int32_t RearmAfterLoad(EntryOrder& order, int32_t count, int32_t index) {
    if (ResetOrder(order, count - 1)) ResumeOrderAfter(order, index);
    return IndexInside(index, count);
}

}  // namespace

int32_t DictionaryStore::LoadBuiltinDictionary(std::shared_ptr<const BuiltinDictionary> dictionary, int32_t index) {
    std::lock_guard lock(captionLock);
    builtinDictionary = std::move(dictionary);
    return RearmAfterLoad(builtinOrder, builtinDictionary ? builtinDictionary->count : 0, index);
}

int32_t DictionaryStore::LoadAltDictionary(const std::string& path, int32_t index) {
    AltDictionary loaded;
    std::optional<WordListReport> read;
    WordListFileState file;
    if (!path.empty()) {
        file.kind = WordListFileState::kRead;
        if (platform::KindOf(path) == platform::PathKind::kNothing) {
            const platform::FileOutcome created = platform::CreateEmptyFile(path);
            file = created ? WordListFileState{WordListFileState::kCreatedEmpty, {}}
                           : WordListFileState{WordListFileState::kUnreadable,
                                               "it is missing and cannot be made: " + created.why};
        }
        if (file.kind != WordListFileState::kUnreadable) read = ReadAltDictionaryFile(path, loaded);
        if (!read && file.kind != WordListFileState::kUnreadable)
            file = {WordListFileState::kUnreadable, platform::CanRead(path).why};
    }
    std::lock_guard lock(captionLock);
    altDictionary = std::move(loaded);
    lastAltLoad = read.value_or(WordListReport{});
    lastAltFile = std::move(file);
    if (read) altDictChanged = false;
    return RearmAfterLoad(altOrder, altDictionary.count(), index);
}

platform::FileOutcome DictionaryStore::SaveAltDictionary(const std::string& path) {
    if (path.empty()) return platform::FileOutcome::Failed("no file is named");
    // Edits and saves both come from the dialog's thread, so the copy is
    // still what is in memory when the write has finished.
    AltDictionary written;
    {
        std::lock_guard lock(captionLock);
        written = altDictionary;
    }
    platform::FileOutcome saved = WriteAltDictionaryFile(path, written);
    if (saved) {
        std::lock_guard lock(captionLock);
        altDictionary.encoding = written.encoding;
        altDictChanged = false;
    }
    return saved;
}

bool DictionaryStore::AltDictionaryChanged() {
    std::lock_guard lock(captionLock);
    return altDictChanged;
}

WordListReport DictionaryStore::LastAltDictionaryLoad() {
    std::lock_guard lock(captionLock);
    return lastAltLoad;
}

WordListFileState DictionaryStore::LastAltDictionaryFile() {
    std::lock_guard lock(captionLock);
    return lastAltFile;
}

std::vector<std::string> DictionaryStore::AltDictionaryLines() {
    std::lock_guard lock(captionLock);
    return altDictionary.lines;
}

size_t DictionaryStore::AltDictionaryCount() {
    std::lock_guard lock(captionLock);
    return altDictionary.lines.size();
}

std::string DictionaryStore::AltDictionaryLine(int32_t index) {
    std::lock_guard lock(captionLock);
    if (index < 0 || static_cast<size_t>(index) >= altDictionary.lines.size()) return {};
    return altDictionary.lines[static_cast<size_t>(index)];
}

int32_t DictionaryStore::AddAltEntry(const std::string& text) { return ChangeAltEntry(-1, text); }

int32_t DictionaryStore::ChangeAltEntry(int32_t selected, const std::string& text) {
    std::lock_guard lock(captionLock);
    if (selected != -1) RemoveAltEntry(altDictionary, selected);
    const int32_t index = InsertAltEntry(altDictionary, text);
    ResetOrder(altOrder, altDictionary.count() - 1);
    altDictChanged = true;
    return index;
}

int32_t DictionaryStore::DeleteAltEntry(int32_t entry) {
    std::lock_guard lock(captionLock);
    RemoveAltEntry(altDictionary, entry);
    ResetOrder(altOrder, altDictionary.count() - 1);
    altDictChanged = true;
    return altDictionary.count();
}
