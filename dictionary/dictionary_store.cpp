#include "dictionary/dictionary_store.h"

#include "dictionary/builtin_dictionary.h"
#include "settings/settings_state.h"

std::mutex captionLock;
AltDictionary altDictionary;
EntryOrder builtinOrder;
EntryOrder altOrder;
bool altDictChanged = false;

namespace {

// An index read from the settings file may be anything; the loads keep it
// within -1 .. count - 1 so that it never names a line that is not there.
void KeepIndexInside(int32_t& index, int32_t count) {
    if (index >= count) index = count - 1;
    if (index < -1) index = -1;
}

// Caller holds captionLock.
void RearmAltOrder() { ResetOrder(altOrder, altDictionary.count() - 1); }

// After a load the random walk goes on after the stored index, which is
// saved so that a walk continues across runs; the order's state itself is
// not saved. Caller holds captionLock.
void RearmAfterLoad(EntryOrder& order, int32_t count, int32_t& index) {
    if (ResetOrder(order, count - 1)) ResumeOrderAfter(order, index);
    KeepIndexInside(index, count);
}

}  // namespace

void RearmBuiltinOrder() {
    std::lock_guard lock(captionLock);
    RearmAfterLoad(builtinOrder, builtinDictionary.count, workingSettings.CurIntEntry);
}

int32_t LoadAltDictionary() {
    AltDictionary loaded;
    const std::string path = workingSettings.DicFileName;
    const bool read = !path.empty() && ReadAltDictionaryFile(path, loaded);
    std::lock_guard lock(captionLock);
    altDictionary = std::move(loaded);
    if (read) altDictChanged = false;
    RearmAfterLoad(altOrder, altDictionary.count(), workingSettings.CurExtEntry);
    return 1;
}

int32_t SaveAltDictionary() {
    const std::string path = workingSettings.DicFileName;
    if (path.empty()) return 1;
    // Edits and saves both come from the dialog's thread, so the copy is
    // still what is in memory when the write has finished.
    if (WriteAltDictionaryFile(path, AltDictionaryLines())) {
        std::lock_guard lock(captionLock);
        altDictChanged = false;
    }
    return 1;
}

bool AltDictionaryChanged() {
    std::lock_guard lock(captionLock);
    return altDictChanged;
}

std::vector<std::string> AltDictionaryLines() {
    std::lock_guard lock(captionLock);
    return altDictionary.lines;
}

int32_t AddAltEntry(const std::string& text) { return ChangeAltEntry(-1, text); }

int32_t ChangeAltEntry(int32_t selected, const std::string& text) {
    std::lock_guard lock(captionLock);
    if (selected != -1) RemoveAltEntry(altDictionary, selected);
    const int32_t index = InsertAltEntry(altDictionary, text);
    RearmAltOrder();
    altDictChanged = true;
    return index;
}

void DeleteAltEntry(int32_t index) {
    std::lock_guard lock(captionLock);
    RemoveAltEntry(altDictionary, index);
    RearmAltOrder();
    if (workingSettings.CurExtEntry >= altDictionary.count())
        workingSettings.CurExtEntry = altDictionary.count() - 1;
    altDictChanged = true;
}
