// Builds without a dialog: the host's Settings command does nothing.
#include "ui/settings_ui.h"

void ShowSettingsDialog(void*) {}
void CloseSettingsDialog() {}
