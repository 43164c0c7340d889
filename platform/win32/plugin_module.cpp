#include "platform/win32/plugin_module.h"

HINSTANCE pluginModule = nullptr;
