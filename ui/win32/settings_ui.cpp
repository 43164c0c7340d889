// The dialog's library-wide state and the calls the plug-in's callbacks make.
#include "ui/settings_ui.h"

#include "ui/win32/settings_dialog.h"

SettingsDialog settingsDialog;
HHOOK mouseHook = nullptr;
int32_t wordEdited = 0;

void ShowSettingsDialog(void* hostWindow) { settingsDialog.Show(static_cast<HWND>(hostWindow)); }

void CloseSettingsDialog() { settingsDialog.Close(); }
