// bench_walk: the baseline of the listing benchmarks. Runs the nodelist
// database alone (OpenAndSearch with an OnMatch that only counts) over the
// same index ranges and with the same flags that the listings use, so that
// the difference to bench_listing is the cost of building panel items and
// of the host interface.
//
//   bench_walk DIR [--runs N] [--v7] CASE...
//
// Cases: "walk:z[:n[/f]]" (or "walk:\" for the root) walks that location
// as the listing does: one entry per child (OnePerNextPart) at the root,
// a zone and a net, the node and its points at a node; "all" walks every
// entry of the address index with every record decoded. --v7 leaves the
// V7+ data out (the listing reads it by default). "capacity" prints how
// many detailed items one panel list holds.
//
// Prints "CASE items=N median_us=M min_us=L runs=R" per case. One warm-up
// run precedes the timed ones; under callgrind, collect with
// --toggle-collect=bench_measured_walk to count the timed runs only.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/far_api.h"
#include "nodelist/file_set.h"
#include "nodelist/records.h"
#include "nodelist/text_fields.h"
#include "panel/item_list.h"
#include "platform/platform.h"

namespace {

struct WalkCase {
  std::string Text;
  int All;
  int Level;
  FtnAddress Address;
};

int CountEntry(NodeRecord*, void* count) {
  ++*static_cast<long*>(count);
  return 1;
}

// "z[:n[/f]]" into the case; "\" is the root.
int ParseLocation(const char* text, WalkCase* c) {
  if (std::strcmp(text, "\\") == 0) return 1;
  uint16_t* parts[] = {&c->Address.Zone, &c->Address.Net, &c->Address.Node};
  static const char kSeparators[] = ":/";
  const char* at = text;
  for (int part = 0; part < 3; ++part) {
    const char* end = nullptr;
    *parts[part] = static_cast<uint16_t>(ParseDecimal(at, &end));
    if (end == at) return 0;
    c->Level = 2 * (part + 1);
    if (*end == '\0') return 1;
    if (part == 2 || *end != kSeparators[part]) return 0;
    at = end + 1;
  }
  return 0;
}

int ParseCase(const char* text, WalkCase* c) {
  *c = WalkCase{text, 0, 0, {0, 0, 0, 0}};
  if (std::strcmp(text, "all") == 0) return c->All = 1;
  if (std::strncmp(text, "walk:", 5) != 0) return 0;
  return ParseLocation(text + 5, c);
}

long RunWalk(const WalkCase& c, uint16_t plusFlags) {
  long count = 0;
  std::memset(&SearchKey, 0, sizeof(SearchKey));
  Nodelist.SearchKind = SearchByAddress;
  Nodelist.MatchData = &count;
  Nodelist.Flags = plusFlags;
  Nodelist.KeyLength = static_cast<int16_t>(c.All ? 0 : c.Level);
  if (!c.All && c.Level <= 4) Nodelist.Flags |= OnePerNextPart;
  SearchKey.Zone = c.Address.Zone;
  SearchKey.Net = c.Address.Net;
  SearchKey.Node = c.Address.Node;
  int result = OpenAndSearch(&Nodelist);
  CloseFileSet(&Nodelist);
  return result == kSearchDone && !Nodelist.Damaged ? count : -1;
}

}  // namespace

// The timed walk under its own plain name, for callgrind's
// --toggle-collect.
extern "C" __attribute__((noinline)) long bench_measured_walk(
    const void* walkCase, uint16_t plusFlags) {
  return RunWalk(*static_cast<const WalkCase*>(walkCase), plusFlags);
}

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Measure(const WalkCase& c, uint16_t plusFlags, int runs) {
  long items = RunWalk(c, plusFlags);  // warm-up
  std::vector<double> micros;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    long n = bench_measured_walk(&c, plusFlags);
    auto end = std::chrono::steady_clock::now();
    if (n != items) items = -1;
    micros.push_back(
        std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::printf("%s items=%ld median_us=%.1f min_us=%.1f runs=%d\n",
              c.Text.c_str(), items, Median(micros),
              *std::min_element(micros.begin(), micros.end()), runs);
  std::fflush(stdout);
  if (items < 0) std::fprintf(stderr, "bench_walk: %s\n", LastErrorText);
  return items >= 0;
}

const char kUsage[] =
    "usage: bench_walk DIR [--runs N] [--v7] walk:LOCATION|all|capacity ...\n";

}  // namespace

int main(int argc, char** argv) {
  std::string directory;
  int runs = 7;
  uint16_t plusFlags = UsePlusData;
  std::vector<WalkCase> cases;
  for (int i = 1; i < argc; ++i) {
    WalkCase c;
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--v7")) {
      plusFlags = 0;
    } else if (!std::strcmp(argv[i], "capacity")) {
      std::printf("capacity items=%zu\n",
                  size_t{kItemListReservation} /
                      (sizeof(PluginPanelItem) + ItemAreaSize(1)));
    } else if (ParseCase(argv[i], &c)) {
      cases.push_back(c);
    } else if (argv[i][0] != '-' && directory.empty()) {
      directory = argv[i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (directory.empty() && !cases.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!directory.empty() && directory.back() != PathSeparator())
    directory += PathSeparator();
  Nodelist.Directory = directory.c_str();
  Nodelist.NodelistName = "NODEX";
  Nodelist.Key = &SearchKey;
  Nodelist.OnMatch = CountEntry;
  int ok = 1;
  for (const WalkCase& c : cases) ok &= Measure(c, plusFlags, runs);
  return ok ? 0 : 1;
}
