// Moving the settings between the file and the records at Init and Exit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "settings/settings_state.h"

// Reads section "DEFAULT" into defaultSettings, the dialog position and
// section "PluginSettings" into workingSettings, and where the element
// left each word list's walk; a missing or unreadable file gives the
// defaults asked for (why it could not be read is returned). The file must
// have been located.
platform::FileOutcome LoadSettings(SettingsState& settings, Defaults defaults = Defaults::kTable);

// Writes section "PluginSettings" from workingSettings and the dialog
// position, each value over its key's line or after the section's lines;
// lines the plug-in does not know and the file's other sections stay as
// they are, a duplicate of the section goes. A failed save leaves the file
// as it was.
platform::FileOutcome SaveSettings(SettingsState& settings);
// The same with these values in place of the working settings.
platform::FileOutcome SaveSettings(SettingsState& settings, const SettingsRecord& values);

// Where the walks stand at the end of a run of a front end whose other
// settings are not the file's (the element).
struct WalkPositions {
    int32_t builtin = 0;                  // CurIntEntry
    bool fileListWalked = false;          // the run walked the list the file names...
    int32_t fileList = 0;                 // ...and left CurExtEntry here
    std::vector<WordListPosition> lists;  // each word list the run walked, by its path
};

// Writes the walk positions into the file as it stands now and nothing
// else of the run, so that a change another made meanwhile stays; keys the
// file lacks get the values read from it (its defaults, for those it
// lacked then too), so that the file is complete for the next reader.
platform::FileOutcome SaveWalkPositions(SettingsState& settings, const WalkPositions& walks);

// How a word list's path is written as a key of section
// "WordListPositions": "=", "%", brackets, line ends and blanks at either
// end as %XX.
std::string WordListKey(const std::string& path);
std::string PathOfWordListKey(const std::string& key);
