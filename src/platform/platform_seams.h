// Inside the platform layer: the test seams that both implementations ask
// before they touch the system. In a product build (no TOLVANE_TEST_SEAMS)
// every question answers "no" and nothing is read from the environment.
#ifndef TOLVANE_PLATFORM_PLATFORM_SEAMS_H
#define TOLVANE_PLATFORM_PLATFORM_SEAMS_H

#include "platform/platform.h"

// Counts one call of `kind`; 1 when this call is to fail. The caller then
// sets the system error that such a failure would leave and gives up.
int SeamFails(PlatformFault kind);

// 1 and the fixed time of day when a test clock is set.
int SeamClock(int* hour, int* minute);

// 1 and the fixed zone when a test zone is set.
int SeamZone(ZoneBias* zone);

#endif  // TOLVANE_PLATFORM_PLATFORM_SEAMS_H
