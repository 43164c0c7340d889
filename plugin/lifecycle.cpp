#include "plugin/lifecycle.h"

#include "plugin/host_callbacks.h"
#include "plugin/loaded_instance.h"

extern "C" {

void TPP_CDECL PluginInit(void) {
    if (PluginInstance* instance = LoadedInstance()) instance->Init();
}

int32_t TPP_CDECL PluginStreamStart(const StreamFormat* format) {
    PluginInstance* instance = LoadedInstance();
    return instance ? host::StreamStart(*instance, format) : 0;
}

int32_t TPP_CDECL PluginProcessFrame(FrameRecord* frame) {
    PluginInstance* instance = LoadedInstance();
    return instance ? host::ProcessFrame(*instance, frame) : 0;
}

void TPP_CDECL PluginStreamStop(void) {
    if (PluginInstance* instance = LoadedInstance()) instance->StreamStop();
}

void TPP_CDECL PluginShowSettings(const HostWindowRecord* host) {
    if (PluginInstance* instance = LoadedInstance()) host::ShowSettings(*instance, host);
}

void TPP_CDECL PluginExit(void) {
    if (PluginInstance* instance = LoadedInstance()) instance->Exit();
}

}  // extern "C"
