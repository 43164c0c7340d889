// The dictionary group: choosing the dictionary file and editing the
// alternative dictionary's lines through the store's locked operations.
#include <string>
#include <vector>

#include "dictionary/dictionary_store.h"
#include "settings/settings_state.h"
#include "ui/settings_edits.h"
#include "ui/win32/common_dialogs.h"
#include "ui/win32/dialog_texts.h"
#include "ui/win32/settings_dialog.h"

void SettingsDialog::UpdateDictionaryControls() {
    const SettingsRecord& settings = workingSettings;
    if (settings.DicType == 0) {
        const Control* group[] = {&fileNameEdit, &chooseDictionaryButton, &addButton,
                                  &changeButton, &deleteButton,           &entryList,
                                  &wordEdit};
        for (const Control* control : group) control->Enable(false);
        return;
    }
    if (settings.DicType != 1) return;
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
    for (const std::string& line : AltDictionaryLines()) entryList.Add(line);
}

void SettingsDialog::SelectEntry(int32_t index) {
    selectedEntry = index;
    entryList.Select(index);
    wordEdit.SetText(index == -1 ? std::string() : entryList.ItemText(index));
    wordEdited = 0;
    UpdateDictionaryControls();
}

void SettingsDialog::OnWordChanged(WPARAM, LPARAM) {
    wordEdited = 1;
    UpdateDictionaryControls();
}

void SettingsDialog::OnEntrySelected(WPARAM, LPARAM) { SelectEntry(entryList.Selection()); }

void SettingsDialog::OnEntryDoubleClick(WPARAM, LPARAM) {
    SetCurrentAltEntry(entryList.Selection());
}

void SettingsDialog::OnAddEntry(WPARAM, LPARAM) {
    const int32_t index = AddAltEntry(wordEdit.Text());
    FillEntryList();
    SelectEntry(index);
}

void SettingsDialog::OnChangeEntry(WPARAM, LPARAM) {
    const int32_t index = ChangeAltEntry(selectedEntry, wordEdit.Text());
    FillEntryList();
    SelectEntry(index);
}

void SettingsDialog::OnDeleteEntry(WPARAM, LPARAM) {
    const int32_t index = entryList.Selection();
    if (index < 0) return;  // the button is only enabled with a selection
    DeleteAltEntry(index);
    FillEntryList();
    const int32_t count = entryList.Count();
    SelectEntry(index < count ? index : count - 1);
}

void SettingsDialog::OnChooseDictionary(WPARAM, LPARAM) {
    char path[MAX_PATH] = "";
    OPENFILENAMEA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.lpstrFilter = kDictionaryFilter;
    chooser.lpstrFile = path;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrDefExt = "dic";
    chooser.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!commonDialogs.getOpenFileName(&chooser)) return;

    if (AltDictionaryChanged()) {
        const std::string title = Control::TextOf(window());
        // The previous file is written while DicFileName still names it.
        if (commonDialogs.messageBox(window(), kSaveDictionaryPrompt, title.c_str(),
                                     MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            SaveAltDictionary();
    }
    SetDictionaryFile(path);
    fileNameEdit.SetText(workingSettings.DicFileName);
    // A new file starts at its first entry. The index is set before the
    // load too, so that the load's random order starts there rather than
    // after the old file's index.
    SetCurrentAltEntry(0);
    LoadAltDictionary();
    SetCurrentAltEntry(0);
    FillEntryList();
    SelectEntry(-1);
}
