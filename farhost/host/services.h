// The service tables farhost hands to the plugin, and starting the plugin
// with them. Every service works on ActiveHost(); with no active host it
// does nothing and returns its "no" value (0, null, or -1 for the boxes).
#ifndef TOLVANE_FARHOST_SERVICES_H
#define TOLVANE_FARHOST_SERVICES_H

#include "farhost/host/host.h"
#include "host/far_api.h"

// Calls the plugin's SetStartupInfo with records that live on this call's
// stack only and are overwritten with garbage right after, as a host's
// locals would be.
void StartPlugin(FarHost* host);

// Fills the records the host hands to SetStartupInfo: StructSize, the
// plugin's path, ModuleNumber kHostModuleNumber, the RootKey of the options,
// every service, and FSF pointing at *functions. Zero-fills both first.
void FillStartupInfo(FarHost* host, PluginStartupInfo* info,
                     FarStandardFunctions* functions);

// Puts the host's entries (Menu, Dialog, Message, GetMsg, Control, InputBox
// and the harmless rest) into *info. host_services.cpp.
void FillHostServices(PluginStartupInfo* info);

// Puts the standard functions into *functions and sets StructSize.
// std_functions.cpp.
void FillStandardFunctions(FarStandardFunctions* functions);

// The version word the host reports for ACTL_GETFARVERSION: 1.70 build 591.
enum : int { kHostVersionWord = (591 << 16) | (1 << 8) | 70 };

#endif  // TOLVANE_FARHOST_SERVICES_H
