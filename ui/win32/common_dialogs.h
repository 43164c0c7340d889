// The modal choosers and the message box the settings dialog opens. They
// block in nested message loops, so tests put stand-ins in a dialog's set.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct CommonDialogs {
    BOOL(WINAPI* chooseFont)(LPCHOOSEFONTA);
    BOOL(WINAPI* chooseColor)(LPCHOOSECOLORA);
    // The wide ones: their texts are the dialog's Russian ones.
    BOOL(WINAPI* getOpenFileName)(LPOPENFILENAMEW);
    int(WINAPI* messageBox)(HWND, LPCWSTR, LPCWSTR, UINT);
};

// The system's own.
CommonDialogs SystemCommonDialogs();
