#include "ui/settings_ui.h"

#include "ui/win32/settings_dialog.h"

std::unique_ptr<SettingsUi> MakeSettingsUi(const SettingsUiParts& parts) {
    return std::make_unique<SettingsDialog>(parts);
}
