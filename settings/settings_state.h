// One plug-in instance's settings: the copies of the record, the dialog's
// screen position and the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "settings/working_settings.h"

// Both dialog coordinates at this value: no position saved yet.
constexpr int32_t kNoDialogPosition = -100;

// Where the walk through a word list stood when the element last saved it:
// the list's path and the index of the entry shown last.
struct WordListPosition {
    std::string path;
    int32_t index = 0;
};

// A line of the settings file that set nothing, and its section.
struct UnreadLine {
    std::string section;
    std::string text;
};

struct SettingsState {
    SettingsRecord storedSettings;    // as last read from or about to be written to the file
    SettingsRecord defaultSettings;   // section "DEFAULT"; used by the dialog's Default button
    WorkingSettings workingSettings;  // the live copy everything else reads and changes
    SettingsRecord dialogSnapshot;    // working values when the dialog opened

    // The dialog's screen position when it was last closed.
    int32_t DlgWndPosX = 0;
    int32_t DlgWndPosY = 0;

    // Lines of "PluginSettings" and "DEFAULT" that set nothing, as read.
    std::vector<UnreadLine> unreadLines;

    // Section "WordListPositions", as read from the file.
    std::vector<WordListPosition> wordListPositions;

    // Located at Init; closed between Init and Exit.
    CSettingsFile settingsFile;
};
