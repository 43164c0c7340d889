// The settings dialog: one modeless window over the host's, editing an
// instance's working settings live. The object lives as long as its
// instance; its window is created at each ShowSettings and destroyed by OK,
// Cancel, the close box or Exit.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/settings_edits.h"
#include "ui/settings_ui.h"
#include "ui/win32/common_dialogs.h"
#include "ui/win32/controls.h"
#include "ui/win32/dialog_window.h"

class SettingsDialog : public DialogWindow, public SettingsUi {
public:
    int32_t dialogExists = 0;
    int32_t isInitialised = 0;
    HWND hostWindow = nullptr;
    HFONT marlettFont = nullptr;
    HWND toolTip = nullptr;
    int32_t flashCount = 0;
    int32_t repeatButtonId = 0;
    double repeatStep = 0.0;
    int32_t selectedEntry = -1;
    int32_t wordEdited = 0;     // the word field changed since the last SelectEntry
    HHOOK mouseHook = nullptr;  // the thread's mouse hook while the window exists
    // The choosers and the message box; tests put stand-ins here.
    CommonDialogs commonDialogs = SystemCommonDialogs();

    explicit SettingsDialog(const SettingsUiParts& parts);
    ~SettingsDialog() override;

    // ShowSettings: creates the window, or focuses and flashes an open one.
    void Show(void* owner) override;
    void Close() override;

    void RefreshControls();
    void UpdateDictionaryControls();
    void FillEntryList();
    void ShowEntryEdit(int32_t count, int32_t removed, int32_t inserted);
    void SetUpEntryList();
    void DrawEntry(const DRAWITEMSTRUCT& item);
    void SelectEntry(int32_t index);
    void UpdatePositionButtons();
    void MoveCaption();
    void StartAttentionSignal(int32_t count);

    // The thread's mouse hook, from the window's creation to its end; it
    // hands OnMouse every mouse message inside the window.
    void HookMouse();
    void UnhookMouse();
    void OnMouse(UINT message, const MOUSEHOOKSTRUCT& data);

