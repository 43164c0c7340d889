// The modal choosers and the message box the settings dialog opens. They
// block in nested message loops, so tests put stand-ins in a dialog's set.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct CommonDialogs {
    BOOL(WINAPI* chooseFont)(LPCHOOSEFONTA);
    BOOL(WINAPI* chooseColor)(LPCHOOSECOLORA);
    BOOL(WINAPI* getOpenFileName)(LPOPENFILENAMEA);
    int(WINAPI* messageBox)(HWND, LPCSTR, LPCSTR, UINT);
};

// The system's own.
CommonDialogs SystemCommonDialogs();
