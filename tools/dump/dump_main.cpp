// tolvane-dump: prints the entries of a compiled V7/V7+ nodelist as the
// plugin reads them, through the same file set, index walk and decoder.
//
//   tolvane-dump DIR [--name BASE] [--v7] [--shared-sysop-index]
//                [--sysop NAME] [--address z[:n[/f[.p]]]]
//
// One tab-separated line per entry: address, node flags, system, location,
// sysop, phone, speed, region, V7+ keyword, V7+ flags. Then the count and,
// when the files are damaged, the damage text. --v7 reads the data file
// alone (no V7+ part). Exit status: 0 read, 1 files missing, 2 usage,
// 3 damaged files.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/host_binding.h"
#include "nodelist/file_set.h"
#include "nodelist/records.h"
#include "nodelist/text_fields.h"
#include "nodelist/v7_format.h"
#include "platform/platform.h"
#include "version/version.h"

namespace {

const char kUsage[] =
    "usage: tolvane-dump DIR [--name BASE] [--v7] [--shared-sysop-index]\n"
    "                    [--sysop NAME] [--address z[:n[/f[.p]]]]\n";

struct DumpArgs {
  std::string Directory;
  std::string Base = "NODEX";
  uint16_t Flags = UsePlusData;
  const char* Sysop = nullptr;
  const char* Address = nullptr;
};

int ParseArgs(int argc, char** argv, DumpArgs* args) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    int hasValue = i + 1 < argc;
    if (!std::strcmp(a, "--name") && hasValue) {
      args->Base = argv[++i];
    } else if (!std::strcmp(a, "--v7")) {
      args->Flags &= static_cast<uint16_t>(~UsePlusData);
    } else if (!std::strcmp(a, "--shared-sysop-index")) {
      args->Flags |= SharedSysopIndex;
    } else if (!std::strcmp(a, "--sysop") && hasValue) {
      args->Sysop = argv[++i];
    } else if (!std::strcmp(a, "--address") && hasValue) {
      args->Address = argv[++i];
    } else if (a[0] != '-' && args->Directory.empty()) {
      args->Directory = a;
    } else {
      return 0;
    }
  }
  return !args->Directory.empty() && !(args->Sysop && args->Address);
}

// "z[:n[/f[.p]]]" into the key record; returns the key length, or -1.
int ParseAddress(const char* text, NodeRecord* key) {
  static const char kSeparators[] = ":/.";
  uint16_t* parts[] = {&key->Zone, &key->Net, &key->Node, &key->HubOrPoint};
  const char* at = text;
  for (int part = 0; part < 4; ++part) {
    const char* end = nullptr;
    *parts[part] = static_cast<uint16_t>(ParseDecimal(at, &end));
    if (end == at) return -1;
    if (*end == '\0') return 2 * (part + 1);
    if (part == 3 || *end != kSeparators[part]) return -1;
    at = end + 1;
  }
  return -1;
}

int PrintEntry(NodeRecord* r, void* count) {
  FtnAddress address{r->Zone, r->Net, r->Node, 0};
  if (r->NodeFlags & v7::kFlagPoint) address.Point = r->HubOrPoint;
  char text[kAddressTextSize];
  FormatAddress(address, text, 6);
  std::printf("%s\t0x%04X\t%s\t%s\t%s\t%s\t%u\t%u\t%s\t%s\n", text,
              unsigned{r->NodeFlags}, r->DisplaySystem, r->DisplayLocation,
              r->DisplaySysop, r->Phone, unsigned{r->BaudRate},
              unsigned{r->Region}, r->Keyword, r->FlagsText);
  ++*static_cast<unsigned long*>(count);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerVersionOrHelp(argc, argv, "tolvane-dump", kUsage)) return 0;
  DumpArgs args;
  if (!ParseArgs(argc, argv, &args)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  char last = args.Directory.back();
  if (last != '/' && last != '\\') args.Directory += PathSeparator();
  // No host: sysop keys are compared by the database's own ASCII rule.
  HostFunctions.LStrnicmp = nullptr;
  unsigned long count = 0;
  Nodelist.Directory = args.Directory.c_str();
  Nodelist.NodelistName = args.Base.c_str();
  Nodelist.Key = &SearchKey;
  Nodelist.OnMatch = PrintEntry;
  Nodelist.MatchData = &count;
  Nodelist.Flags = args.Flags;
  Nodelist.SearchKind = args.Sysop ? SearchBySysop : SearchByAddress;
  if (args.Sysop) {
    CopyClipped(SearchKey.SysopName, args.Sysop, sizeof(SearchKey.SysopName));
  } else if (args.Address) {
    int length = ParseAddress(args.Address, &SearchKey);
    if (length < 0) {
      std::fprintf(stderr, "bad address: %s\n%s", args.Address, kUsage);
      return 2;
    }
    Nodelist.KeyLength = static_cast<int16_t>(length);
  }
  int result = OpenAndSearch(&Nodelist);
  CloseFileSet(&Nodelist);
  if (result != kSearchDone) {
    std::fprintf(stderr, "%s\n", LastErrorText);
    return 1;
  }
  std::printf("%lu entries\n", count);
  if (!Nodelist.Damaged) return 0;
  std::printf("%s\n", LastErrorText);
  return 3;
}
