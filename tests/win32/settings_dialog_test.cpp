// The settings dialog as a whole: opening and placement, the controls
// showing and changing the working values, OK, Cancel, the close box,
// Default, the numeric fields and the choosers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <utility>

#include "tests/win32/dialog_fixture.h"
#include "ui/settings_dialog_ids.h"
#include "ui/win32/dialog_texts.h"

namespace {

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(DialogTest, FirstOpeningIsCentredOnTheHostAndShowsTheWorkingValues) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), host);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    const RECT d = WindowRect(dialog), h = WindowRect(host);
    EXPECT_LE(std::abs((d.left + d.right) - (h.left + h.right)), 1);
    EXPECT_LE(std::abs((d.top + d.bottom) - (h.top + h.bottom)), 1);
    EXPECT_EQ(DlgWndPosX, d.left);
    EXPECT_EQ(DlgWndPosY, d.top);

    EXPECT_EQ(Text(IDC_FONT), "Arial");
    EXPECT_EQ(Text(IDC_TRANSPARENCY), "100");
    EXPECT_EQ(Text(IDC_TIME_FROM), "1");
    EXPECT_EQ(Text(IDC_TIME_TO), "1");
    EXPECT_EQ(Text(IDC_FREQ_FROM), "12");
    EXPECT_EQ(Text(IDC_FREQ_TO), "12");
    EXPECT_TRUE(Checked(IDC_DIC_BUILTIN));
    EXPECT_FALSE(Checked(IDC_DIC_ALTERNATIVE));
    EXPECT_TRUE(Checked(IDC_BACK_NONE));
    EXPECT_TRUE(Checked(IDC_RULES_RANDOM));
    EXPECT_TRUE(Checked(IDC_RANDOM_POSITION));
    EXPECT_EQ(dialogSnapshot, Working());
}

TEST_F(DialogTest, SavedPositionIsUsedUnlessItLiesOffTheScreen) {
    DlgWndPosX = 40;
    DlgWndPosY = 20;
    HWND dialog = Open();
    EXPECT_EQ(WindowRect(dialog).left, 40);
    EXPECT_EQ(WindowRect(dialog).top, 20);
    Click(IDC_OK);
    ASSERT_EQ(Dialog(), nullptr);

    // Partly off the screen, the window comes whole onto it: its buttons
    // and close box stay within reach.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    DlgWndPosX = screenWidth - 50;
    DlgWndPosY = -20;
    dialog = Open();
    RECT r = WindowRect(dialog);
    EXPECT_EQ(r.right, screenWidth);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(DlgWndPosX, r.left);
    Click(IDC_OK);
    DlgWndPosX = -300;
    DlgWndPosY = screenHeight - 30;
    dialog = Open();
    r = WindowRect(dialog);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, screenHeight);
    Click(IDC_OK);
    ASSERT_EQ(Dialog(), nullptr);

    DlgWndPosX = GetSystemMetrics(SM_CXSCREEN);
    DlgWndPosY = 10;
    dialog = Open();
    const RECT d = WindowRect(dialog), h = WindowRect(host);
    EXPECT_LE(std::abs((d.left + d.right) - (h.left + h.right)), 1);
}

TEST_F(DialogTest, DialogLargerThanItsHostNearTheCornerStartsAtZero) {
    SetWindowPos(host, nullptr, 0, 0, 100, 80, SWP_NOZORDER);
    HWND dialog = Open();
    SetWindowPos(host, nullptr, 100, 80, 900, 640, SWP_NOZORDER);
    EXPECT_EQ(WindowRect(dialog).left, 0);
    EXPECT_EQ(WindowRect(dialog).top, 0);
}

class DialogClosing : public DialogTest {
protected:
    // Every control of the right half changed, plus what the frame thread moves.
    void ChangeAll() {
        SetSpin(IDC_TRANSPARENCY_SPIN, 55);
        SetSpin(IDC_FREQ_FROM_SPIN, 40);
        SetSpin(IDC_TIME_FROM_SPIN, 7);
        Click(IDC_BACK_SCREEN);
        Click(IDC_RULES_ZA);
        Click(IDC_DIC_ALTERNATIVE);
        Click(IDC_PRESET_TOP_LEFT);
        Click(IDC_RANDOM_POSITION);
        Set([&](SettingsRecord& s) {
            s.CurIntEntry = 17;
            s.CurExtEntry = 5;
        });
    }
};

