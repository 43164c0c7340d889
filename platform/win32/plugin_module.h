#pragma once

#include <windows.h>

// The module handle of TPP_25Frame.dll, set when the library is loaded.
extern HINSTANCE pluginModule;
