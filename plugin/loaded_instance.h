// The one instance of the loaded library, which the exports and the
// callbacks serve: made by the library's start-up (DllMain, or the shared
// library's constructor), with the platform's renderer. Null when it could
// not be made.
#pragma once

#include "plugin/plugin_instance.h"

PluginInstance* LoadedInstance();
