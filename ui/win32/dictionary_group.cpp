// The dictionary group: choosing the dictionary file and editing the
// alternative dictionary's lines through the store's locked operations.
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/dialog_texts.h"
#include "ui/win32/settings_dialog.h"

namespace {

// The dialog's text with %1 and %2 replaced by narrow text of the system's
// code page (a path, a reason).
std::wstring Filled(const char* cp1251, const std::string& first = {}, const std::string& second = {}) {
    std::wstring text = WideFromCp1251(cp1251);
    if (const size_t at = text.find(L"%1"); at != std::wstring::npos) text.replace(at, 2, WideFromAnsi(first));
    if (const size_t at = text.find(L"%2"); at != std::wstring::npos) text.replace(at, 2, WideFromAnsi(second));
    return text;
}

}  // namespace

int SettingsDialog::Tell(const std::wstring& text, UINT style) {
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window())) + 1, L'\0');
    title.resize(static_cast<size_t>(GetWindowTextW(window(), title.data(), static_cast<int>(title.size()))));
    return commonDialogs.messageBox(window(), text.c_str(), title.c_str(), style);
}

void SettingsDialog::ReloadAltDictionary() {
    const SettingsRecord settings = edits_.CopyWorkingSettings();
    edits_.SetCurrentAltEntry(dictionaries_.LoadAltDictionary(settings.DicFileName, settings.CurExtEntry));
}

void SettingsDialog::UpdateDictionaryControls() {
    const SettingsRecord settings = edits_.CopyWorkingSettings();
    if (settings.DicType == kBuiltinWords) {
        const Control* group[] = {
            &fileNameEdit, &chooseDictionaryButton, &addButton, &changeButton, &deleteButton, &entryList, &wordEdit};
        for (const Control* control : group) control->Enable(false);
        return;
    }
    if (settings.DicType != kWordList) return;
    const bool haveFile = !settings.DicFileName.empty();
    fileNameEdit.Enable(haveFile);
    chooseDictionaryButton.Enable(true);
    addButton.Enable(haveFile && wordEdited);
    changeButton.Enable(haveFile && wordEdited);
    deleteButton.Enable(haveFile && !wordEdited && selectedEntry != -1);
    entryList.Enable(haveFile);
    wordEdit.Enable(haveFile);
}

void SettingsDialog::FillEntryList() {
    entryList.Clear();
    for (const std::string& line : dictionaries_.AltDictionaryLines()) entryList.Add(line);
}

void SettingsDialog::SelectEntry(int32_t index) {
    selectedEntry = index;
    entryList.Select(index);
    wordEdit.SetUnicodeText(index == -1 ? std::string() : entryList.ItemText(index));
    wordEdited = 0;
    UpdateDictionaryControls();
}

void SettingsDialog::OnWordChanged(WPARAM, LPARAM) {
    wordEdited = 1;
    UpdateDictionaryControls();
}

void SettingsDialog::OnEntrySelected(WPARAM, LPARAM) { SelectEntry(entryList.Selection()); }

void SettingsDialog::OnEntryDoubleClick(WPARAM, LPARAM) { edits_.SetCurrentAltEntry(entryList.Selection()); }

void SettingsDialog::OnAddEntry(WPARAM, LPARAM) {
    const int32_t index = dictionaries_.AddAltEntry(wordEdit.UnicodeText());
    FillEntryList();
    SelectEntry(index);
}

void SettingsDialog::OnChangeEntry(WPARAM, LPARAM) {
    const int32_t index = dictionaries_.ChangeAltEntry(selectedEntry, wordEdit.UnicodeText());
    FillEntryList();
    SelectEntry(index);
}

void SettingsDialog::OnDeleteEntry(WPARAM, LPARAM) {
    const int32_t index = entryList.Selection();
    if (index < 0) return;  // the button is only enabled with a selection
    edits_.KeepAltEntryBelow(dictionaries_.DeleteAltEntry(index));
    FillEntryList();
    const int32_t count = entryList.Count();
    SelectEntry(index < count ? index : count - 1);
}

void SettingsDialog::OnChooseDictionary(WPARAM, LPARAM) {
    const std::wstring filter = WideFromCp1251({kDictionaryFilter, sizeof kDictionaryFilter});
    wchar_t chosenPath[MAX_PATH] = L"";
    OPENFILENAMEW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.lpstrFilter = filter.c_str();
    chooser.lpstrFile = chosenPath;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrDefExt = L"dic";
    chooser.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!commonDialogs.getOpenFileName(&chooser)) return;
    // The plug-in opens files by narrow names: a name the code page cannot
    // hold would name another file or none.
    std::string path;
    if (!AnsiFromWide(chosenPath, path)) {
        Tell(Filled(kDictionaryPathNotAnsi), MB_OK | MB_ICONWARNING);
        return;
    }

    if (dictionaries_.AltDictionaryChanged()) {
        // The previous file is written while DicFileName still names it.
        if (Tell(Filled(kSaveDictionaryPrompt), MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
            const std::string previous = edits_.CopyWorkingSettings().DicFileName;
            if (const platform::FileOutcome saved = dictionaries_.SaveAltDictionary(previous); !saved) {
                // The changed list stays chosen, so that nothing is lost.
                Tell(Filled(kDictionaryNotSaved, previous, saved.why), MB_OK | MB_ICONWARNING);
                return;
            }
        }
    }
    edits_.SetDictionaryFile(path);
    fileNameEdit.SetText(edits_.CopyWorkingSettings().DicFileName);
    // A new file starts at its first entry: the index goes first, so that
    // the load's random order starts there too rather than after the old
    // file's index, and it is the first entry again after the load, which
    // would have kept it inside the list (-1 for a new, empty file).
    edits_.SetCurrentAltEntry(0);
    ReloadAltDictionary();
    edits_.SetCurrentAltEntry(0);
    FillEntryList();
    SelectEntry(-1);
    const WordListFileState file = dictionaries_.LastAltDictionaryFile();
    const std::string chosen = edits_.CopyWorkingSettings().DicFileName;
    if (file.kind == WordListFileState::kCreatedEmpty)
        Tell(Filled(kDictionaryCreated, chosen), MB_OK | MB_ICONINFORMATION);
    else if (file.kind == WordListFileState::kUnreadable)
        Tell(Filled(kDictionaryUnreadable, chosen, file.why), MB_OK | MB_ICONWARNING);
}
