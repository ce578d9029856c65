// bench_process: times whole processes from start to exit, as a script
// that runs them meets them, and reports their peak memory.
//
//   bench_process [--runs N] [--out FILE] -- PROGRAM ARGUMENT...
//
// Starts PROGRAM (looked up in PATH) N times (default 7) after one warm-up
// run, with its standard output and error going to FILE (default
// /dev/null; give a file for programs such as grep that stop early when
// they write to /dev/null), and waits for each. Prints
// "items=STATUS median_us=M min_us=L runs=N max_rss_kib=K", where STATUS
// is the exit status of the last run and K the largest maximum resident
// size of any run. Timing spawns the process directly: no shell and no
// clock program in between, whose own start would be counted.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

struct RunResult {
  double Micros;
  int Status;
  long MaxRssKib;
};

// One run of argv; 0 when it could not be started.
int RunOnce(char** argv, const char* out, RunResult* result) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out,
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::fprintf(stderr, "bench_process: cannot start %s: %s\n", argv[0],
                 std::strerror(spawned));
    return 0;
  }
  int status = 0;
  struct rusage usage;
  std::memset(&usage, 0, sizeof(usage));
  if (wait4(pid, &status, 0, &usage) != pid) return 0;
  auto end = std::chrono::steady_clock::now();
  result->Micros =
      std::chrono::duration<double, std::micro>(end - start).count();
  result->Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  result->MaxRssKib = usage.ru_maxrss;
  return 1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

const char kUsage[] =
    "usage: bench_process [--runs N] [--out FILE] -- PROGRAM ARGUMENT...\n";

}  // namespace

int main(int argc, char** argv) {
  int runs = 7;
  const char* out = "/dev/null";
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
      out = argv[++i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (i + 1 >= argc) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  char** command = argv + i + 1;
  RunResult result;
  if (!RunOnce(command, out, &result)) return 1;  // warm-up
  std::vector<double> micros;
  long maxRss = result.MaxRssKib;
  for (int run = 0; run < runs; ++run) {
    if (!RunOnce(command, out, &result)) return 1;
    micros.push_back(result.Micros);
    maxRss = std::max(maxRss, result.MaxRssKib);
  }
  std::printf("items=%d median_us=%.1f min_us=%.1f runs=%d max_rss_kib=%ld\n",
              result.Status, Median(micros),
              *std::min_element(micros.begin(), micros.end()), runs, maxRss);
  return 0;
}
