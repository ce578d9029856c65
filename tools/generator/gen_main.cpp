// tolvane-gen: writes a synthetic nodelist (and pointlist) for tests and
// benchmarks, and prints what a benchmark needs to know about it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "generator/generator.h"
#include "version/version.h"

namespace {

const char kUsage[] =
    "usage: tolvane-gen --entries N --seed S --out NODELIST [--points "
    "POINTLIST]\n";

int WriteText(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  int ok = fwrite(text.data(), 1, text.size(), f) == text.size();
  return (fclose(f) == 0) && ok;
}

int ParseArgs(int argc, char** argv, v7gen::GeneratorOptions* o,
              std::string* out, std::string* points) {
  for (int i = 1; i < argc; ++i) {
    if (i + 1 >= argc) return 0;
    const char* v = argv[++i];
    char* end = nullptr;
    if (!strcmp(argv[i - 1], "--entries"))
      o->entries = static_cast<uint32_t>(strtoul(v, &end, 10));
    else if (!strcmp(argv[i - 1], "--seed"))
      o->seed = strtoull(v, &end, 10);
    else if (!strcmp(argv[i - 1], "--out"))
      *out = v;
    else if (!strcmp(argv[i - 1], "--points"))
      *points = v;
    else
      return 0;
    if (end && *end) return 0;
  }
  o->with_points = !points->empty();
  return !out->empty() && o->entries > 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerVersionOrHelp(argc, argv, "tolvane-gen", kUsage)) return 0;
  v7gen::GeneratorOptions options = {0, 1, 0};
  std::string out, points;
  if (!ParseArgs(argc, argv, &options, &out, &points)) {
    fputs(kUsage, stderr);
    return 2;
  }
  v7gen::GeneratedList list;
  if (!v7gen::GenerateNodelist(options, &list)) {
    fprintf(stderr, "tolvane-gen: --entries must be at least 40\n");
    return 2;
  }
  if (!WriteText(out, list.nodelist) ||
      (!points.empty() && !WriteText(points, list.pointlist))) {
    fprintf(stderr, "tolvane-gen: cannot write the output\n");
    return 1;
  }
  printf("entries: %u (nodelist %u, points %u, Down %u)\n",
         list.nodelist_entries + list.points, list.nodelist_entries,
         list.points, list.down);
  printf("rare sysop: %s at %s\n", list.rare_key.c_str(),
         list.rare_address.c_str());
  printf("common prefix: %s (%u entries)\n", list.common_prefix.c_str(),
         list.common_count);
  if (!list.big_net.empty())
    printf("5000-node net: %s\n", list.big_net.c_str());
  if (!list.big_boss.empty())
    printf("node with 500 points: %s\n", list.big_boss.c_str());
  return 0;
}