    // The settings dialog that a window (any window inside it) belongs to;
    // null for a window of anyone else's.
    static SettingsDialog* OfWindow(HWND window);

private:
    friend UINT_PTR CALLBACK FontApplyHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM data);

    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalRelease() override;

    void BindControls();
    void PlaceWindow();
    void KeepOnScreen(int32_t& x, int32_t& y) const;
    void CreatePadFont();
    void SetUpNumericFields();
    void CreateToolTips();

    // Closing and resetting.
    void OnClose(WPARAM, LPARAM);
    void OnCancelButton(WPARAM, LPARAM);
    void OnOkButton(WPARAM, LPARAM);
    void OnDestroy(WPARAM, LPARAM);
    void OnDefaults(WPARAM, LPARAM);
    void OnIgnoredCommand(WPARAM, LPARAM) {}
    void OnGetDefaultId(WPARAM, LPARAM);

    // Settings controls.
    void OnFont(WPARAM, LPARAM);
    void OnTextColor(WPARAM, LPARAM);
    void OnBackColor(WPARAM, LPARAM);
    void OnDicType(WPARAM, LPARAM);
    void OnBackType(WPARAM, LPARAM);
    void OnRulesType(WPARAM, LPARAM);
    void OnRandomPosition(WPARAM, LPARAM);
    void OnTransparencyChanged(WPARAM, LPARAM);
    void OnTimeFromChanged(WPARAM, LPARAM);
    void OnTimeToChanged(WPARAM, LPARAM);
    void OnFreqFromChanged(WPARAM, LPARAM);
    void OnFreqToChanged(WPARAM, LPARAM);
    // The letters' look.
    void OnOutlineWidthChanged(WPARAM, LPARAM);
    void OnShadowOffsetChanged(WPARAM, LPARAM);
    void OnBoxPaddingChanged(WPARAM, LPARAM);
    void OnOutlineColor(WPARAM, LPARAM);
    void OnShadowColor(WPARAM, LPARAM);
    void OnKeepProportions(WPARAM, LPARAM);
    // Says which colour hides what of the caption, or nothing.
    void ShowLegibilityWarning();
    // Names the settings file's lines that set nothing.
    void ShowUnreadLines();
    // The colour chooser, opened on colour; false when it was cancelled.
    bool PickColor(uint32_t& colour);
    // Takes the seven font settings from a font description.
    void StoreFont(const LOGFONTA& font);
    // The alternative dictionary that the working settings name, read anew.
    void ReloadAltDictionary();
    // The edit of one bound changed: stores it, then shows both bounds.
    void TakeRangeBound(FrameRange range, RangeBound bound, const Edit& edit, const UpDown& spin,
                        const UpDown& otherSpin);

    // Dictionary group.
    // A message box of the dialog's, under its title; the button pressed.
    int Tell(const std::wstring& text, UINT style);
    // An entry without word and translation is written only when the user
    // says so.
    bool EntryConfirmed(const std::string& entry);
    // False when the user keeps the dialog open to save a changed list that
    // could not be saved at Exit.
    bool MayCloseWithAltDictionary();
    void OnChooseDictionary(WPARAM, LPARAM);
    void OnAddEntry(WPARAM, LPARAM);
    void OnChangeEntry(WPARAM, LPARAM);
    void OnDeleteEntry(WPARAM, LPARAM);
    void OnEntrySelected(WPARAM, LPARAM);
    void OnWordChanged(WPARAM, LPARAM);
    void OnEntryDoubleClick(WPARAM, LPARAM);

    // Position pad, colour buttons, timers.
    void OnPreset(WPARAM wParam, LPARAM);
    void OnDrawItem(WPARAM wParam, LPARAM lParam);
    void OnTimer(WPARAM wParam, LPARAM);
    // The arrow being repeated still has the mouse and the button is down.
    bool ArrowStillHeld() const;

    // The 38 bound controls; each binds only an id that kDialogControls
    // gives its kind.
    PushButton changeButton, deleteButton, addButton;
    Edit wordEdit;
    ListBox entryList;
    PushButton chooseDictionaryButton;
    Edit fileNameEdit;
    RadioButton builtinRadio, alternativeRadio;
    OwnerDrawButton backColorButton, textColorButton;
    PushButton fontButton;
    CheckBox randomPositionCheck;
    RadioButton rulesRandomRadio, rulesZaRadio, rulesAzRadio, backAroundRadio, backScreenRadio, backNoneRadio;
    UpDown freqToSpin, freqFromSpin;
    Edit freqToEdit, freqFromEdit, timeToEdit;
    UpDown timeToSpin, timeFromSpin;
    Edit timeFromEdit;
    PushButton centreButton, topRightButton, bottomRightButton, topLeftButton, bottomLeftButton;
    UpDown transparencySpin;
    Edit transparencyEdit;
    PushButton upButton, rightButton, leftButton, downButton;
    // Not in the 38 of old: the letters' look and the status line.
    Edit outlineWidthEdit, shadowOffsetEdit, boxPaddingEdit;
    UpDown outlineWidthSpin, shadowOffsetSpin, boxPaddingSpin;
    OwnerDrawButton outlineColorButton, shadowColorButton;
    CheckBox keepProportionsCheck;
    Label legibilityWarning, statusText;

    // What the dialog works on.
    SettingsState& settings_;
    DictionaryStore& dictionaries_;
    OverlayEngine& overlay_;
    SettingsEdits edits_;
    HINSTANCE module_;

    COLORREF customColors_[16] = {};  // kept from one colour chooser to the next
    bool inMouseHook_ = false;        // this dialog's hook call is handling the message
};

// The font chooser's hook: its Apply button shows the font at once.
UINT_PTR CALLBACK FontApplyHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);
