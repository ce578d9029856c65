// What the plugin keeps of the host: the entries it calls, its own copy of
// the standard-function table and the settings key path. Filled once by
// SetStartupInfo; every other module calls the host through these.
#ifndef TOLVANE_HOST_HOST_BINDING_H
#define TOLVANE_HOST_HOST_BINDING_H

#include "host/far_api.h"

struct HostBinding {
  intptr_t ModuleNumber;
  FARAPIMENU Menu;
  FARAPIDIALOG Dialog;
  FARAPIMESSAGE Message;
  FARAPIGETMSG GetMsg;
  FARAPICONTROL Control;
  FARAPIINPUTBOX InputBox;
};

extern HostBinding Host;
extern FarStandardFunctions HostFunctions;

// The host's RootKey followed by "\Tolvane": the settings key under
// HKEY_CURRENT_USER. Cut to fit when the host's key is longer.
enum { kSettingsKeyPathSize = 512 };
extern char SettingsKeyPath[kSettingsKeyPathSize];

#endif  // TOLVANE_HOST_HOST_BINDING_H
