// The one plug-in record handed to the host, and its two texts.
#pragma once

#include "plugin/host_interface.h"

extern const char kPluginName[];
extern const char kPluginDescription[];
extern const PluginRecord pluginRecord;
