#include "tests/win32/dialog_fixture.h"

#include <commctrl.h>

#include <fstream>
#include <iterator>

#include "platform/win32/module_resource.h"
#include "plugin/host_callbacks.h"
#include "render/gdi_caption_renderer.h"
#include "ui/settings_dialog_ids.h"

HWND DialogTest::host = nullptr;

namespace {

// The instance a host of our own makes: GDI, the built-in dictionary and the
// dialog's template from this program's resources, the settings file of its
// name beside it.
std::unique_ptr<PluginInstance> MakeInstance() {
    HMODULE self = GetModuleHandleA(nullptr);
    InstanceParts parts;
    parts.renderer = std::make_unique<GdiCaptionRenderer>();
    parts.builtinDictionary = [self] {
        return std::make_shared<const BuiltinDictionary>(
            DecodeBuiltinDictionary(FindModuleResource(self, kBuiltinDictionaryType, kBuiltinDictionaryId)));
    };
    parts.settingsBaseName = "settings_dialog_test";
    parts.resourceModule = self;
    return std::make_unique<PluginInstance>(std::move(parts));
}

// A chooser a test did not expect fails the test instead of blocking it.
BOOL WINAPI UnexpectedFontChooser(LPCHOOSEFONTA) {
    ADD_FAILURE() << "font chooser opened";
    return FALSE;
}
BOOL WINAPI UnexpectedColorChooser(LPCHOOSECOLORA) {
    ADD_FAILURE() << "colour chooser opened";
    return FALSE;
}
BOOL WINAPI UnexpectedFileChooser(LPOPENFILENAMEW) {
    ADD_FAILURE() << "file chooser opened";
    return FALSE;
}
int WINAPI UnexpectedMessageBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    ADD_FAILURE() << "message box shown";
    return IDCANCEL;
}

}  // namespace

DialogTest::DialogTest()
    : plugin(MakeInstance()),
      settingsDialog(dynamic_cast<SettingsDialog&>(*PluginInstanceInternals::Ui(*plugin))),
      defaultSettings(SettingsOf(*plugin).defaultSettings),
      dialogSnapshot(SettingsOf(*plugin).dialogSnapshot),
      DlgWndPosX(SettingsOf(*plugin).DlgWndPosX),
      DlgWndPosY(SettingsOf(*plugin).DlgWndPosY),
      commonDialogs(settingsDialog.commonDialogs),
      mouseHook(settingsDialog.mouseHook) {}

void DialogTest::SetUpTestSuite() {
    if (host) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TestHost";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassA(&windowClass);
    host = CreateWindowExA(0, "TestHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 900, 640, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

std::string DialogTest::Folder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    folder.resize(folder.rfind('\\') + 1);
    return folder;
}

std::string DialogTest::SettingsPath() { return Folder() + "Plugins\\settings_dialog_test.ini"; }

void DialogTest::SetUp() {
    ASSERT_NE(host, nullptr);
    DeleteFileA(SettingsPath().c_str());
    commonDialogs = {UnexpectedFontChooser, UnexpectedColorChooser, UnexpectedFileChooser, UnexpectedMessageBox};
    hostRecord.window = host;
    PluginInit();
}

void DialogTest::TearDown() {
    PluginExit();
    Pump();
    DeleteFileA(SettingsPath().c_str());
}

HWND DialogTest::Open() {
    PluginShowSettings(&hostRecord);
    Pump();
    return Dialog();
}

HWND DialogTest::Dialog() const { return settingsDialog.window(); }

void DialogTest::PluginShowSettings(const HostWindowRecord* record) { ::host::ShowSettings(*plugin, record); }

void DialogTest::LoadAltDictionary() {
    const SettingsRecord settings = Working();
    const int32_t kept = DictionariesOf(*plugin).LoadAltDictionary(settings.DicFileName, settings.CurExtEntry);
    Set([&](SettingsRecord& s) { s.CurExtEntry = kept; });
}

void DialogTest::Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
            wchar_t rootClass[8] = L"";
            if (root) GetClassNameW(root, rootClass, 8);
            if (lstrcmpW(rootClass, L"#32770") == 0 && IsDialogMessageW(root, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void DialogTest::Click(int id) const {
    SendMessageA(Item(id), BM_CLICK, 0, 0);
    Pump();
}

void DialogTest::SetSpin(int id, int value) const {
    SendMessageA(Item(id), UDM_SETPOS, 0, MAKELPARAM(value, 0));
    Pump();
}

std::string DialogTest::Text(int id) const {
    char text[512] = "";
    GetWindowTextA(Item(id), text, sizeof text);
    return text;
}

bool DialogTest::Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void DialogTest::SelectLine(int index) const {
    HWND list = Item(IDC_ENTRY_LIST);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_ENTRY_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void DialogTest::PointAt(int id) const {
    RECT rect;
    GetWindowRect(Item(id), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    Pump(50);
}

void DialogTest::TypeWord(const std::string& text) const { SetWindowTextA(Item(IDC_WORD), text.c_str()); }

void DialogTest::TypeKeys(const std::wstring& text) {
    for (const wchar_t unit : text) PostMessageW(GetFocus(), WM_CHAR, unit, 1);
    Pump();
}

void DialogTest::PressKey(WPARAM key) {
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(GetFocus(), WM_KEYDOWN, key, scanCode | 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, scanCode | 1 | (3u << 30));
    Pump();
}

std::string DialogTest::SettingsFileAfterExit() {
    PluginExit();
    std::ifstream in(SettingsPath(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PluginInit();
    return text;
}

SettingsRecord ChangedSettings() {
    SettingsRecord s;
    s.DicType = 1;
    s.DicFileName = "";
    s.StringPosX = 100;
    s.StringPosY = 200;
    s.RndStringPos = 0;
    s.FontName = "Courier New";
    s.FontSize = -30;
    s.FontWeight = 700;
    s.FontItalic = 1;
    s.FontUnderline = 1;
    s.FontStrikeOut = 1;
    s.FontCharSet = 0;
    s.TextColor = 0x112233;
    s.BackColor = 0x445566;
    s.Transparency = 40;
    s.BackType = 1;
    s.ShowFreqFrom = 20;
    s.ShowFreqTo = 30;
    s.ShowTimeFrom = 2;
    s.ShowTimeTo = 5;
    s.RulesType = 0;
    s.CurIntEntry = 3;
    s.CurExtEntry = -1;
    return s;
}
