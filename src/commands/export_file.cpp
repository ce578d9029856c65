#include "commands/export_file.h"

#include <cstring>

#include "commands/flag_words.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/text_fields.h"
#include "panel/item_user_data.h"
#include "panel/panel_instance.h"

namespace {

// Operation modes that ask for an entry's contents.
const int kContentModes = OPM_FIND | OPM_VIEW | OPM_EDIT;

// One line: a 16-character label, ": ", the value, CR LF and the NUL.
enum {
  kLineSize = 260,
  kLabelWidth = 16,
  kValueRoom = kLineSize - 1 - kLabelWidth - 2 - 2,
};
static_assert(size_t{kFlagsTextRoom} <= size_t{kValueRoom},
              "the flags line holds all the flags an item keeps");

// The custom columns of a detailed item.
enum Column {
  kKind,
  kSystem,
  kLocation,
  kFlags,
  kPhone,
  kOnline,
  kPassword,
  kSpeed,
  kSysop
};

const char* ColumnText(const PluginPanelItem* item, int column) {
  if (item->CustomColumnData == nullptr || column >= item->CustomColumnNumber)
    return "";
  const char* text = item->CustomColumnData[column];
  return text != nullptr ? text : "";
}

void WriteLine(FileHandle file, const char* label, const char* value) {
  char clipped[kValueRoom + 1];
  CopyClipped(clipped, value, sizeof(clipped));
  char line[kLineSize];
  HostFunctions.sprintf(line, "%-16.16s: %s\r\n", label, clipped);
  WriteFileBytes(file, line, std::strlen(line));
}

void WriteAddressLine(FileHandle file, const char* label, FtnAddress address,
                      uint16_t depth) {
  char text[kAddressTextSize];
  FormatAddress(address, text, depth);
  WriteLine(file, label, text);
}

void WriteColumnLine(FileHandle file, const PluginPanelItem* item, int message,
                     int column) {
  WriteLine(file, MessageTable[message], ColumnText(item, column));
}

// One line per endpoint, labelled with its protocol: "host:port (source)".
void WriteEndpointLines(FileHandle file, const PluginPanelItem* item) {
  EndpointList endpoints;
  ReadItemEndpoints(item, &endpoints);
  for (int i = 0; i < endpoints.Count; ++i) {
    const Endpoint& e = endpoints.Items[i];
    char address[kEndpointAddressSize];
    FormatEndpointAddress(e, address, sizeof(address));
    char value[kEndpointAddressSize + 16];
    HostFunctions.sprintf(value, "%s (%s)", address,
                          EndpointSourceName(e.Protocol, e.Source));
    WriteLine(file, EndpointProtocolName(e.Protocol), value);
  }
}

// The entry's flags: the flags column and the rest that the block keeps.
struct ItemFlags {
  char Text[kFlagsTextRoom + 1];
  size_t Length;
};

void ReadItemFlags(const PluginPanelItem* item, ItemFlags* flags) {
  CopyClipped(flags->Text, ColumnText(item, kFlags), kFlagsColumnText + 1);
  size_t column = std::strlen(flags->Text);
  flags->Length = column;
  if (column == kFlagsColumnText)
    flags->Length += ReadItemFlagsRest(item, flags->Text + column,
                                       sizeof(flags->Text) - column);
}

// One line per flag: the flag as label, what it means as value.
void WriteFlagLines(FileHandle file, const ItemFlags& flags) {
  FlagCursor cursor;
  StartFlags(&cursor, flags.Text, flags.Length);
  FlagInfo flag;
  while (NextFlag(&cursor, &flag)) {
    char label[kLabelWidth + 1];
    FlagLabel(flag, label, sizeof(label));
    char meaning[kValueRoom + 1];
    DescribeFlag(flag, meaning, sizeof(meaning));
    WriteLine(file, label, meaning);
  }
}

int EndsInSeparator(const char* path, size_t length) {
  if (length == 0) return 0;
  char last = path[length - 1];
  return last == PathSeparator() || last == '/';
}

// An entry's name must name a file in the destination itself.
int IsPlainFileName(const char* name, size_t length) {
  if (length == 0 || std::strcmp(name, ".") == 0 ||
      std::strcmp(name, "..") == 0)
    return 0;
  return std::strcspn(name, "/\\:") == length;
}

// The error box for a file that cannot be created: the host adds the
// system's text for the last error.
void ReportCreateFailure(int opMode) {
  if ((opMode & OPM_SILENT) || !Host.Message) return;
  const char* lines[] = {MessageTable[MExportError], MessageTable[MOk]};
  Host.Message(Host.ModuleNumber, FMSG_WARNING | FMSG_ERRORTYPE, nullptr, lines,
               2, 1);
}

// The error box for a name that cannot be formed; there is no system error
// to show, so the name itself (its first 80 characters) is the text.
void ReportUnusableName(int opMode, const char* name) {
  if (opMode & OPM_SILENT) return;
  char text[81];
  CopyClipped(text, name, sizeof(text));
  ShowError(MExportError, text);
}

// Copies the destination into path and adds the separator; returns its
// length, or -1 when no room for a file name is left.
int FormDirectory(const char* destination, char* path) {
  size_t length = destination ? strnlen(destination, kExportPathSize) : 0;
  if (length >= kExportPathSize - 1) return -1;
  if (length > 0) std::memcpy(path, destination, length);
  if (length > 0 && !EndsInSeparator(path, length))
    path[length++] = PathSeparator();
  path[length] = '\0';
  return length + 1 < kExportPathSize ? static_cast<int>(length) : -1;
}

// Writes one entry's file; 1 when it was written.
int ExportEntry(char* path, size_t directoryLength, const PluginPanelItem* item,
                int opMode) {
  ItemUserData data;
  if (!ReadItemUserData(item, &data)) return 0;
  const char* name = item->FindData.cFileName;
  size_t length = strnlen(name, sizeof(item->FindData.cFileName));
  if (length == sizeof(item->FindData.cFileName) ||
      directoryLength + length >= kExportPathSize ||
      !IsPlainFileName(name, length)) {
    ReportUnusableName(opMode, name);
    return 0;
  }
  std::memcpy(path + directoryLength, name, length + 1);
  FileHandle file;
  if (!CreateNewFile(path, &file)) {
    ReportCreateFailure(opMode);
    return 0;
  }
  WriteNodeDescription(file, item);
  CloseFileHandle(file);
  return 1;
}

}  // namespace