TEST_F(DialogClosing, CancelAndTheCloseBoxRestoreEveryValue) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        Set([&](SettingsRecord& s) { s = ChangedSettings(); });
        const SettingsRecord opened = Working();
        ASSERT_NE(Open(), nullptr);
        ChangeAll();
        EXPECT_EQ(Working().Transparency, 55);
        EXPECT_EQ(Working().ShowFreqFrom, 40);
        EXPECT_EQ(Working().ShowFreqTo, 40);
        EXPECT_EQ(Working().BackType, 2);
        EXPECT_EQ(Working().RulesType, 1);
        EXPECT_EQ(Working().RndStringPos, 1u);
        EXPECT_EQ(Working().StringPosX, 0);

        if (closeBox)
            SendMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            Click(IDC_CANCEL);
        Pump();
        EXPECT_EQ(Dialog(), nullptr);
        EXPECT_EQ(settingsDialog.dialogExists, 0);
        EXPECT_EQ(Working(), opened);
    }
}

TEST_F(DialogClosing, DefaultLoadsTheDefaultsAndCancelStillReturnsToTheOpening) {
    Set([&](SettingsRecord& s) { s = ChangedSettings(); });
    const SettingsRecord opened = Working();
    Open();
    Click(IDC_DEFAULTS);
    SettingsRecord expected = defaultSettings;
    expected.CurExtEntry = -1;  // the reload keeps the index inside the empty list
    EXPECT_EQ(Working(), expected);
    EXPECT_EQ(Text(IDC_FONT), "Arial");
    EXPECT_EQ(Text(IDC_TRANSPARENCY), "100");
    EXPECT_EQ(Text(IDC_FREQ_TO), "12");
    EXPECT_TRUE(Checked(IDC_DIC_BUILTIN));
    EXPECT_FALSE(Checked(IDC_BACK_AROUND));
    EXPECT_TRUE(Checked(IDC_BACK_NONE));

    Click(IDC_CANCEL);
    EXPECT_EQ(Working(), opened);
}

