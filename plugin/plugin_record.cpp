#include "plugin/plugin_record.h"

#include "plugin/lifecycle.h"

// "25-й кадр" in Windows-1251
const char kPluginName[] = "25-\xE9 \xEA\xE0\xE4\xF0";

// "Изучение иностранного языка методом 25-го кадра." in Windows-1251
const char kPluginDescription[] =
    "\xC8\xE7\xF3\xF7\xE5\xED\xE8\xE5 \xE8\xED\xEE\xF1\xF2\xF0\xE0\xED\xED\xEE\xE3\xEE "
    "\xFF\xE7\xFB\xEA\xE0 \xEC\xE5\xF2\xEE\xE4\xEE\xEC 25-\xE3\xEE \xEA\xE0\xE4\xF0\xE0.";

const PluginRecord pluginRecord = {
    kPluginName,        kPluginDescription, PluginInit,         PluginStreamStart,
    PluginProcessFrame, PluginStreamStop,   PluginShowSettings, PluginExit,
};
