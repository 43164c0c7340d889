// The settings dialog: one modeless window over the host's, editing the
// working settings live. The object lives as long as the library; its window
// is created at each ShowSettings and destroyed by OK, Cancel, the close box
// or Exit.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/settings_record.h"
#include "ui/settings_edits.h"
#include "ui/win32/controls.h"
#include "ui/win32/dialog_window.h"

class SettingsDialog : public DialogWindow {
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

    SettingsDialog();
    ~SettingsDialog() override;

    // ShowSettings: creates the window, or focuses and flashes an open one.
    void Show(HWND host);
    void Close();

    void RefreshControls();
    void UpdateDictionaryControls();
    void FillEntryList();
    void SelectEntry(int32_t index);
    void UpdatePositionButtons();
    void MoveCaption();
    void StartAttentionSignal(int32_t count);

    // Called by the thread's mouse hook for every mouse message.
    void OnMouse(UINT message, const MOUSEHOOKSTRUCT& data);

private:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalRelease() override;

    void BindControls();
    void PlaceWindow();
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
    // The colour chooser, opened on colour; false when it was cancelled.
    bool PickColor(uint32_t& colour);
    // The edit of one bound changed: stores it, then shows both bounds.
    void TakeRangeBound(FrameRange range, RangeBound bound, const Edit& edit, const UpDown& spin,
                        const UpDown& otherSpin);

    // Dictionary group.
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

    // The 38 bound controls, in the order they are bound.
    Button changeButton, deleteButton, addButton;
    Edit wordEdit;
    ListBox entryList;
    Button chooseDictionaryButton;
    Edit fileNameEdit;
    Button builtinRadio, alternativeRadio, backColorButton, textColorButton, fontButton;
    Button randomPositionCheck, rulesRandomRadio, rulesZaRadio, rulesAzRadio, backAroundRadio;
    Button backScreenRadio, backNoneRadio;
    UpDown freqToSpin, freqFromSpin;
    Edit freqToEdit, freqFromEdit, timeToEdit;
    UpDown timeToSpin, timeFromSpin;
    Edit timeFromEdit;
    Button centreButton, topRightButton, bottomRightButton, topLeftButton, bottomLeftButton;
    UpDown transparencySpin;
    Edit transparencyEdit;
    Button upButton, rightButton, leftButton, downButton;
};

// The one dialog of the loaded library.
extern SettingsDialog settingsDialog;

// The dialog's mouse hook while its window exists.
extern HHOOK mouseHook;
LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM data);

// The font chooser's hook: its Apply button shows the font at once.
UINT_PTR CALLBACK FontApplyHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);

// wordEdited: the word field changed since the last SelectEntry.
extern int32_t wordEdited;
