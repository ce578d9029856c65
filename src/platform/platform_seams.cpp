// Fault injection and the fixed clock and zone of test builds, shared by
// both implementations. Settings of the environment are read once, at the
// first call that asks a seam or sets one; later setter calls override them.
#include "platform/platform_seams.h"

#ifdef TOLVANE_TEST_SEAMS

#include <cstdlib>

namespace {

struct FaultCounter {
  int Nth;     // the call that fails, from 1; 0 for none
  int Repeat;  // every call from the nth on fails
  int Calls;   // calls counted since the fault was set
};

struct SeamState {
  int Loaded;
  FaultCounter Faults[kFaultCount];
  int ClockSet;
  int Hour;
  int Minute;
  int ZoneSet;
  ZoneBias Zone;
};

SeamState Seams;

// Reads a decimal number of at most nine digits at *text, with an optional
// minus sign when `sign` is set. Moves *text past it.
int ReadNumber(const char** text, int sign, int* value) {
  const char* p = *text;
  int negative = 0;
  if (sign && *p == '-') {
    negative = 1;
    ++p;
  }
  int digits = 0;
  int number = 0;
  while (*p >= '0' && *p <= '9' && digits < 9) {
    number = number * 10 + (*p - '0');
    ++p;
    ++digits;
  }
  if (digits == 0 || (*p >= '0' && *p <= '9')) return 0;
  *value = negative ? -number : number;
  *text = p;
  return 1;
}

// "N" or "N+": the nth call fails, or every call from the nth on.
void LoadFault(const char* variable, PlatformFault kind) {
  const char* text = std::getenv(variable);
  int nth = 0;
  if (text == nullptr || !ReadNumber(&text, 0, &nth) || nth < 1) return;
  int repeat = 0;
  if (*text == '+') {
    repeat = 1;
    ++text;
  }
  if (*text != '\0') return;
  Seams.Faults[kind] = FaultCounter{nth, repeat, 0};
}

// "HH:MM".
void LoadClock() {
  const char* text = std::getenv("TOLVANE_TEST_CLOCK");
  int hour = 0;
  int minute = 0;
  if (text == nullptr || !ReadNumber(&text, 0, &hour) || *text++ != ':' ||
      !ReadNumber(&text, 0, &minute) || *text != '\0')
    return;
  if (hour > 23 || minute > 59) return;
  Seams.ClockSet = 1;
  Seams.Hour = hour;
  Seams.Minute = minute;
}

// "Bias,StandardBias,DaylightBias,State".
void LoadZone() {
  const char* text = std::getenv("TOLVANE_TEST_ZONE");
  if (text == nullptr) return;
  int32_t parts[4];
  for (int i = 0; i < 4; ++i) {
    int value = 0;
    if (!ReadNumber(&text, 1, &value)) return;
    parts[i] = value;
    char expected = i < 3 ? ',' : '\0';
    if (*text != expected) return;
    if (i < 3) ++text;
  }
  if (parts[3] < 0 || parts[3] > 2) return;
  Seams.ZoneSet = 1;
  Seams.Zone = ZoneBias{parts[0], parts[1], parts[2], parts[3]};
}

void LoadSeams() {
  if (Seams.Loaded) return;
  Seams.Loaded = 1;
  LoadFault("TOLVANE_FAIL_MAP", kFaultMap);
  LoadFault("TOLVANE_FAIL_RESERVE", kFaultReserve);
  LoadFault("TOLVANE_FAIL_COMMIT", kFaultCommit);
  LoadFault("TOLVANE_FAIL_SETTINGS_WRITE", kFaultSettingsWrite);
  LoadClock();
  LoadZone();
}

int ValidKind(PlatformFault kind) { return kind >= 0 && kind < kFaultCount; }

}  // namespace

int PlatformFaultsAvailable() { return 1; }

void PlatformFailNth(PlatformFault kind, int nth, int repeat) {
  LoadSeams();
  if (!ValidKind(kind)) return;
  Seams.Faults[kind] = FaultCounter{nth > 0 ? nth : 0, repeat ? 1 : 0, 0};
}

void PlatformSetTestClock(int hour, int minute) {
  LoadSeams();
  Seams.ClockSet = hour >= 0;
  Seams.Hour = hour;
  Seams.Minute = minute;
}

void PlatformSetTestZone(const ZoneBias* zone) {
  LoadSeams();
  Seams.ZoneSet = zone != nullptr;
  if (zone != nullptr) Seams.Zone = *zone;
}

int SeamFails(PlatformFault kind) {
  LoadSeams();
  if (!ValidKind(kind)) return 0;
  FaultCounter* counter = &Seams.Faults[kind];
  if (counter->Nth == 0) return 0;
  if (counter->Calls < counter->Nth) ++counter->Calls;
  if (counter->Calls < counter->Nth) return 0;
  if (counter->Repeat) return 1;
  // The single failure has happened; later calls pass.
  int fails = counter->Calls == counter->Nth;
  counter->Calls = counter->Nth + 1;
  return fails;
}

int SeamClock(int* hour, int* minute) {
  LoadSeams();
  if (!Seams.ClockSet) return 0;
  *hour = Seams.Hour;
  *minute = Seams.Minute;
  return 1;
}

int SeamZone(ZoneBias* zone) {
  LoadSeams();
  if (!Seams.ZoneSet) return 0;
  *zone = Seams.Zone;
  return 1;
}

#else  // !TOLVANE_TEST_SEAMS

int PlatformFaultsAvailable() { return 0; }
void PlatformFailNth(PlatformFault, int, int) {}
void PlatformSetTestClock(int, int) {}
void PlatformSetTestZone(const ZoneBias*) {}
int SeamFails(PlatformFault) { return 0; }
int SeamClock(int*, int*) { return 0; }
int SeamZone(ZoneBias*) { return 0; }

#endif  // TOLVANE_TEST_SEAMS
