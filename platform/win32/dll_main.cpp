// Remembers the plug-in's own module: resources and window classes are
// always looked up in it, never in the host's executable.
#include <windows.h>

#include "platform/win32/plugin_module.h"

HINSTANCE pluginModule = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        pluginModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
