// What the Windows tests and the dialog bench do as a host of the real DLL:
// find it beside the program, run the thread's messages while its windows
// work, and find the dialog it opens over a host window.
#pragma once

#include <windows.h>

#include <string>

// The folder this program was started from, with its closing backslash.
inline std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    folder.resize(folder.rfind('\\') + 1);
    return folder;
}

// The DLL under test lies beside the test program.
inline std::string PluginPath() { return ProgramFolder() + "TPP_25Frame.dll"; }

// Dispatches the thread's messages, and those that come until milliseconds
// have passed; with none, only those already waiting. The wide calls: the
// dialog is a Unicode window.
inline void PumpMessages(DWORD milliseconds = 0) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (GetTickCount() - start >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The dialogs of this thread that a window owns: how many, and the last.
struct OwnedDialogs {
    HWND owner;
    HWND found;
    int count;
};

inline BOOL CALLBACK CountOwnedDialog(HWND window, LPARAM param) {
    auto* dialogs = reinterpret_cast<OwnedDialogs*>(param);
    wchar_t name[16];
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") == 0 && GetWindow(window, GW_OWNER) == dialogs->owner) {
        dialogs->found = window;
        ++dialogs->count;
    }
    return TRUE;
}

inline OwnedDialogs FindOwnedDialogs(HWND owner) {
    OwnedDialogs dialogs = {owner, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountOwnedDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}
