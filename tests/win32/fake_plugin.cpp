// A stand-in plug-in for testing the host: it reports every callback on
// standard error, changes frames only when asked to, and opens a small
// modeless dialog owned by the host window. Built as interface version 3,
// and as version 2 to be refused.
//   TPP_FAKE_MARK_EVERY=N  inverts the first bytes of frames 1, 1+N, 1+2N...
//   TPP_TRACE=1            traces StreamStart on the debugger's output, as
//                          the plug-in traces a fault it caught
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "plugin/host_interface.h"

namespace {

int64_t streamFrames = 0;
int32_t frameBytes = 0;
HWND dialog = nullptr;
HWND dialogOwner = nullptr;

void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "fake-plugin: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
    va_end(args);
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                Report("dialog cancel");
                DestroyWindow(window);
            }
            return TRUE;
        case WM_DESTROY:
            Report("dialog destroyed");
            dialog = nullptr;
            return TRUE;
    }
    return FALSE;
}

// An empty captioned dialog, built in memory so the fake needs no resources.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

void TPP_CDECL Init(void) { Report("Init"); }

int32_t TPP_CDECL StreamStart(const StreamFormat* format) {
    streamFrames = 0;
    frameBytes = format->width * format->height * (format->pixelFormat == 0 ? 2 : 3);
    Report("StreamStart %dx%d format %d", format->width, format->height, format->pixelFormat);
    if (const char* trace = std::getenv("TPP_TRACE"); trace && std::atoi(trace) != 0)
        OutputDebugStringA("fake-plugin: traced StreamStart\n");
    return 1;
}

int32_t TPP_CDECL ProcessFrame(FrameRecord* frame) {
    if (!frame->pixels) return 0;
    const char* every = std::getenv("TPP_FAKE_MARK_EVERY");
    const int64_t period = every ? std::atoll(every) : 0;
    if (period > 0 && streamFrames % period == 0)
        for (int32_t i = 0; i < 16 && i < frameBytes; ++i) frame->pixels[i] ^= 0xFF;
    ++streamFrames;
    return 1;
}

void TPP_CDECL StreamStop(void) { Report("StreamStop after %lld frames", static_cast<long long>(streamFrames)); }

void TPP_CDECL ShowSettings(const HostWindowRecord* host) {
    dialogOwner = static_cast<HWND>(host->window);
    Report("ShowSettings owner %p", host->window);
    if (dialog) {
        SetFocus(dialog);
        return;
    }
    static const EmptyDialogTemplate kTemplate = {
        {WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 0, 0, 0, 0, 120, 40}, 0, 0, 0};
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const char*>(&DialogProc), &self);
    dialog = CreateDialogIndirectParamA(self, &kTemplate.header, dialogOwner, DialogProc, 0);
}

void TPP_CDECL Exit(void) {
    if (dialogOwner)
        Report("Exit with the owner window %s", IsWindow(dialogOwner) ? "alive" : "gone");
    else
        Report("Exit");
    if (dialog) DestroyWindow(dialog);
}

const char kName[] = "fake";
const char kDescription[] = "stand-in plug-in for host tests";
const PluginRecord kRecord = {kName, kDescription, Init, StreamStart, ProcessFrame, StreamStop, ShowSettings, Exit};

}  // namespace

extern "C" __declspec(dllexport) int32_t TPP_CDECL Telvoria_Plugin_Version(void) { return FAKE_PLUGIN_VERSION; }

extern "C" __declspec(dllexport) const PluginRecord* TPP_CDECL Telvoria_Plugin_PR(void) { return &kRecord; }
