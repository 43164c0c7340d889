// The settings dialog of the real TPP_25Frame.dll, as a host meets it: the
// record's ShowSettings opens it over the host's window, a second call
// creates no second one, a change made in it reaches the settings file at
// Exit together with the dialog's last position.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "plugin/host_interface.h"
#include "ui/settings_dialog_ids.h"

namespace {

std::string Folder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    folder.resize(folder.rfind('\\') + 1);
    return folder;
}

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

struct DialogSearch {
    HWND owner;
    HWND found;
    int count;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        ++search->count;
    }
    return TRUE;
}

DialogSearch FindDialogs(HWND owner) {
    DialogSearch search = {owner, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search;
}

TEST(PluginDialog, OpensOnceAndItsChangesReachTheSettingsFileAtExit) {
    const std::string settingsPath = Folder() + "Plugins\\TPP_25Frame.ini";
    DeleteFileA(settingsPath.c_str());
    HMODULE module = LoadLibraryA((Folder() + "TPP_25Frame.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto recordExport = reinterpret_cast<PluginRecordExport>(
        reinterpret_cast<void*>(GetProcAddress(module, "Telvoria_Plugin_PR")));
    ASSERT_NE(recordExport, nullptr);
    const PluginRecord* record = recordExport();

    HWND host = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 800, 600, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    record->Init();
    const HostWindowRecord hostRecord = {host};
    record->ShowSettings(&hostRecord);
    Pump(100);
    const DialogSearch first = FindDialogs(host);
    ASSERT_EQ(first.count, 1);
    HWND dialog = first.found;
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "TPP_25Frame \xEF\xEB\xE0\xE3\xE8\xED");  // TPP_25Frame плагин

    record->ShowSettings(&hostRecord);
    Pump(100);
    EXPECT_EQ(FindDialogs(host).count, 1);

    SendDlgItemMessageA(dialog, IDC_TRANSPARENCY_SPIN, UDM_SETPOS, 0, MAKELPARAM(40, 0));
    SendDlgItemMessageA(dialog, IDC_BACK_AROUND, BM_CLICK, 0, 0);
    SetWindowPos(dialog, nullptr, 21, 22, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(50);
    record->Exit();
    EXPECT_FALSE(IsWindow(dialog));

    std::ifstream in(settingsPath, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(file.find("DlgWndPosX=21\r\nDlgWndPosY=22\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Transparency=40\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("BackType=1\r\n"), std::string::npos) << file;

    DestroyWindow(host);
    FreeLibrary(module);
    DeleteFileA(settingsPath.c_str());
}

}  // namespace
