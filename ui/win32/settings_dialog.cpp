// The dialog as a whole: creation and placement, the binding of controls to
// settings, OK, Cancel, the close box, Default and the choosers.
#include "ui/win32/settings_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <utility>

#include "platform/win32/wide_text.h"
#include "render/gdi_caption_renderer.h"
#include "settings/settings_table.h"
#include "ui/settings_dialog_ids.h"
#include "ui/win32/dialog_texts.h"

namespace {

constexpr int kNumberTextLimit = 3;
constexpr DWORD kFontChooserOptions = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_APPLY | CF_ENABLEHOOK;
constexpr int kFontApplyButton = 1026;  // psh3

// The window property that leads from the font chooser to the dialog that
// opened it.
constexpr char kChooserProperty[] = "TPP_25Frame.FontChooserOwner";

// The value of the radio button of a group that is checked (the last,
// should there be more); none when none is.
template <class Value>
std::optional<Value> CheckedChoice(std::initializer_list<std::pair<const Button*, Value>> group) {
    std::optional<Value> choice;
    for (const auto& [button, value] : group)
        if (button->Checked()) choice = value;
    return choice;
}

constexpr bool Sends(ControlKind kind, int notification) {
    switch (kind) {
        case ControlKind::Edit: return notification == EN_CHANGE;
        case ControlKind::ListBox: return notification == LBN_SELCHANGE || notification == LBN_DBLCLK;
        case ControlKind::UpDown: return false;  // its changes come through its buddy edit
        default: return notification == BN_CLICKED;
    }
}

// Each command row for one notification names a control of kDialogControls
// that sends it.
template <size_t N>
constexpr bool CommandsFromListedControls(const MessageEntry<SettingsDialog> (&table)[N]) {
    for (const MessageEntry<SettingsDialog>& row : table) {
        if (row.message != WM_COMMAND || row.notification == kAnyNotification) continue;
        const DialogControl* control = FindDialogControl(row.controlId);
        if (!control || !Sends(control->kind, row.notification)) return false;
    }
    return true;
}

}  // namespace

// The chooser's description, handed over with its first message, names the
// dialog that opened it; the chooser keeps it until it is destroyed.
UINT_PTR CALLBACK FontApplyHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* description = reinterpret_cast<const CHOOSEFONTA*>(lParam);
        SetPropA(chooser, kChooserProperty, reinterpret_cast<HANDLE>(description->lCustData));
        return 0;
    }
    if (message == WM_DESTROY) RemovePropA(chooser, kChooserProperty);
    if (message != WM_COMMAND || LOWORD(wParam) != kFontApplyButton) return 0;
    auto* dialog = static_cast<SettingsDialog*>(GetPropA(chooser, kChooserProperty));
    if (!dialog) return 0;
    LOGFONTA font = {};
    SendMessageA(chooser, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&font));
    try {  // called by the system's chooser: nothing may unwind into it
        dialog->StoreFont(font);
        dialog->overlay_.CreateCaptionFont();
    } catch (...) {
    }
    return 1;
}

SettingsDialog::SettingsDialog(const SettingsUiParts& parts)
    : settings_(parts.settings),
      dictionaries_(parts.dictionaries),
      overlay_(parts.overlay),
      edits_(parts.settings.workingSettings),
      module_(static_cast<HINSTANCE>(parts.resourceModule)) {}

SettingsDialog::~SettingsDialog() {
    // An instance that goes while its dialog is open takes the window along.
    if (window() && GetWindowThreadProcessId(window(), nullptr) == GetCurrentThreadId()) Destroy();
    if (marlettFont) DeleteObject(marlettFont);
}

void SettingsDialog::StoreFont(const LOGFONTA& font) {
    CaptionFont request = {};
    // The chooser's name is in the system's code page, the settings' UTF-8.
    const std::string face = Utf8FromWide(
        WideFromAnsi(std::string_view(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE))));
    std::memcpy(request.faceName, face.data(), std::min(face.size(), sizeof request.faceName - 1));
    request.height = font.lfHeight;
    request.weight = font.lfWeight;
    request.italic = font.lfItalic;
    request.underline = font.lfUnderline;
    request.strikeOut = font.lfStrikeOut;
    request.charSet = font.lfCharSet;
    edits_.StoreFontSettings(request);
}

