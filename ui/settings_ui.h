// The settings dialog as the plug-in's callbacks see it. Platform-neutral:
// on a build without a dialog both calls do nothing.
#pragma once

// Opens the dialog owned by the host's window (an HWND on Windows), or, when
// it is already open, focuses it and flashes its title bar.
void ShowSettingsDialog(void* hostWindow);

// Destroys the dialog if it is open; the working values stay as they are and
// its screen position is kept for the settings file.
void CloseSettingsDialog();
