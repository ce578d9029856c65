#include "host/host_binding.h"

HostBinding Host;
FarStandardFunctions HostFunctions;
char SettingsKeyPath[kSettingsKeyPathSize];
