// The records that cross the boundary between the host and the plug-in.
// On the 32-bit Windows build every field is 32 bits wide; hosts rely on it.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define TPP_CDECL __cdecl
#else
#define TPP_CDECL
#endif

extern "C" {

struct StreamFormat {
    int32_t width;        // frame width in pixels
    int32_t height;       // frame height in pixels
    int32_t reserved;     // not read by the plug-in
    int32_t pixelFormat;  // 0 YUY2, 1 RGB24 bottom-up
};

struct FrameRecord {
    uint8_t* pixels;  // the frame, modified in place; null means no frame
};

struct HostWindowRecord {
    void* window;  // HWND of the host window that owns the settings dialog
};

typedef void(TPP_CDECL* InitCallback)(void);
typedef int32_t(TPP_CDECL* StreamStartCallback)(const StreamFormat*);
typedef int32_t(TPP_CDECL* ProcessFrameCallback)(FrameRecord*);
typedef void(TPP_CDECL* StreamStopCallback)(void);
typedef void(TPP_CDECL* ShowSettingsCallback)(const HostWindowRecord*);
typedef void(TPP_CDECL* ExitCallback)(void);

struct PluginRecord {
    const char* name;         // Windows-1251
    const char* description;  // Windows-1251
    InitCallback Init;
    StreamStartCallback StreamStart;
    ProcessFrameCallback ProcessFrame;
    StreamStopCallback StreamStop;
    ShowSettingsCallback ShowSettings;
    ExitCallback Exit;
};

typedef int32_t(TPP_CDECL* PluginVersionExport)(void);
typedef const PluginRecord*(TPP_CDECL* PluginRecordExport)(void);

}  // extern "C"

// The version of the host interface this plug-in implements.
constexpr int32_t kHostInterfaceVersion = 3;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PluginRecord) == 32, "eight 32-bit fields");
static_assert(sizeof(StreamFormat) == 16, "four 32-bit fields");
#endif