void SettingsDialog::Show(void* owner) {
    HWND host = static_cast<HWND>(owner);
    if (dialogExists) {
        SetFocus(window());
        StartAttentionSignal(2);
        return;
    }
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    dialogExists = 1;
    hostWindow = host;
    if (!Create(module_, IDD_SETTINGS, host)) {
        // No window: a later ShowSettings must be able to try again.
        hostWindow = nullptr;
        dialogExists = 0;
        return;
    }
    ShowWindow(window(), SW_SHOW);
}

void SettingsDialog::Close() {
    if (!dialogExists || !window()) return;
    // A window can only be destroyed by its own thread; a host that exits on
    // another thread has the dialog's thread do it, as OK would.
    if (GetWindowThreadProcessId(window(), nullptr) == GetCurrentThreadId())
        Destroy();
    else
        SendMessageA(window(), WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
}

bool SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using D = SettingsDialog;
    static constexpr MessageEntry<D> table[] = {
        MessageRow<D>(WM_CLOSE, &D::OnClose),
        CommandRow<D>(IDC_CANCEL, BN_CLICKED, &D::OnCancelButton),
        CommandRow<D>(IDC_OK, BN_CLICKED, &D::OnOkButton),
        MessageRow<D>(WM_DESTROY, &D::OnDestroy),
        CommandRow<D>(IDC_FONT, BN_CLICKED, &D::OnFont),
        MessageRow<D>(WM_DRAWITEM, &D::OnDrawItem),
        MessageRow<D>(WM_TIMER, &D::OnTimer),
        CommandRow<D>(IDC_DEFAULTS, BN_CLICKED, &D::OnDefaults),
        CommandRow<D>(IDC_TRANSPARENCY, EN_CHANGE, &D::OnTransparencyChanged),
        CommandRow<D>(IDC_TEXT_COLOR, BN_CLICKED, &D::OnTextColor),
        CommandRow<D>(IDC_BACK_COLOR, BN_CLICKED, &D::OnBackColor),
        CommandRow<D>(IDC_PRESET_TOP_LEFT, BN_CLICKED, &D::OnPreset),
        CommandRow<D>(IDC_PRESET_BOTTOM_LEFT, BN_CLICKED, &D::OnPreset),
        CommandRow<D>(IDC_PRESET_TOP_RIGHT, BN_CLICKED, &D::OnPreset),
        CommandRow<D>(IDC_PRESET_BOTTOM_RIGHT, BN_CLICKED, &D::OnPreset),
        CommandRow<D>(IDC_PRESET_CENTRE, BN_CLICKED, &D::OnPreset),
        CommandRow<D>(IDC_DIC_CHOOSE, BN_CLICKED, &D::OnChooseDictionary),
        CommandRow<D>(IDC_DIC_BUILTIN, BN_CLICKED, &D::OnDicType),
        CommandRow<D>(IDC_BACK_NONE, BN_CLICKED, &D::OnBackType),
        CommandRow<D>(IDC_RULES_RANDOM, BN_CLICKED, &D::OnRulesType),
        CommandRow<D>(IDC_RANDOM_POSITION, BN_CLICKED, &D::OnRandomPosition),
        CommandRow<D>(IDC_TIME_FROM, EN_CHANGE, &D::OnTimeFromChanged),
        CommandRow<D>(IDC_TIME_TO, EN_CHANGE, &D::OnTimeToChanged),
        CommandRow<D>(IDC_FREQ_FROM, EN_CHANGE, &D::OnFreqFromChanged),
        CommandRow<D>(IDC_FREQ_TO, EN_CHANGE, &D::OnFreqToChanged),
        CommandRow<D>(IDC_ENTRY_ADD, BN_CLICKED, &D::OnAddEntry),
        CommandRow<D>(IDC_ENTRY_DELETE, BN_CLICKED, &D::OnDeleteEntry),
        CommandRow<D>(IDC_ENTRY_CHANGE, BN_CLICKED, &D::OnChangeEntry),
        CommandRow<D>(IDC_ENTRY_LIST, LBN_SELCHANGE, &D::OnEntrySelected),
        CommandRow<D>(IDC_WORD, EN_CHANGE, &D::OnWordChanged),
        CommandRow<D>(IDC_DIC_ALTERNATIVE, BN_CLICKED, &D::OnDicType),
        CommandRow<D>(IDC_BACK_SCREEN, BN_CLICKED, &D::OnBackType),
        CommandRow<D>(IDC_BACK_AROUND, BN_CLICKED, &D::OnBackType),
        CommandRow<D>(IDC_RULES_AZ, BN_CLICKED, &D::OnRulesType),
        CommandRow<D>(IDC_RULES_ZA, BN_CLICKED, &D::OnRulesType),
        CommandRow<D>(IDC_ENTRY_LIST, LBN_DBLCLK, &D::OnEntryDoubleClick),
        CommandRow<D>(IDC_OUTLINE_WIDTH, EN_CHANGE, &D::OnOutlineWidthChanged),
        CommandRow<D>(IDC_SHADOW_OFFSET, EN_CHANGE, &D::OnShadowOffsetChanged),
        CommandRow<D>(IDC_BOX_PADDING, EN_CHANGE, &D::OnBoxPaddingChanged),
        CommandRow<D>(IDC_OUTLINE_COLOR, BN_CLICKED, &D::OnOutlineColor),
        CommandRow<D>(IDC_SHADOW_COLOR, BN_CLICKED, &D::OnShadowColor),
        CommandRow<D>(IDC_KEEP_PROPORTIONS, BN_CLICKED, &D::OnKeepProportions),
        // Enter and Escape: the dialog closes only through its own buttons.
        MessageRow<D>(DM_GETDEFID, &D::OnGetDefaultId),
        CommandRow<D>(IDOK, kAnyNotification, &D::OnIgnoredCommand),
        CommandRow<D>(IDCANCEL, kAnyNotification, &D::OnIgnoredCommand),
    };
    static_assert(CommandsFromListedControls(table),
                  "a command row names a control that kDialogControls lacks, or a notification it never sends");
    const bool handled = DispatchMessageTable(*this, table, message, wParam, lParam);
    // Timer and owner-draw messages go on to the default handling as well.
    return handled && message != WM_TIMER && message != WM_DRAWITEM;
}

