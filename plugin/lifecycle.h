// The six callbacks of the plug-in record, bound to the loaded instance.
#pragma once

#include "plugin/host_interface.h"

extern "C" {
void TPP_CDECL PluginInit(void);
int32_t TPP_CDECL PluginStreamStart(const StreamFormat* format);
int32_t TPP_CDECL PluginProcessFrame(FrameRecord* frame);
void TPP_CDECL PluginStreamStop(void);
void TPP_CDECL PluginShowSettings(const HostWindowRecord* host);
void TPP_CDECL PluginExit(void);
}
