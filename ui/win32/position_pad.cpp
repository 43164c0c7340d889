// The position pad with its auto-repeating arrows, the colour buttons, the
// tooltips, the thread's mouse hook and the attention signal.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "platform/win32/wide_text.h"
#include "ui/settings_dialog_ids.h"
#include "ui/win32/dialog_texts.h"
#include "ui/win32/settings_dialog.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kRepeatPeriodMs = 50;
constexpr UINT_PTR kAttentionTimer = 2;
constexpr UINT kAttentionPeriodMs = 80;
constexpr double kRepeatAcceleration = 0.2;  // per tick; the step is truncated when used

bool IsArrowButton(int id) { return id >= IDC_ARROW_LEFT && id <= IDC_ARROW_DOWN; }

// The window property that leads from the dialog's window to the dialog.
constexpr char kDialogProperty[] = "TPP_25Frame.SettingsDialog";

void PaintColorButton(const DRAWITEMSTRUCT& item, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour & 0xFFFFFF);
    HGDIOBJ previous = SelectObject(item.hDC, brush);
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, brush);
    SelectObject(item.hDC, previous);
    DeleteObject(brush);
    DrawEdge(item.hDC, &rect, EDGE_BUMP, BF_RECT);
}

}  // namespace

void SettingsDialog::CreatePadFont() {
    if (marlettFont) DeleteObject(marlettFont);
    LOGFONTA font = {};
    font.lfHeight = 12;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "Marlett");
    marlettFont = CreateFontIndirectA(&font);
    const int pad[] = {IDC_ARROW_UP,          IDC_ARROW_RIGHT,      IDC_ARROW_LEFT,          IDC_ARROW_DOWN,
                       IDC_PRESET_CENTRE,     IDC_PRESET_TOP_RIGHT, IDC_PRESET_BOTTOM_RIGHT, IDC_PRESET_TOP_LEFT,
                       IDC_PRESET_BOTTOM_LEFT};
    for (int id : pad) SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(marlettFont), TRUE);
}

void SettingsDialog::CreateToolTips() {
    toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, window(), nullptr, module_, nullptr);
    if (!toolTip) return;
    struct Tip {
        int id;
        const char* text;
    };
    const Tip tips[] = {
        {IDC_DIC_CHOOSE, kTipChooseDictionary},    {IDC_FONT, kTipChooseFont},
        {IDC_TEXT_COLOR, kTipChooseTextColor},     {IDC_BACK_COLOR, kTipChooseBackColor},
        {IDC_RANDOM_POSITION, kTipRandomPosition}, {IDC_OUTLINE_COLOR, kTipChooseOutlineColor},
        {IDC_SHADOW_COLOR, kTipChooseShadowColor},
    };
    for (const Tip& tip : tips) {
        // No subclassing: the tooltip learns of the mouse from the hook alone.
        std::wstring text = WideFromCp1251(tip.text);
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window();
        tool.uId = reinterpret_cast<UINT_PTR>(Item(tip.id));
        tool.lpszText = text.data();
        SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageA(toolTip, TTM_ACTIVATE, TRUE, 0);
}

void SettingsDialog::UpdatePositionButtons() {
    const bool fixed = edits_.CopyWorkingSettings().RndStringPos == 0;
    const Button* pad[] = {&centreButton, &topRightButton, &bottomRightButton, &topLeftButton, &bottomLeftButton,
                           &upButton,     &rightButton,    &leftButton,        &downButton};
    for (const Button* button : pad) button->Enable(fixed);
}

void SettingsDialog::OnPreset(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
        case IDC_PRESET_TOP_LEFT: edits_.MoveCaptionToPreset(CaptionPreset::TopLeft); break;
        case IDC_PRESET_TOP_RIGHT: edits_.MoveCaptionToPreset(CaptionPreset::TopRight); break;
        case IDC_PRESET_CENTRE: edits_.MoveCaptionToPreset(CaptionPreset::Centre); break;
        case IDC_PRESET_BOTTOM_LEFT: edits_.MoveCaptionToPreset(CaptionPreset::BottomLeft); break;
        case IDC_PRESET_BOTTOM_RIGHT: edits_.MoveCaptionToPreset(CaptionPreset::BottomRight); break;
    }
}

void SettingsDialog::MoveCaption() {
    const auto step = static_cast<int32_t>(repeatStep);
    switch (repeatButtonId) {
        case IDC_ARROW_LEFT: edits_.MoveCaptionBy(-step, 0); break;
        case IDC_ARROW_RIGHT: edits_.MoveCaptionBy(step, 0); break;
        case IDC_ARROW_UP: edits_.MoveCaptionBy(0, -step); break;
        case IDC_ARROW_DOWN: edits_.MoveCaptionBy(0, step); break;
    }
}

