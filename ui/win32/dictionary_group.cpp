// The dictionary group: choosing the dictionary file and editing the
// alternative dictionary's lines through the store's locked operations.
#include <usp10.h>

#include <string>
#include <vector>

#include "dictionary/entry_separator.h"
#include "platform/file.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/dialog_texts.h"
#include "ui/win32/settings_dialog.h"

namespace {

// The dialog's text with %1 and %2 replaced (a path, a reason, an entry).
std::wstring Filled(const char* cp1251, const std::wstring& first = {}, const std::wstring& second = {}) {
    std::wstring text = WideFromCp1251(cp1251);
    if (const size_t at = text.find(L"%1"); at != std::wstring::npos) text.replace(at, 2, first);
    if (const size_t at = text.find(L"%2"); at != std::wstring::npos) text.replace(at, 2, second);
    return text;
}

// A reason, in the system's code page; a path, UTF-8.
std::wstring Ansi(const std::string& text) { return WideFromAnsi(text); }
std::wstring Path(const std::string& path) { return WideFromUtf8(path); }

// The caption shows a word over its translation only where the entry
// holds both around a separator. The entry is kept as typed, whichever
// separator it has.
bool HasWordAndTranslation(const std::string& entry) {
    if (!FindEntrySeparator(entry)) return false;
    const EntryParts parts = SplitEntry(entry);
    const auto blank = [](std::string_view part) { return part.find_first_not_of(" \t") == std::string_view::npos; };
    return !blank(parts.word) && !blank(parts.translation);
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

void SettingsDialog::FillEntryList() { entryList.Fill(dictionaries_.AltDictionaryLines()); }

// An edit touches the rows it changed, not the whole list: count is the
// number of entries before it, inserted the row now at index (-1: none)
// after removed was taken out (-1: none). Should the list box not then
// mirror the dictionary, it is filled anew.
void SettingsDialog::ShowEntryEdit(int32_t count, int32_t removed, int32_t inserted) {
    if (removed >= 0) {
        entryList.Remove(removed);
        --count;
    }
    const int32_t now = static_cast<int32_t>(dictionaries_.AltDictionaryCount());
    if (inserted >= 0 && now == count + 1) {
        entryList.Insert(inserted, dictionaries_.AltDictionaryLine(inserted));
        ++count;
    }
    if (entryList.Count() != now || now != count) FillEntryList();
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

bool SettingsDialog::EntryConfirmed(const std::string& entry) {
    if (HasWordAndTranslation(entry)) return true;
    return Tell(Filled(kEntryWithoutSeparator, WideFromUtf8(entry)), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void SettingsDialog::OnAddEntry(WPARAM, LPARAM) {
    const std::string entry = wordEdit.UnicodeText();
    if (!EntryConfirmed(entry)) return;
    const int32_t count = entryList.Count();
    const int32_t index = dictionaries_.AddAltEntry(entry);
    ShowEntryEdit(count, -1, index);
    SelectEntry(index);
}

void SettingsDialog::OnChangeEntry(WPARAM, LPARAM) {
    const std::string entry = wordEdit.UnicodeText();
    if (!EntryConfirmed(entry)) return;
    const int32_t count = entryList.Count();
    const int32_t removed = selectedEntry;
    const int32_t index = dictionaries_.ChangeAltEntry(removed, entry);
    ShowEntryEdit(count, removed, index);
    SelectEntry(index);
}

void SettingsDialog::OnDeleteEntry(WPARAM, LPARAM) {
    const int32_t index = entryList.Selection();
    if (index < 0) return;  // the button is only enabled with a selection
    const int32_t before = entryList.Count();
    edits_.KeepAltEntryBelow(dictionaries_.DeleteAltEntry(index));
    ShowEntryEdit(before, index, -1);
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
    // Files are opened by their wide names: any script will do.
    const std::string path = Utf8FromWide(chosenPath);

    if (dictionaries_.AltDictionaryChanged()) {
        // Yes saves, No drops the edits, Cancel keeps the list and its edits
        // as they are: a user who cancels expects nothing to be lost.
        const int answer = Tell(Filled(kSaveDictionaryPrompt), MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer != IDYES && answer != IDNO) return;
        if (answer == IDYES) {
            // The previous file is written while DicFileName still names it.
            const std::string previous = edits_.CopyWorkingSettings().DicFileName;
            if (const platform::FileOutcome saved = dictionaries_.SaveAltDictionary(previous); !saved) {
                // The changed list stays chosen, so that nothing is lost.
                Tell(Filled(kDictionaryNotSaved, Path(previous), Ansi(saved.why)), MB_OK | MB_ICONWARNING);
                return;
            }
        }
    }
    edits_.SetDictionaryFile(path);
    fileNameEdit.SetUnicodeText(edits_.CopyWorkingSettings().DicFileName);
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
        Tell(Filled(kDictionaryCreated, Path(chosen)), MB_OK | MB_ICONINFORMATION);
    else if (file.kind == WordListFileState::kUnreadable)
        Tell(Filled(kDictionaryUnreadable, Path(chosen), Ansi(file.why)), MB_OK | MB_ICONWARNING);
}

// A changed list is saved at Exit; one whose file will not take it is told
// now, while the user can still choose another file.
bool SettingsDialog::MayCloseWithAltDictionary() {
    if (!dictionaries_.AltDictionaryChanged()) return true;
    const std::string path = edits_.CopyWorkingSettings().DicFileName;
    const platform::FileOutcome replace = path.empty() ? platform::FileOutcome::Failed("no file is chosen")
                                                       : platform::CanReplace(path);
    if (replace) return true;
    return Tell(Filled(kDictionaryWillNotSave, Path(path), Ansi(replace.why)), MB_YESNO | MB_ICONWARNING) == IDYES;
}

// The entry list draws its own lines through Uniscribe, which takes each
// script the dialog's font lacks from a font that has it (as the captions
// are drawn): the list box's own drawing showed Hebrew or Thai as boxes
// where the font's links did not reach them.
void SettingsDialog::SetUpEntryList() {
    HWND list = entryList.window();
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 1);
}

void SettingsDialog::DrawEntry(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    if (item.itemID != static_cast<UINT>(-1)) {
        const bool selected = item.itemState & ODS_SELECTED;
        const bool enabled = !(item.itemState & ODS_DISABLED);
        FillRect(dc, &item.rcItem, GetSysColorBrush(selected && enabled ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        const LRESULT copied = SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID,
                                            reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
        const int x = item.rcItem.left + 2, y = item.rcItem.top;
        const int count = static_cast<int>(text.size());
        SCRIPT_STRING_ANALYSIS analysis = nullptr;
        if (count > 0 && ScriptStringAnalyse(dc, text.data(), count, count * 3 / 2 + 16, -1, SSA_GLYPHS | SSA_FALLBACK,
                                             0, nullptr, nullptr, nullptr, nullptr, nullptr, &analysis) == S_OK) {
            ScriptStringOut(analysis, x, y, ETO_CLIPPED, &item.rcItem, 0, 0, FALSE);
            ScriptStringFree(&analysis);
        } else if (count > 0) {
            ExtTextOutW(dc, x, y, ETO_CLIPPED, &item.rcItem, text.data(), static_cast<UINT>(count), nullptr);
        }
        SelectObject(dc, old);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}
