// Where the settings file lies: a per-user or the host's own folder, with a
// sub-folder per host instance, then Plugins.
#pragma once

#include <string>

#include "platform/location_facts.h"

// The instance character of a "/inst:" or "-inst:" switch (the slash form
// wins), lower-cased; empty without a switch or when the switch ends the line.
std::string InstanceFromCommandLine(std::string commandLine);

// The folder of the settings file, ending in a separator. Empty when it
// cannot be known: the system family is unknown, the per-user folder is
// wanted and the platform could not name it, or the folder would not be
// absolute (no host path, or a relative one).
std::string SettingsFolder(const platform::LocationFacts& facts, const std::string& instance);

// The file name without folder and extension: "TPP_25Frame" for
// "C:\Host\Plugins\TPP_25Frame.dll".
std::string ModuleBaseName(const std::string& modulePath);
