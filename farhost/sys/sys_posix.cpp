// farhost's system layer on POSIX: dlopen, /proc/self/exe, the environment,
// mkdtemp and popen.
#include <dlfcn.h>
#include <limits.h>
#include <malloc.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "farhost/sys/sys.h"

SysLibrary SysLoadLibrary(const char* path, std::string* error) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr && error != nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : "cannot load the library";
  }
  return library;
}

void* SysFindSymbol(SysLibrary library, const char* name) {
  if (library == nullptr) return nullptr;
  return dlsym(library, name);
}

void SysFreeLibrary(SysLibrary library) {
  if (library != nullptr) dlclose(library);
}

std::string SysExecutableDir() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return std::string();
  std::string text(path, static_cast<size_t>(length));
  size_t slash = text.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? std::string("/") : text.substr(0, slash);
}

const char* SysPluginFileName() { return "tolvane.so"; }

char SysPathSeparator() { return '/'; }

std::string SysJoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

int SysGetEnv(const char* name, std::string* value) {
  const char* text = getenv(name);
  if (text == nullptr) return 0;
  *value = text;
  return 1;
}

int SysSetEnv(const char* name, const char* value) {
  if (value == nullptr) return unsetenv(name) == 0;
  return setenv(name, value, 1) == 0;
}

unsigned long SysProcessId() { return static_cast<unsigned long>(getpid()); }

int SysProcessRuns(unsigned long pid) {
  pid_t id = static_cast<pid_t>(pid);
  if (id <= 0 || static_cast<unsigned long>(id) != pid) return 0;
  return kill(id, 0) == 0 || errno == EPERM;
}

std::string SysHostName() {
  char name[256] = "";
  if (gethostname(name, sizeof(name) - 1) != 0) return std::string();
  return name;
}

static volatile sig_atomic_t g_interruption = 0;
static const int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

static void NoteInterruption(int signal) {
  if (g_interruption != 0) {
    ::signal(signal, SIG_DFL);
    raise(signal);
    return;
  }
  g_interruption = signal;
}

void SysCatchInterrupts() {
  struct sigaction action;
  std::memset(&action, 0, sizeof(action));
  action.sa_handler = NoteInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kInterruptSignals) {
    struct sigaction previous;
    // A signal ignored from the start (a background job of a shell) stays
    // ignored.
    if (sigaction(signal, nullptr, &previous) == 0 &&
        previous.sa_handler == SIG_IGN)
      continue;
    sigaction(signal, &action, nullptr);
  }
}

int SysInterruption() { return g_interruption != 0 ? 128 + g_interruption : 0; }

std::string SysTempDir() {
  std::string base;
  if (!SysGetEnv("TMPDIR", &base) || base.empty()) base = "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

int SysMakeTempDir(const char* prefix, std::string* path) {
  std::string pattern =
      SysJoinPath(SysTempDir(), std::string(prefix) + "XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) return 0;
  *path = pattern;
  return 1;
}

int SysMakeDir(const std::string& path) {
  return mkdir(path.c_str(), 0700) == 0;
}

void SysSetBinaryOutput() {}

void SysUseLargeHeapPages() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
  // The heap grows 32 MiB at a time and keeps what it has; blocks of any
  // size come from it, not from mappings of their own. The new stretch is
  // marked for large pages; only the parts that are touched take memory.
  const size_t kStep = size_t{32} << 20;
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kStep));
  mallopt(M_TOP_PAD, static_cast<int>(kStep));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kStep));
  uintptr_t before = reinterpret_cast<uintptr_t>(sbrk(0));
  void* volatile block = malloc(kStep / 2);  // kept: the call must happen
  uintptr_t after = reinterpret_cast<uintptr_t>(sbrk(0));
  free(block);
  const uintptr_t kPage = uintptr_t{2} << 20;
  uintptr_t start = (before + kPage - 1) & ~(kPage - 1);
  if (after > start)
    madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE);
#endif
}

int SysRunCommand(const std::string& command, std::string* output,
                  int* status) {
  output->clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return 0;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    output->append(buffer, got);
  int wait = pclose(pipe);
  *status = wait != -1 && WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
  return wait != -1;
}

std::string SysQuoteArgument(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}
