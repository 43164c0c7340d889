// The two functions a host looks up by name. Exported undecorated through
// TPP_25Frame.def on Windows.
#include "plugin/host_interface.h"
#include "plugin/plugin_record.h"

#if defined(_WIN32)
#define TPP_EXPORT
#else
#define TPP_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

TPP_EXPORT int32_t TPP_CDECL Telvoria_Plugin_Version(void) { return kHostInterfaceVersion; }

TPP_EXPORT const PluginRecord* TPP_CDECL Telvoria_Plugin_PR(void) { return &pluginRecord; }

}  // extern "C"
