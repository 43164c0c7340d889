// Remembers the plug-in's own module, so that resources and window classes
// are always looked up in it and never in the host's executable, and hands
// the overlay its GDI renderer.
#include <windows.h>

#include "overlay/overlay_engine.h"
#include "platform/win32/gdi_caption_renderer.h"
#include "platform/win32/plugin_module.h"

namespace {
GdiCaptionRenderer gdiRenderer;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        pluginModule = instance;
        DisableThreadLibraryCalls(instance);
        overlay::SetRenderer(&gdiRenderer);
    }
    return TRUE;
}
