// farhost's own view of the operating system: loading the plugin library,
// where the running program lives, the environment, temporary folders, the
// OEM-to-UTF-8 conversion for display and running a command. sys_posix.cpp
// and sys_win32.cpp implement it and the build picks one. Functions return
// 1 on success and 0 on failure and never throw.
#ifndef TOLVANE_FARHOST_SYS_H
#define TOLVANE_FARHOST_SYS_H

#include <string>
#include <vector>

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

// The file name of the product plugin ("tolvane.so", "Tolvane.dll").
const char* SysPluginFileName();

// Whether a file or folder exists at path (as far as the system tells).
int SysPathExists(const std::string& path);

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

// Whether a process of that id runs on this machine now (as far as the
// system tells; a process of another user counts as running).
int SysProcessRuns(unsigned long pid);

// This machine's name, "" when the system does not tell.
std::string SysHostName();

// From this call on, an interruption (Ctrl+C, and on POSIX also SIGTERM and
// SIGHUP; Ctrl+Break or a closing console on Windows) no longer ends the
// process at once but is noted, so that a scripted command can stop, put
// the settings back in order and end. A second interruption ends the
// process as usual.
void SysCatchInterrupts();

// The exit status an interruption stands for (128 + the signal number, as
// a shell reports it), or 0 while none came.
int SysInterruption();

// The system's temporary folder ($TMPDIR or /tmp, GetTempPathA), without
// a trailing separator.
std::string SysTempDir();

// Creates a new empty folder in the system's temporary folder whose name
// begins with prefix; its path goes to *path.
int SysMakeTempDir(const char* prefix, std::string* path);

// Creates one folder that only this user may use; 0 when it exists already
// or cannot be made.
int SysMakeDir(const std::string& path);

// The names of the entries of a folder (none when it cannot be read).
std::vector<std::string> SysListDir(const std::string& path);

// Removes a folder and everything in it; 1 when nothing of it is left.
int SysRemoveTree(const std::string& path);

// Reads a whole file, at most maxBytes of it; 0 when it cannot be opened
// or is longer than maxBytes.
int SysReadFile(const std::string& path, size_t maxBytes, std::string* data);

// The Unicode characters of the bytes 0x80-0xFF of OEM code page 437 or
// 866 (128 of them; the bytes below are ASCII in both), or null for any
// other page. farhost's own tables, the same on every system.
const char16_t* SysOemHighCharacters(int codePage);

// The UTF-8 form of every byte of OEM code page 437 or 866: Text[b] holds
// Length[b] bytes (1 to 3). Made once per code page and process, so that
// converting a text is a table lookup per byte. For any other code page
// the bytes above 127 are '?' and Known is 0.
struct SysOemTable {
  char Text[256][4];
  unsigned char Length[256];
  int Known;
};
const SysOemTable& SysOemUtf8Table(int codePage);

// Appends the UTF-8 form of size bytes of OEM text.
void SysAppendUtf8(const SysOemTable& table, const char* text, size_t size,
                   std::string* out);

// Converts 8-bit text of OEM code page 437 or 866 to UTF-8 through the
// page's table. Returns 0 (leaving *out as the input with every byte above
// 127 replaced by '?') for any other code page.
int SysOemToUtf8(int codePage, const std::string& text, std::string* out);

// Makes standard output write bytes as given (no CR added before LF on
// Windows), so that listings are byte-identical on every system.
void SysSetBinaryOutput();

// Lets the heap grow in large steps backed by large pages where the system
// offers them to programs that ask: a listing copies thousands of items,
// and fresh small pages, one fault each, cost more than the copying.
// Called once at the start of the program; does nothing elsewhere.
void SysUseLargeHeapPages();

// Runs a command line through the system's shell (sh -c, cmd /c) and
// collects what it writes to standard output. Returns 1 with the command's
// exit status in *status when it could be started, else 0.
int SysRunCommand(const std::string& command, std::string* output, int* status);

// One argument quoted for the shell of SysRunCommand.
std::string SysQuoteArgument(const std::string& argument);

#endif  // TOLVANE_FARHOST_SYS_H
