// A library that offers only two of the plugin's entry points, so that the
// host's refusal of an incomplete plugin can be tested.
#include "host/far_api.h"

FAR_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo*) {}
FAR_EXPORT void FARAPI GetPluginInfo(PluginInfo*) {}