BOOL SettingsDialog::OnInitDialog() {
    BindControls();
    PlaceWindow();
    settings_.dialogSnapshot = edits_.CopyWorkingSettings();
    CreatePadFont();
    SetUpNumericFields();
    SetUpEntryList();
    CreateToolTips();
    isInitialised = 1;
    RefreshControls();
    ShowUnreadLines();
    HookMouse();
    return TRUE;
}

void SettingsDialog::BindControls() {
    HWND dialog = window();
    changeButton.Bind(dialog, IDC_ENTRY_CHANGE);
    deleteButton.Bind(dialog, IDC_ENTRY_DELETE);
    addButton.Bind(dialog, IDC_ENTRY_ADD);
    wordEdit.Bind(dialog, IDC_WORD);
    entryList.Bind(dialog, IDC_ENTRY_LIST);
    chooseDictionaryButton.Bind(dialog, IDC_DIC_CHOOSE);
    fileNameEdit.Bind(dialog, IDC_DIC_FILE);
    builtinRadio.Bind(dialog, IDC_DIC_BUILTIN);
    alternativeRadio.Bind(dialog, IDC_DIC_ALTERNATIVE);
    backColorButton.Bind(dialog, IDC_BACK_COLOR);
    textColorButton.Bind(dialog, IDC_TEXT_COLOR);
    fontButton.Bind(dialog, IDC_FONT);
    randomPositionCheck.Bind(dialog, IDC_RANDOM_POSITION);
    rulesRandomRadio.Bind(dialog, IDC_RULES_RANDOM);
    rulesZaRadio.Bind(dialog, IDC_RULES_ZA);
    rulesAzRadio.Bind(dialog, IDC_RULES_AZ);
    backAroundRadio.Bind(dialog, IDC_BACK_AROUND);
    backScreenRadio.Bind(dialog, IDC_BACK_SCREEN);
    backNoneRadio.Bind(dialog, IDC_BACK_NONE);
    freqToSpin.Bind(dialog, IDC_FREQ_TO_SPIN);
    freqFromSpin.Bind(dialog, IDC_FREQ_FROM_SPIN);
    freqToEdit.Bind(dialog, IDC_FREQ_TO);
    freqFromEdit.Bind(dialog, IDC_FREQ_FROM);
    timeToEdit.Bind(dialog, IDC_TIME_TO);
    timeToSpin.Bind(dialog, IDC_TIME_TO_SPIN);
    timeFromSpin.Bind(dialog, IDC_TIME_FROM_SPIN);
    timeFromEdit.Bind(dialog, IDC_TIME_FROM);
    centreButton.Bind(dialog, IDC_PRESET_CENTRE);
    topRightButton.Bind(dialog, IDC_PRESET_TOP_RIGHT);
    bottomRightButton.Bind(dialog, IDC_PRESET_BOTTOM_RIGHT);
    topLeftButton.Bind(dialog, IDC_PRESET_TOP_LEFT);
    bottomLeftButton.Bind(dialog, IDC_PRESET_BOTTOM_LEFT);
    transparencySpin.Bind(dialog, IDC_TRANSPARENCY_SPIN);
    transparencyEdit.Bind(dialog, IDC_TRANSPARENCY);
    upButton.Bind(dialog, IDC_ARROW_UP);
    rightButton.Bind(dialog, IDC_ARROW_RIGHT);
    leftButton.Bind(dialog, IDC_ARROW_LEFT);
    downButton.Bind(dialog, IDC_ARROW_DOWN);
    outlineWidthEdit.Bind(dialog, IDC_OUTLINE_WIDTH);
    outlineWidthSpin.Bind(dialog, IDC_OUTLINE_WIDTH_SPIN);
    outlineColorButton.Bind(dialog, IDC_OUTLINE_COLOR);
    shadowOffsetEdit.Bind(dialog, IDC_SHADOW_OFFSET);
    shadowOffsetSpin.Bind(dialog, IDC_SHADOW_OFFSET_SPIN);
    shadowColorButton.Bind(dialog, IDC_SHADOW_COLOR);
    boxPaddingEdit.Bind(dialog, IDC_BOX_PADDING);
    boxPaddingSpin.Bind(dialog, IDC_BOX_PADDING_SPIN);
    keepProportionsCheck.Bind(dialog, IDC_KEEP_PROPORTIONS);
    legibilityWarning.Bind(dialog, IDC_LEGIBILITY_WARNING);
    statusText.Bind(dialog, IDC_STATUS);
}