void SettingsDialog::OnMouse(UINT message, const MOUSEHOOKSTRUCT& data) {
    const int id = GetDlgCtrlID(data.hwnd);
    // Only our own pad: a window of the host's with the same id is not an arrow.
    if (IsArrowButton(id) && GetParent(data.hwnd) == window()) {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
            repeatButtonId = id;
            repeatStep = 1.0;
            MoveCaption();
            repeatStep = 0.0;
            SetTimer(window(), kRepeatTimer, kRepeatPeriodMs, nullptr);
        } else if (message == WM_LBUTTONUP) {
            // The pressed button has the capture, so the release comes here
            // even when the pointer has left it.
            KillTimer(window(), kRepeatTimer);
        }
    }
    if (toolTip) {
        MSG relay = {};
        relay.hwnd = data.hwnd;
        relay.message = message;
        relay.pt = data.pt;
        SendMessageA(toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
}

SettingsDialog* SettingsDialog::OfWindow(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    return root ? static_cast<SettingsDialog*>(GetPropA(root, kDialogProperty)) : nullptr;
}

void SettingsDialog::HookMouse() {
    SetPropA(window(), kDialogProperty, this);
    mouseHook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, nullptr, GetWindowThreadProcessId(window(), nullptr));
}

void SettingsDialog::UnhookMouse() {
    RemovePropA(window(), kDialogProperty);
    if (mouseHook) UnhookWindowsHookEx(mouseHook);
    mouseHook = nullptr;
}

// The hook has no data of its own: the message's window leads to its
// dialog. Each settings dialog of a thread hooks it, and every hook sees
// every message; the first to see one handles it, and the hooks it passes
// the message on to, called inside it, leave it alone.
LRESULT CALLBACK SettingsDialog::MouseHookProc(int code, WPARAM message, LPARAM data) {
    const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(data);
    SettingsDialog* dialog = mouse ? OfWindow(mouse->hwnd) : nullptr;
    HHOOK hook = dialog ? dialog->mouseHook : nullptr;
    // Peeked-but-kept messages (HC_NOREMOVE) would count a press twice.
    if (code != HC_ACTION || !dialog || dialog->inMouseHook_) return CallNextHookEx(hook, code, message, data);
    try {
        dialog->OnMouse(static_cast<UINT>(message), *mouse);
    } catch (...) {
    }
    dialog->inMouseHook_ = true;
    const LRESULT result = CallNextHookEx(hook, code, message, data);
    dialog->inMouseHook_ = false;
    return result;
}

// A lost capture (Alt+Tab, a pop-up) or a release the hook never saw sends
// no button-up to stop the repeat, so each tick looks for itself.
bool SettingsDialog::ArrowStillHeld() const {
    // The physical button that acts as the left one.
    const int leftButton = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return IsArrowButton(repeatButtonId) && GetCapture() == Item(repeatButtonId) &&
           (GetAsyncKeyState(leftButton) & 0x8000) != 0;
}

void SettingsDialog::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kRepeatTimer) {
        if (!ArrowStillHeld()) {
            KillTimer(window(), kRepeatTimer);
            return;
        }
        repeatStep = repeatStep + kRepeatAcceleration;
        MoveCaption();
    } else if (wParam == kAttentionTimer) {
        if (flashCount != 0) {
            FlashWindow(window(), TRUE);
            --flashCount;
        } else {
            KillTimer(window(), kAttentionTimer);
        }
    }
}

void SettingsDialog::StartAttentionSignal(int32_t count) {
    flashCount = 2 * count;
    SetTimer(window(), kAttentionTimer, kAttentionPeriodMs, nullptr);
}

void SettingsDialog::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!item) return;
    if (wParam == IDC_TEXT_COLOR) PaintColorButton(*item, edits_.CopyWorkingSettings().TextColor);
    if (wParam == IDC_BACK_COLOR) PaintColorButton(*item, edits_.CopyWorkingSettings().BackColor);
    if (wParam == IDC_ENTRY_LIST) DrawEntry(*item);
    if (wParam == IDC_OUTLINE_COLOR) PaintColorButton(*item, edits_.CopyWorkingSettings().OutlineColor);
    if (wParam == IDC_SHADOW_COLOR) PaintColorButton(*item, edits_.CopyWorkingSettings().ShadowColor);
}