int PluginGetFiles(PluginPanelItem* items, int count, int move,
                   const char* destination, int opMode) {
  if ((opMode & kContentModes) == 0 || move != 0) return 0;
  if (count <= 0 || items == nullptr) return 1;
  char path[kExportPathSize];
  int directoryLength = FormDirectory(destination, path);
  if (directoryLength < 0) {
    ReportUnusableName(opMode, destination);
    return 0;
  }
  // The host takes 1 as done and goes on to use the files: with none
  // written, that would be a failure reported as success.
  int written = 0;
  for (int i = 0; i < count; ++i)
    written += ExportEntry(path, static_cast<size_t>(directoryLength),
                           &items[i], opMode);
  return written > 0 ? 1 : 0;
}

void WriteNodeDescription(FileHandle file, const PluginPanelItem* item) {
  ItemUserData data;
  ReadItemUserData(item, &data);
  FtnAddress address = {data.Zone, data.Net, data.Node, data.Point};
  const char* kind = ColumnText(item, kKind);
  WriteAddressLine(file, kind[0] ? kind : MessageTable[MNodeWord], address,
                   kLevelNet);
  WriteColumnLine(file, item, MSystem, kSystem);
  WriteColumnLine(file, item, MSysop, kSysop);
  WriteColumnLine(file, item, MLocation, kLocation);
  WriteColumnLine(file, item, MPhone, kPhone);
  WriteColumnLine(file, item, MSpeed, kSpeed);
  ItemFlags flags;
  ReadItemFlags(item, &flags);
  WriteLine(file, MessageTable[MFlags], flags.Text);
  WriteColumnLine(file, item, MOnline, kOnline);
  char cost[16];
  HostFunctions.sprintf(cost, "%d", static_cast<int>(item->NumberOfLinks));
  WriteLine(file, MessageTable[MCallCost], cost);
  if (ColumnText(item, kPassword)[0] != '\0')
    WriteColumnLine(file, item, MPassword, kPassword);
  if (data.Level == kLevelNode && data.Hub != data.Node) {
    address.Node = data.Hub;
    WriteAddressLine(file, MessageTable[MHierarchy], address, kLevelNet);
  }
  if (data.Level > kLevelZone && data.Region != 0) {
    address.Net = data.Region;
    address.Point = 0;
    WriteAddressLine(file, MessageTable[MRegion], address, kLevelZone);
  }
  WriteEndpointLines(file, item);
  WriteFlagLines(file, flags);
}
