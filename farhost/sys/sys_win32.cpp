// farhost's system layer on Windows: LoadLibraryA, GetModuleFileNameA, the
// environment, a fresh folder under GetTempPathA and _popen.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "farhost/sys/sys.h"

static std::string LastErrorText() {
  char text[512] = "";
  DWORD code = GetLastError();
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, text, sizeof(text), nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
    text[--length] = '\0';
  if (length == 0) snprintf(text, sizeof(text), "system error %lu", code);
  return text;
}

SysLibrary SysLoadLibrary(const char* path, std::string* error) {
  HMODULE library =
      LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library == nullptr && error != nullptr) *error = LastErrorText();
  return reinterpret_cast<SysLibrary>(library);
}

void* SysFindSymbol(SysLibrary library, const char* name) {
  if (library == nullptr) return nullptr;
  FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name);
  return reinterpret_cast<void*>(address);
}

void SysFreeLibrary(SysLibrary library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

std::string SysExecutableDir() {
  char path[MAX_PATH * 4];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  if (length == 0 || length >= sizeof(path)) return std::string();
  std::string text(path, length);
  size_t slash = text.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  return text.substr(0, slash);
}

const char* SysPluginFileName() { return "Tolvane.dll"; }

char SysPathSeparator() { return '\\'; }

std::string SysJoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '\\' || dir.back() == '/') return dir + name;
  return dir + "\\" + name;
}

int SysGetEnv(const char* name, std::string* value) {
  char small[1024];
  SetLastError(0);  // an empty value returns 0 and leaves the error alone
  DWORD length = GetEnvironmentVariableA(name, small, sizeof(small));
  if (length == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return 0;
    value->clear();  // set, but empty
    return 1;
  }
  if (length < sizeof(small)) {
    *value = small;
    return 1;
  }
  std::string big(length, '\0');
  length = GetEnvironmentVariableA(name, big.data(), length);
  big.resize(length);
  *value = big;
  return 1;
}

int SysSetEnv(const char* name, const char* value) {
  // Both the system's block and the C runtime's copy, so that getenv in
  // this process agrees with what a child process sees.
  std::string entry = std::string(name) + "=" + (value != nullptr ? value : "");
  _putenv(entry.c_str());
  return SetEnvironmentVariableA(name, value) != 0;
}

unsigned long SysProcessId() { return GetCurrentProcessId(); }

int SysProcessRuns(unsigned long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  int runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

std::string SysHostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
  DWORD length = sizeof(name);
  if (!GetComputerNameA(name, &length)) return std::string();
  return std::string(name, length);
}

static volatile LONG g_interruption = 0;

// Ctrl+C stands for SIGINT (2), every other console event for SIGTERM (15).
static BOOL WINAPI NoteInterruption(DWORD event) {
  LONG status = 128 + (event == CTRL_C_EVENT ? 2 : 15);
  return InterlockedCompareExchange(&g_interruption, status, 0) == 0;
}

void SysCatchInterrupts() { SetConsoleCtrlHandler(NoteInterruption, TRUE); }

int SysInterruption() { return static_cast<int>(g_interruption); }

std::string SysTempDir() {
  char base[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof(base), base);
  if (length == 0 || length > MAX_PATH) return std::string();
  while (length > 3 && (base[length - 1] == '\\' || base[length - 1] == '/'))
    --length;
  return std::string(base, length);
}

int SysMakeDir(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

int SysMakeTempDir(const char* prefix, std::string* path) {
  std::string base = SysTempDir();
  if (base.empty()) return 0;
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    char name[64];
    snprintf(name, sizeof(name), "%s%lu_%u_%u", prefix, GetCurrentProcessId(),
             static_cast<unsigned>(GetTickCount()), attempt);
    std::string candidate = SysJoinPath(base, name);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      *path = candidate;
      return 1;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return 0;
  }
  return 0;
}

void SysSetBinaryOutput() {
  fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

void SysUseLargeHeapPages() {}

int SysRunCommand(const std::string& command, std::string* output,
                  int* status) {
  output->clear();
  // cmd /c strips one pair of quotes around the whole line; the outer pair
  // keeps the quotes of the program and its arguments.
  FILE* pipe = _popen(("\"" + command + "\"").c_str(), "rb");
  if (pipe == nullptr) return 0;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    output->append(buffer, got);
  *status = _pclose(pipe);
  return 1;
}

// The C runtime's rules: backslashes are literal unless a quote follows
// them, so a run of them before a quote (or before the closing quote) is
// doubled, and a quote inside is escaped.
std::string SysQuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}
