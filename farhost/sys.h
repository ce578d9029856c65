// farhost's own view of the operating system: loading the plugin library,
// where the running program lives, the environment, temporary folders and
// the OEM-to-UTF-8 conversion for display. sys_posix.cpp and sys_win32.cpp
// implement it and the build picks one. Functions return 1 on success and
// 0 on failure and never throw.
#ifndef TOLVANE_FARHOST_SYS_H
#define TOLVANE_FARHOST_SYS_H

#include <string>

// An opaque loaded library; null when nothing is loaded.
typedef void* SysLibrary;

// Loads the library at path with all symbols resolved now and kept local to
// it (dlopen RTLD_NOW|RTLD_LOCAL, LoadLibraryA). Returns null on failure and
// puts the system's reason in *error.
SysLibrary SysLoadLibrary(const char* path, std::string* error);

// The address of an exported symbol by its plain name, or null.
void* SysFindSymbol(SysLibrary library, const char* name);

// Releases a library from SysLoadLibrary; null does nothing.
void SysFreeLibrary(SysLibrary library);

// The folder of the running executable, without a trailing separator.
// Empty when the system cannot tell.
std::string SysExecutableDir();

// The file name of the product plugin in its folder beside the program
// ("plugin/tolvane.so", "plugin\Tolvane.dll").
const char* SysDefaultPluginName();

// The separator of this system's paths.
char SysPathSeparator();

// Joins a folder and a name with the system's separator.
std::string SysJoinPath(const std::string& dir, const std::string& name);

// The value of an environment variable; 0 when it is not set.
int SysGetEnv(const char* name, std::string* value);

// Sets (value not null) or removes (value null) an environment variable of
// this process; child processes and a loaded plugin see it.
int SysSetEnv(const char* name, const char* value);

// The id of this process (for unique scratch names).
unsigned long SysProcessId();

// Creates a new empty folder in the system's temporary folder whose name
// begins with prefix; its path goes to *path.
int SysMakeTempDir(const char* prefix, std::string* path);

// Converts 8-bit text of OEM code page 437 or 866 to UTF-8. Bytes that do
// not convert come out as '?'. Returns 0 (leaving *out as the input with
// every byte above 127 replaced by '?') for an unknown code page or when
// the system has no converter.
int SysOemToUtf8(int codePage, const std::string& text, std::string* out);

#endif  // TOLVANE_FARHOST_SYS_H
