// The plugin's load-time entry on POSIX: the dynamic loader runs this once
// when the library is loaded, before any exported function is called.
#include "platform/platform.h"

namespace {

__attribute__((constructor)) void LoadLibraryEntry() { PrepareLibrary(); }

}  // namespace