void SettingsDialog::PlaceWindow() {
    int32_t& savedX = settings_.DlgWndPosX;
    int32_t& savedY = settings_.DlgWndPosY;
    int32_t x = savedX;
    int32_t y = savedY;
    const bool saved = !(x == kNoDialogPosition && y == kNoDialogPosition) && x < GetSystemMetrics(SM_CXSCREEN) &&
                       y < GetSystemMetrics(SM_CYSCREEN);
    if (!saved) {
        RECT dialog, host;
        GetWindowRect(window(), &dialog);
        // Without a usable host window the dialog is centred on the screen.
        if (!hostWindow || !GetWindowRect(hostWindow, &host))
            host = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        x = dialog.left + (host.left + host.right) / 2 - (dialog.left + dialog.right) / 2;
        y = dialog.top + (host.top + host.bottom) / 2 - (dialog.top + dialog.bottom) / 2;
    }
    KeepOnScreen(x, y);
    savedX = x;
    savedY = y;
    SetWindowPos(window(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The whole window inside the work area of the monitor nearest to where it
// would stand, so that its buttons and close box can be reached: a saved
// place may be from a larger screen, or another layout of monitors.
void SettingsDialog::KeepOnScreen(int32_t& x, int32_t& y) const {
    RECT rect;
    GetWindowRect(window(), &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const RECT wanted = {x, y, x + width, y + height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) area = monitor.rcWork;
    // Where the window is larger than the area, its top left corner shows.
    x = std::max<int32_t>(area.left, std::min<int32_t>(x, area.right - width));
    y = std::max<int32_t>(area.top, std::min<int32_t>(y, area.bottom - height));
}

void SettingsDialog::SetUpNumericFields() {
    struct Field {
        const Edit& edit;
        const UpDown& spin;
        SettingRange range;
    };
    const Field fields[] = {
        {transparencyEdit, transparencySpin, RangeOf("Transparency")},
        {timeFromEdit, timeFromSpin, RangeOf("ShowTimeFrom")},
        {timeToEdit, timeToSpin, RangeOf("ShowTimeTo")},
        {freqFromEdit, freqFromSpin, RangeOf("ShowFreqFrom")},
        {freqToEdit, freqToSpin, RangeOf("ShowFreqTo")},
        {outlineWidthEdit, outlineWidthSpin, RangeOf("OutlineWidth")},
        {shadowOffsetEdit, shadowOffsetSpin, RangeOf("ShadowOffset")},
        {boxPaddingEdit, boxPaddingSpin, RangeOf("BoxPadding")},
    };
    for (const Field& field : fields) {
        field.spin.SetBuddy(field.edit);
        field.spin.SetRange(static_cast<int>(field.range.minimum), static_cast<int>(field.range.maximum));
        field.edit.LimitText(kNumberTextLimit);
    }
}

void SettingsDialog::RefreshControls() {
    if (!isInitialised) return;
    // Each position rewrites its edit, whose handler stores the value back
    // and may move the other bound of its range: each reads them anew.
    const auto current = [this] { return edits_.CopyWorkingSettings(); };
    const SettingsRecord settings = current();
    fileNameEdit.SetUnicodeText(settings.DicFileName);
    fontButton.SetUnicodeText(settings.FontName);
    textColorButton.Repaint();
    backColorButton.Repaint();
    transparencySpin.SetPosition(current().Transparency);
    timeFromSpin.SetPosition(current().ShowTimeFrom);
    timeToSpin.SetPosition(current().ShowTimeTo);
    freqFromSpin.SetPosition(current().ShowFreqFrom);
    freqToSpin.SetPosition(current().ShowFreqTo);
    outlineWidthSpin.SetPosition(current().OutlineWidth);
    shadowOffsetSpin.SetPosition(current().ShadowOffset);
    boxPaddingSpin.SetPosition(current().BoxPadding);
    outlineColorButton.Repaint();
    shadowColorButton.Repaint();
    keepProportionsCheck.SetChecked(settings.KeepProportions != 0);
    randomPositionCheck.SetChecked(settings.RndStringPos != 0);
    UpdatePositionButtons();
    builtinRadio.SetChecked(settings.DicType == kBuiltinWords);
    alternativeRadio.SetChecked(settings.DicType == kWordList);
    backNoneRadio.SetChecked(settings.BackType == kBackgroundNone);
    backAroundRadio.SetChecked(settings.BackType == kBackgroundBox);
    backScreenRadio.SetChecked(settings.BackType == kBackgroundWholeFrame);
    rulesAzRadio.SetChecked(settings.RulesType == kOrderAtoZ);
    rulesZaRadio.SetChecked(settings.RulesType == kOrderZtoA);
    rulesRandomRadio.SetChecked(settings.RulesType == kOrderRandom);
    ShowLegibilityWarning();
    FillEntryList();
    SelectEntry(-1);
}

void SettingsDialog::OnClose(WPARAM, LPARAM) {
    edits_.ReplaceWorkingSettings(settings_.dialogSnapshot);
    overlay_.CreateCaptionFont();
    ReloadAltDictionary();
    Destroy();
}

void SettingsDialog::OnCancelButton(WPARAM, LPARAM) { PostMessageA(window(), WM_CLOSE, 0, 0); }

void SettingsDialog::OnOkButton(WPARAM, LPARAM) {
    if (MayCloseWithAltDictionary()) Destroy();
}

// Enter presses the button this answer names. The template's default is
// "Отмена", which would throw every change away: in the word field Enter
// adds the entry instead, elsewhere it names IDOK, which is ignored.
void SettingsDialog::OnGetDefaultId(WPARAM, LPARAM) {
    const int id = GetFocus() == wordEdit.window() ? IDC_ENTRY_ADD : IDOK;
    SetWindowLongPtrW(window(), DWLP_MSGRESULT, MAKELONG(id, DC_HASDEFID));
}

void SettingsDialog::OnDestroy(WPARAM, LPARAM) {
    RECT rect;
    if (GetWindowRect(window(), &rect)) {
        settings_.DlgWndPosX = rect.left;
        settings_.DlgWndPosY = rect.top;
    }
    isInitialised = 0;
    UnhookMouse();
    toolTip = nullptr;  // owned by the dialog, destroyed with it
}

void SettingsDialog::OnFinalRelease() {
    hostWindow = nullptr;
    dialogExists = 0;
}

void SettingsDialog::OnDefaults(WPARAM, LPARAM) {
    edits_.ReplaceWorkingSettings(settings_.defaultSettings);
    ReloadAltDictionary();
    overlay_.CreateCaptionFont();
    RefreshControls();  // the list too
}

void SettingsDialog::OnFont(WPARAM, LPARAM) {
    const SettingsRecord before = edits_.CopyWorkingSettings();
    LOGFONTA font = LogFontFrom(CaptionFontFrom(before));
    CHOOSEFONTA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.lpLogFont = &font;
    chooser.Flags = kFontChooserOptions;
    chooser.rgbColors = before.TextColor;
    chooser.lpfnHook = FontApplyHook;
    chooser.lCustData = reinterpret_cast<LPARAM>(this);
    if (commonDialogs.chooseFont(&chooser))
        StoreFont(font);
    else
        edits_.ReplaceWorkingSettings(before);  // also undoes every Apply
    overlay_.CreateCaptionFont();
    fontButton.SetUnicodeText(edits_.CopyWorkingSettings().FontName);
}

bool SettingsDialog::PickColor(uint32_t& colour) {
    CHOOSECOLORA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.rgbResult = colour;
    chooser.lpCustColors = customColors_;
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!commonDialogs.chooseColor(&chooser)) return false;
    colour = chooser.rgbResult;
    return true;
}

void SettingsDialog::OnTextColor(WPARAM, LPARAM) {
    uint32_t colour = edits_.CopyWorkingSettings().TextColor;
    if (PickColor(colour)) edits_.SetCaptionTextColor(colour);
    textColorButton.Repaint();
    ShowLegibilityWarning();
}

void SettingsDialog::OnBackColor(WPARAM, LPARAM) {
    uint32_t colour = edits_.CopyWorkingSettings().BackColor;
    if (PickColor(colour)) edits_.SetCaptionBackColor(colour);
    backColorButton.Repaint();
    ShowLegibilityWarning();
}

void SettingsDialog::OnDicType(WPARAM, LPARAM) {
    if (const auto type = CheckedChoice<WordSource>({{&builtinRadio, kBuiltinWords}, {&alternativeRadio, kWordList}}))
        edits_.SetDicType(*type);
    UpdateDictionaryControls();
}

void SettingsDialog::OnBackType(WPARAM, LPARAM) {
    if (const auto type = CheckedChoice<Background>({{&backNoneRadio, kBackgroundNone},
                                                     {&backAroundRadio, kBackgroundBox},
                                                     {&backScreenRadio, kBackgroundWholeFrame}}))
        edits_.SetBackType(*type);
    ShowLegibilityWarning();
}

void SettingsDialog::OnRulesType(WPARAM, LPARAM) {
    if (const auto rules = CheckedChoice<WordOrder>(
            {{&rulesAzRadio, kOrderAtoZ}, {&rulesZaRadio, kOrderZtoA}, {&rulesRandomRadio, kOrderRandom}}))
        edits_.SetRulesType(*rules);
}

void SettingsDialog::OnRandomPosition(WPARAM, LPARAM) {
    edits_.SetRandomPosition(randomPositionCheck.Checked());
    UpdatePositionButtons();
}

// The numeric fields: the up-down writes its edit, the edit's change stores
// the value, and each pair keeps its lower bound at or below its upper one.
// Setting an up-down to what its edit already shows raises no change, which
// ends every chain.
void SettingsDialog::OnTransparencyChanged(WPARAM, LPARAM) {
    if (!isInitialised) return;
    edits_.SetTransparency(transparencyEdit.Number());
    transparencySpin.SetPosition(edits_.CopyWorkingSettings().Transparency);
}

void SettingsDialog::TakeRangeBound(FrameRange range, RangeBound bound, const Edit& edit, const UpDown& spin,
                                    const UpDown& otherSpin) {
    if (!isInitialised) return;
    const StoredRange stored = edits_.SetFrameRangeBound(range, bound, edit.Number());
    const bool isFrom = bound == RangeBound::From;
    spin.SetPosition(isFrom ? stored.from : stored.to);
    if (stored.otherMoved) otherSpin.SetPosition(isFrom ? stored.to : stored.from);
}

void SettingsDialog::OnTimeFromChanged(WPARAM, LPARAM) {
    TakeRangeBound(FrameRange::ShowTime, RangeBound::From, timeFromEdit, timeFromSpin, timeToSpin);
}

void SettingsDialog::OnTimeToChanged(WPARAM, LPARAM) {
    TakeRangeBound(FrameRange::ShowTime, RangeBound::To, timeToEdit, timeToSpin, timeFromSpin);
}

void SettingsDialog::OnFreqFromChanged(WPARAM, LPARAM) {
    TakeRangeBound(FrameRange::ShowFreq, RangeBound::From, freqFromEdit, freqFromSpin, freqToSpin);
}

void SettingsDialog::OnFreqToChanged(WPARAM, LPARAM) {
    TakeRangeBound(FrameRange::ShowFreq, RangeBound::To, freqToEdit, freqToSpin, freqFromSpin);
}

// The letters' look: each number is stored, then shown as stored.
void SettingsDialog::OnOutlineWidthChanged(WPARAM, LPARAM) {
    if (!isInitialised) return;
    edits_.SetOutlineWidth(outlineWidthEdit.Number());
    outlineWidthSpin.SetPosition(edits_.CopyWorkingSettings().OutlineWidth);
    ShowLegibilityWarning();
}

void SettingsDialog::OnShadowOffsetChanged(WPARAM, LPARAM) {
    if (!isInitialised) return;
    edits_.SetShadowOffset(shadowOffsetEdit.Number());
    shadowOffsetSpin.SetPosition(edits_.CopyWorkingSettings().ShadowOffset);
    ShowLegibilityWarning();
}

void SettingsDialog::OnBoxPaddingChanged(WPARAM, LPARAM) {
    if (!isInitialised) return;
    edits_.SetBoxPadding(boxPaddingEdit.Number());
    boxPaddingSpin.SetPosition(edits_.CopyWorkingSettings().BoxPadding);
}

void SettingsDialog::OnOutlineColor(WPARAM, LPARAM) {
    uint32_t colour = edits_.CopyWorkingSettings().OutlineColor;
    if (PickColor(colour)) edits_.SetOutlineColor(colour);
    outlineColorButton.Repaint();
    ShowLegibilityWarning();
}

void SettingsDialog::OnShadowColor(WPARAM, LPARAM) {
    uint32_t colour = edits_.CopyWorkingSettings().ShadowColor;
    if (PickColor(colour)) edits_.SetShadowColor(colour);
    shadowColorButton.Repaint();
    ShowLegibilityWarning();
}

void SettingsDialog::OnKeepProportions(WPARAM, LPARAM) { edits_.SetKeepProportions(keepProportionsCheck.Checked()); }

// The colours can hide the letters, or the outline or shadow drawn for
// them, without any other sign on the picture: the dialog says which
// colour to change.
void SettingsDialog::ShowLegibilityWarning() {
    const SettingsRecord settings = edits_.CopyWorkingSettings();
    const uint32_t hidden = HiddenParts(settings);
    std::wstring text;
    const auto add = [&](const char* line) {
        if (!text.empty()) text += L" ";
        text += WideFromCp1251(line);
    };
    if (hidden & kHiddenLetters)
        add(settings.BackType == kBackgroundNone ? kLettersHiddenKeyed : kLettersHiddenOnBox);
    else {  // with the letters gone, so are the rest
        if (hidden & kHiddenOutline) add(kOutlineHidden);
        if (hidden & kHiddenShadow) add(kShadowHidden);
    }
    SetWindowTextW(legibilityWarning.window(), text.c_str());
}

// The status line has room for two short lines of the file; the trace
// names them all.
void SettingsDialog::ShowUnreadLines() {
    constexpr size_t kQuoted = 2, kLength = 24;
    const std::vector<UnreadLine>& unread = settings_.unreadLines;
    std::wstring lines;
    for (size_t i = 0; i < unread.size() && i < kQuoted; ++i) {
        std::wstring line = WideFromUtf8(unread[i].text);
        if (line.size() > kLength) line = line.substr(0, kLength - 1) + L"\u2026";
        lines += (i ? L", \u00AB" : L"\u00AB") + line + L"\u00BB";
    }
    std::wstring text;
    if (!unread.empty()) {
        text = WideFromCp1251(kUnreadSettingsLines);
        text.replace(text.find(L"%1"), 2, lines);
        if (unread.size() > kQuoted) {
            std::wstring more = WideFromCp1251(kAndMore);
            more.replace(more.find(L"%1"), 2, std::to_wstring(unread.size() - kQuoted));
            text += more;
        }
    }
    SetWindowTextW(statusText.window(), text.c_str());
}
