// The settings dialog of the real DLL as a user's screen shows it: opened
// over a host window at the top left, every label, button and group
// caption measured in the font it is drawn with against the room its
// control gives it, at whatever DPI the prefix has. Prints each that would
// be cut, and "labels fit" when none is, after the window's place and size; with --hold SECONDS it then keeps
// the window up for a screenshot, writing the file named by --ready first.
// Usage: dialog_look.exe [--hold SECONDS --ready FILE] [--line KEY=VALUE]...
// (each --line goes into the settings file's section).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "plugin/host_interface.h"
#include "tests/win32/host_side.h"

namespace {

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    bytes.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

int cut = 0;

// A label's text against its control's width: a static's whole client
// area, a check box's or radio button's less its box and the gap after it,
// a push button's less its edges, a group box's caption its width.
BOOL CALLBACK MeasureControl(HWND control, LPARAM) {
    wchar_t name[32];
    GetClassNameW(control, name, 32);
    const std::wstring type = name;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG button = style & BS_TYPEMASK;
    const bool isStatic = _wcsicmp(name, L"Static") == 0;
    const bool isButton = _wcsicmp(name, L"Button") == 0 && button != BS_OWNERDRAW;
    if (!isStatic && !isButton) return TRUE;
    wchar_t text[256] = L"";
    GetWindowTextW(control, text, 256);
    std::wstring label = text;
    if (label.empty() || label == L"h" || (label.size() == 1 && label[0] >= L'3' && label[0] <= L'6'))
        return TRUE;  // the pad's Marlett glyphs
    RECT client;
    GetClientRect(control, &client);
    LONG room = client.right - client.left;
    const UINT dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSX);
    if (isButton && (button == BS_AUTORADIOBUTTON || button == BS_RADIOBUTTON || button == BS_AUTOCHECKBOX ||
                     button == BS_CHECKBOX))
        room -= MulDiv(13 + 4, static_cast<int>(dpi), 96);  // the box and its gap
    else if (isButton && button == BS_GROUPBOX)
        room -= MulDiv(8 + 4, static_cast<int>(dpi), 96);  // the frame's indent either side
    else if (isButton)
        room -= MulDiv(6, static_cast<int>(dpi), 96);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    // A static wraps at word breaks: it is cut when the lines need more
    // height than it has.
    RECT wrapped = {0, 0, room, 0};
    if (isStatic)
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &wrapped,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (isStatic ? wrapped.bottom > client.bottom || wrapped.right > room : size.cx > room) {
        std::printf("cut: \"%s\" needs %ld px, has %ld\n", Utf8(label).c_str(), isStatic ? wrapped.bottom : size.cx,
                    isStatic ? client.bottom : room);
        ++cut;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    int hold = 0;
    std::string ready, lines;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--hold") hold = std::atoi(argv[i + 1]);
        if (std::string(argv[i]) == "--ready") ready = argv[i + 1];
        if (std::string(argv[i]) == "--line") lines += std::string(argv[i + 1]) + "\r\n";
    }
    SetProcessDPIAware();
    const std::string folder = ProgramFolder();
    CreateDirectoryA((folder + "Plugins").c_str(), nullptr);
    std::ofstream(folder + "Plugins\\TPP_25Frame.ini", std::ios::binary)
        << "[PluginSettings]\r\nDlgWndPosX=0\r\nDlgWndPosY=0\r\n"
        << lines;
    HMODULE module = LoadLibraryA(PluginPath().c_str());
    if (!module) return 1;
    const auto record = reinterpret_cast<PluginRecordExport>(
        reinterpret_cast<void*>(GetProcAddress(module, "Telvoria_Plugin_PR")))();
    HWND host = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                nullptr);
    record->Init();
    HostWindowRecord hostRecord = {host};
    record->ShowSettings(&hostRecord);
    PumpMessages(300);
    HWND dialog = FindOwnedDialogs(host).found;
    if (!dialog) {
        std::printf("no dialog\n");
        return 1;
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    std::printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    EnumChildWindows(dialog, MeasureControl, 0);
    if (!cut) std::printf("labels fit at %d dpi\n", GetDeviceCaps(GetDC(nullptr), LOGPIXELSX));
    std::fflush(stdout);
    if (hold > 0) {
        SetForegroundWindow(dialog);
        PumpMessages(500);
        if (!ready.empty()) std::ofstream(ready) << "up\n";
        PumpMessages(static_cast<DWORD>(hold) * 1000);
    }
    record->Exit();
    DestroyWindow(host);
    return cut ? 1 : 0;
}