TEST_F(DialogClosing, OkAndExitKeepTheChanges) {
    Open();
    ChangeAll();
    const SettingsRecord changed = Working();
    Click(IDC_OK);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(Working(), changed);

    // Exit closes an open dialog the same way and writes its last position.
    Open();
    SetWindowPos(Dialog(), nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ChangeAll();
    const SettingsRecord atExit = Working();
    const std::string file = SettingsFileAfterExit();
    EXPECT_EQ(settingsDialog.dialogExists, 0);
    EXPECT_NE(file.find("DlgWndPosX=33\r\nDlgWndPosY=44\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Transparency=55\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("BackType=2\r\n"), std::string::npos) << file;
    EXPECT_EQ(Working().ShowTimeFrom, atExit.ShowTimeFrom);

    // After a new Init the dialog opens where it was.
    Open();
    EXPECT_EQ(WindowRect(Dialog()).left, 33);
    EXPECT_EQ(WindowRect(Dialog()).top, 44);
}

TEST_F(DialogClosing, CommandsOneAndTwoNeitherCloseNorChange) {
    Open();
    Click(IDC_BACK_AROUND);
    const SettingsRecord before = Working();
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Pump();
    EXPECT_NE(Dialog(), nullptr);
    EXPECT_EQ(Working(), before);
}

BOOL CALLBACK CountDialogs(HWND window, LPARAM count) {
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST_F(DialogTest, SecondShowSettingsFlashesTheOpenDialog) {
    HWND first = Open();
    Click(IDC_BACK_AROUND);
    PluginShowSettings(&hostRecord);
    EXPECT_EQ(Dialog(), first);
    EXPECT_EQ(settingsDialog.flashCount, 4);
    EXPECT_EQ(Working().BackType, 1);  // the snapshot was not retaken
    int dialogs = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountDialogs, reinterpret_cast<LPARAM>(&dialogs));
    EXPECT_EQ(dialogs, 1);
    Pump(600);  // four inversions 80 ms apart, then the timer stops
    EXPECT_EQ(settingsDialog.flashCount, 0);
    Click(IDC_CANCEL);
    EXPECT_EQ(Working().BackType, 0);
}

TEST_F(DialogTest, UpDownPairsKeepTheLowerBoundAtOrBelowTheUpper) {
    Open();
    SetSpin(IDC_FREQ_FROM_SPIN, 13);  // 12 .. 12 before
    EXPECT_EQ(Working().ShowFreqFrom, 13);
    EXPECT_EQ(Working().ShowFreqTo, 13);
    EXPECT_EQ(Text(IDC_FREQ_TO), "13");

    SetSpin(IDC_TIME_TO_SPIN, 9);
    SetSpin(IDC_TIME_FROM_SPIN, 6);
    SetSpin(IDC_TIME_TO_SPIN, 4);
    EXPECT_EQ(Working().ShowTimeTo, 4);
    EXPECT_EQ(Working().ShowTimeFrom, 4);
    EXPECT_EQ(Text(IDC_TIME_FROM), "4");

    SetSpin(IDC_FREQ_TO_SPIN, 12);
    EXPECT_EQ(Working().ShowFreqFrom, 12);
    SetSpin(IDC_FREQ_TO_SPIN, 200);
    EXPECT_EQ(Working().ShowFreqFrom, 12);  // raising the upper bound moves nothing else
    EXPECT_EQ(Working().ShowFreqTo, 200);
    SetSpin(IDC_TRANSPARENCY_SPIN, 0);
    EXPECT_EQ(Working().Transparency, 0);
}

TEST_F(DialogTest, OutOfRangeRadioValuesLeaveTheirGroupUnchecked) {
    Set([&](SettingsRecord& s) {
        s.BackType = 3;
        s.DicType = 2;
    });
    Open();
    EXPECT_FALSE(Checked(IDC_BACK_NONE) || Checked(IDC_BACK_AROUND) || Checked(IDC_BACK_SCREEN));
    EXPECT_FALSE(Checked(IDC_DIC_BUILTIN) || Checked(IDC_DIC_ALTERNATIVE));
    EXPECT_EQ(Working().BackType, 3);
    Click(IDC_BACK_AROUND);
    EXPECT_EQ(Working().BackType, 1);
}

// The font chooser: what it is opened with, Apply through its hook, and
// how each way of closing it ends.
struct FontChooserScript {
    static inline CHOOSEFONTA seen = {};
    static inline LOGFONTA initial = {};
    static inline std::string nameDuringApply;
    static inline BOOL answer = FALSE;
    static inline const PluginInstance* plugin = nullptr;  // whose settings the dialog edits

    // A stand-in for the chooser's window that answers the current-font query.
    static LRESULT CALLBACK ChooserWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CHOOSEFONT_GETLOGFONT) {
            LOGFONTA* font = reinterpret_cast<LOGFONTA*>(lParam);
            *font = {};
            font->lfHeight = -25;
            font->lfWeight = 700;
            font->lfItalic = 1;
            font->lfCharSet = 204;
            std::strcpy(font->lfFaceName, "Times New Roman");
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static BOOL WINAPI Run(LPCHOOSEFONTA chooser) {
        seen = *chooser;
        initial = *chooser->lpLogFont;
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ChooserWindow;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "FakeFontChooser";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowA("FakeFontChooser", "", 0, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance,
                                    nullptr);
        // As the system's chooser does, the hook first sees the description.
        chooser->lpfnHook(window, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(chooser));
        EXPECT_EQ(chooser->lpfnHook(window, WM_COMMAND, 1026, 0), 1u);
        EXPECT_EQ(chooser->lpfnHook(window, WM_COMMAND, IDOK, 0), 0u);
        nameDuringApply = plugin->Settings().FontName;
        chooser->lpfnHook(window, WM_DESTROY, 0, 0);
        DestroyWindow(window);
        std::strcpy(chooser->lpLogFont->lfFaceName, "Courier New");
        chooser->lpLogFont->lfHeight = -33;
        chooser->rgbColors = 0x0000FF;
        return answer;
    }
};

TEST_F(DialogTest, FontChooserAppliesLiveAndCancelUndoesEveryApply) {
    commonDialogs.chooseFont = FontChooserScript::Run;
    FontChooserScript::plugin = plugin.get();
    Open();
    const SettingsRecord before = Working();
    FontChooserScript::answer = FALSE;
    Click(IDC_FONT);

    const CHOOSEFONTA& seen = FontChooserScript::seen;
    EXPECT_EQ(seen.Flags, 0x349u);
    EXPECT_EQ(seen.hwndOwner, nullptr);
    EXPECT_EQ(seen.rgbColors, before.TextColor);
    EXPECT_EQ(seen.lpfnHook, &FontApplyHook);
    EXPECT_STREQ(FontChooserScript::initial.lfFaceName, "Arial");
    EXPECT_EQ(FontChooserScript::initial.lfHeight, -40);
    EXPECT_EQ(FontChooserScript::initial.lfWeight, 400);
    EXPECT_EQ(FontChooserScript::initial.lfCharSet, 204);
    EXPECT_EQ(FontChooserScript::initial.lfQuality, NONANTIALIASED_QUALITY);

    EXPECT_EQ(FontChooserScript::nameDuringApply, "Times New Roman");
    EXPECT_EQ(Working(), before);
    EXPECT_EQ(Text(IDC_FONT), "Arial");
}

TEST_F(DialogTest, FontChooserOkKeepsItsFontButNotItsColour) {
    commonDialogs.chooseFont = FontChooserScript::Run;
    FontChooserScript::plugin = plugin.get();
    Open();
    const uint32_t textColor = Working().TextColor;
    FontChooserScript::answer = TRUE;
    Click(IDC_FONT);
    EXPECT_EQ(Working().FontName, "Courier New");
    EXPECT_EQ(Working().FontSize, -33);
    EXPECT_EQ(Working().FontWeight, 400);  // the final description, not the last Apply's
    EXPECT_EQ(Working().FontItalic, 0);
    EXPECT_EQ(Working().TextColor, textColor);
    EXPECT_EQ(Text(IDC_FONT), "Courier New");
}

struct ColorChooserScript {
    static inline CHOOSECOLORA seen = {};
    static inline BOOL answer = FALSE;
    static BOOL WINAPI Run(LPCHOOSECOLORA chooser) {
        seen = *chooser;
        chooser->rgbResult = 0x00336699;
        return answer;
    }
};

TEST_F(DialogTest, ColourChoosersStartFromTheSettingAndStoreOnlyOk) {
    commonDialogs.chooseColor = ColorChooserScript::Run;
    Open();
    ColorChooserScript::answer = FALSE;
    Click(IDC_TEXT_COLOR);
    EXPECT_EQ(ColorChooserScript::seen.Flags, static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN));
    EXPECT_EQ(ColorChooserScript::seen.rgbResult, 41215u);
    EXPECT_NE(ColorChooserScript::seen.lpCustColors, nullptr);
    EXPECT_EQ(Working().TextColor, 41215u);

    ColorChooserScript::answer = TRUE;
    Click(IDC_BACK_COLOR);
    EXPECT_EQ(ColorChooserScript::seen.rgbResult, 0xFFFFFFu);
    EXPECT_EQ(Working().BackColor, 0x00336699u);
    EXPECT_EQ(Working().TextColor, 41215u);

    // Each button shows its colour inside its frame.
    for (const auto& [id, colour] : {std::pair{IDC_TEXT_COLOR, 41215u}, std::pair{IDC_BACK_COLOR, 0x336699u}}) {
        RECT rect;
        GetClientRect(Item(id), &rect);
        HDC dc = GetDC(Item(id));
        EXPECT_EQ(GetPixel(dc, rect.right / 2, rect.bottom / 2), colour) << id;
        ReleaseDC(Item(id), dc);
    }
}

TEST_F(DialogTest, ToolTipsNameSevenControls) {
    HWND dialog = Open();
    ASSERT_NE(settingsDialog.toolTip, nullptr);
    EXPECT_EQ(SendMessageA(settingsDialog.toolTip, TTM_GETTOOLCOUNT, 0, 0), 7);
    const std::pair<int, const wchar_t*> tips[] = {{IDC_DIC_CHOOSE, L"Выбрать альтернативный словарь"},
                                                   {IDC_FONT, L"Выбрать параметры шрифта"},
                                                   {IDC_TEXT_COLOR, L"Выбрать цвет текста"},
                                                   {IDC_BACK_COLOR, L"Выбрать цвет фона"},
                                                   {IDC_RANDOM_POSITION, L"Случайный выбор позиции"},
                                                   {IDC_OUTLINE_COLOR, L"Выбрать цвет контура"},
                                                   {IDC_SHADOW_COLOR, L"Выбрать цвет тени"}};
    for (const auto& [id, text] : tips) {
        wchar_t shown[128] = L"";
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.hwnd = Dialog();
        tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
        tool.lpszText = shown;
        SendMessageW(settingsDialog.toolTip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(shown, text) << id;
    }

    // Hovering shows the tip: the tooltip control learns of the mouse only
    // from the hook's relay.
    SetForegroundWindow(dialog);
    PointAt(IDC_OK);
    Pump(1000);
    EXPECT_FALSE(IsWindowVisible(settingsDialog.toolTip));
    PointAt(IDC_TEXT_COLOR);
    Pump(1500);
    EXPECT_TRUE(IsWindowVisible(settingsDialog.toolTip));
    TOOLINFOA current = {};
    current.cbSize = TTTOOLINFOA_V1_SIZE;
    ASSERT_TRUE(SendMessageA(settingsDialog.toolTip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&current)));
    EXPECT_EQ(current.uId, reinterpret_cast<UINT_PTR>(Item(IDC_TEXT_COLOR)));
}

}  // namespace

namespace {

std::wstring WideText(HWND control) {
    wchar_t text[512] = L"";
    GetWindowTextW(control, text, 512);
    return text;
}

// The letters' look: each control sets its row, within the row's range,
// and "По умолчанию" shows them reset; the warning says which colour hides
// what, as the colours change.
TEST_F(DialogTest, LegibilityControlsSetTheirRowsAndSayWhatTheColoursHide) {
    Set([](SettingsRecord& s) {
        s.TextColor = 0xFFFFFF;
        s.BackColor = 0xFFFFFF;
        s.BackType = 0;
    });
    Open();
    EXPECT_EQ(WideText(Item(IDC_LEGIBILITY_WARNING)).rfind(L"Буквы не видны: при фоне «Отсутствует»", 0), 0u);
    SetSpin(IDC_OUTLINE_WIDTH_SPIN, 3);
    SetSpin(IDC_SHADOW_OFFSET_SPIN, 2);
    SetSpin(IDC_BOX_PADDING_SPIN, 20);
    Click(IDC_KEEP_PROPORTIONS);
    EXPECT_EQ(Working().OutlineWidth, 3);
    EXPECT_EQ(Working().ShadowOffset, 2);
    EXPECT_EQ(Working().BoxPadding, 20);
    EXPECT_EQ(Working().KeepProportions, 1u);

    Set([](SettingsRecord& s) {
        s.TextColor = 0x00A0FF;
        s.BackColor = 0;
        s.OutlineColor = 0;
    });
    Click(IDC_BACK_AROUND);  // a box now, and its colour the outline's
    EXPECT_EQ(WideText(Item(IDC_LEGIBILITY_WARNING)).rfind(L"Контур не виден", 0), 0u);

    Click(IDC_DEFAULTS);
    EXPECT_EQ(Working().OutlineWidth, defaultSettings.OutlineWidth);
    EXPECT_EQ(Text(IDC_OUTLINE_WIDTH), std::to_string(defaultSettings.OutlineWidth));
    EXPECT_EQ(Text(IDC_BOX_PADDING), std::to_string(defaultSettings.BoxPadding));
    EXPECT_EQ(Checked(IDC_KEEP_PROPORTIONS), defaultSettings.KeepProportions != 0);
}

// A hand edit that set nothing is named when the dialog opens, however
// many there are.
TEST_F(DialogTest, StatusLineNamesTheSettingsFileLinesThatSetNothing) {
    Open();
    EXPECT_EQ(WideText(Item(IDC_STATUS)), L"");
    Click(IDC_OK);
    PluginExit();
    std::ofstream(SettingsPath(), std::ios::binary) << "[PluginSettings]\r\nBackType 1\r\n; mine\r\nMyKey=7\r\nX\r\n";
    PluginInit();
    Open();
    EXPECT_EQ(WideText(Item(IDC_STATUS)),
              L"Не прочитаны строки файла настроек (они оставлены в файле): «BackType 1», «MyKey=7» и ещё 1");
}

}  // namespace
