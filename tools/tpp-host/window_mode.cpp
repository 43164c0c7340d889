#include "tools/tpp-host/window_mode.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "tools/tpp-host/console_text.h"
#include "tools/tpp-host/display_pixels.h"
#include "tools/tpp-host/interrupt.h"

namespace {

constexpr UINT_PTR kFrameTimer = 1;

struct Player {
    const HostOptions& options;
    PluginSession& session;
    FrameReader& input;
    std::wstring title;
    std::vector<uint8_t> frame;
    std::vector<uint32_t> display;
    int64_t frames = 0;
    std::string error;
};

std::wstring Widen(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

void StopPlaying(HWND window, Player& player, const std::wstring& why) {
    KillTimer(window, kFrameTimer);
    SetWindowTextW(window, (player.title + L" (" + why + L")").c_str());
}

void ShowNextFrame(HWND window, Player& player) {
    if (player.options.frames >= 0 && player.frames >= player.options.frames) {
        StopPlaying(window, player, L"end of input");
        return;
    }
    size_t got = 0;
    switch (player.input.Read(player.frame.data(), player.frame.size(), got, player.error)) {
        case FrameReader::Result::Frame: break;
        case FrameReader::Result::End: StopPlaying(window, player, L"end of input"); return;
        case FrameReader::Result::Truncated:
            player.error = player.input.name() + " ends inside frame " + std::to_string(player.frames + 1);
            StopPlaying(window, player, L"input cut short");
            return;
        case FrameReader::Result::Failed: StopPlaying(window, player, L"input failed"); return;
        case FrameReader::Result::Interrupted:  // the interrupt closes the window too
            StopPlaying(window, player, L"interrupted");
            return;
    }
    ++player.frames;
    player.session.ProcessFrame(player.frame.data());
    FrameToDisplayPixels(player.frame.data(), player.options.width, player.options.height, player.options.pixelFormat,
                         player.display.data());
    InvalidateRect(window, nullptr, FALSE);
}

void Paint(HWND window, const Player& player) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = player.options.width;
    info.bmiHeader.biHeight = -player.options.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, player.options.width, player.options.height,
                  player.display.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    EndPaint(window, &paint);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* player = reinterpret_cast<Player*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_TIMER:
            if (wParam == kFrameTimer) ShowNextFrame(window, *player);
            return 0;
        case WM_PAINT: Paint(window, *player); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kSettingsCommand) player->session.ShowSettings(window);
            return 0;
        case WM_CLOSE:
            // The plug-in ends while its owner window still exists, so that it
            // closes its own dialog rather than having it torn down under it.
            KillTimer(window, kFrameTimer);
            player->session.Finish();
            DestroyWindow(window);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The plug-in's dialogs are modeless and owned by the host window: their
// keyboard navigation only works if the host's loop hands them their
// messages.
bool IsOwnedDialogMessage(HWND hostWindow, MSG& message) {
    if (!message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!root || root == hostWindow || GetWindow(root, GW_OWNER) != hostWindow) return false;
    wchar_t className[16] = {};
    GetClassNameW(root, className, 16);
    return lstrcmpW(className, L"#32770") == 0 && IsDialogMessageW(root, &message);
}

HWND CreateHostWindow(Player& player) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kHostWindowClass;
    RegisterClassW(&windowClass);

    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, kSettingsCommand, L"&Settings...");
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame = {0, 0, player.options.width, player.options.height};
    AdjustWindowRect(&frame, style, TRUE);
    return CreateWindowW(kHostWindowClass, player.title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, menu, GetModuleHandleW(nullptr),
                         &player);
}

}  // namespace

bool WindowModeAvailable() { return true; }

int RunWindow(const HostOptions& options, const std::string& pluginName, PluginSession& session, FrameReader& input) {
    const size_t pixels = static_cast<size_t>(options.width) * static_cast<size_t>(options.height);
    Player player{options,
                  session,
                  input,
                  L"tpp-host: " + Widen(pluginName),
                  std::vector<uint8_t>(static_cast<size_t>(FrameBytes(options))),
                  std::vector<uint32_t>(pixels),
                  0,
                  {}};
    HWND window = CreateHostWindow(player);
    if (!window) {
        session.Finish();
        ConsolePrint(stderr, "tpp-host: cannot create the window (error %lu)\n", GetLastError());
        return 1;
    }
    CloseOnInterrupt(window);
    ShowWindow(window, SW_SHOW);
    SetTimer(window, kFrameTimer, static_cast<UINT>(1000 / options.rate), nullptr);
    ShowNextFrame(window, player);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsOwnedDialogMessage(window, message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CloseOnInterrupt(nullptr);
    session.Finish();
    ConsolePrint(stderr, "tpp-host: showed %lld frames\n", static_cast<long long>(player.frames));
    if (!player.error.empty()) ConsolePrint(stderr, "tpp-host: %s\n", player.error.c_str());
    if (Interrupted()) {
        ConsolePrint(stderr, "tpp-host: interrupted by %s\n", InterruptName().c_str());
        return InterruptExitStatus();
    }
    return player.error.empty() ? 0 : 1;
}
