// Builds without a dialog: the host's Settings command does nothing.
#include "ui/settings_ui.h"

std::unique_ptr<SettingsUi> MakeSettingsUi(const SettingsUiParts&) { return nullptr; }
