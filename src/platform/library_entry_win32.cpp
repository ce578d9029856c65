// The plugin's DLL entry on Windows: at process attach it switches off the
// per-thread notifications (the plugin keeps no per-thread state) and
// prepares the library once. Every notification is acknowledged.
#include <windows.h>

#include "platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    PrepareLibrary();
  }
  return TRUE;
}
