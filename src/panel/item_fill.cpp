// Filling one panel item from a decoded nodelist entry, and the time of
// day that decides the availability mark.
#include <cstring>

#include "config/settings.h"
#include "nodelist/endpoints.h"
#include "nodelist/record_reader.h"
#include "nodelist/text_fields.h"
#include "nodelist/v7_format.h"
#include "panel/item_user_data.h"
#include "panel/listing.h"
#include "panel/name_filters.h"
#include "platform/platform.h"

int32_t UtcOffsetMinutes;
int32_t NowMinutes;

namespace {

const int kMinutesPerDay = 1440;

enum {
  kC0 = 0,
  kC1 = 1,
  kC2 = 2,
  kC3 = 3,
  kC4 = 4,
  kC5 = 5,
  kC6 = 6,
  kC7 = 7,
  kC8 = 8,
  kC9 = 9,
};

int IsPoint(const NodeRecord* record) {
  return (record->NodeFlags & v7::kFlagPoint) != 0;
}

int IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number of the part an entry stands for: the trailing digits.
void NameByTrailingDigits(const char* description, char* name) {
  size_t end = std::strlen(description);
  size_t start = end;
  while (start > 0 && IsDigit(description[start - 1])) --start;
  std::memcpy(name, description + start, end - start);
  name[end - start] = '\0';
}

// A search hit is named by its whole address with dots between the parts.
void NameByDottedAddress(const char* description, char* name) {
  size_t i = 0;
  for (; description[i] != '\0'; ++i)
    name[i] = IsDigit(description[i]) ? description[i] : '.';
  name[i] = '\0';
}

// Names the item and returns the level at which the entry itself lists as
// a directory.
uint16_t NameItem(const PanelInstance* panel, const NodeRecord* record,
                  PluginPanelItem* item) {
  char* name = item->FindData.cFileName;
  if (panel->SearchText[0] != '\0') {
    uint16_t level = IsPoint(record) ? kLevelPoint : kLevelNode;
    FormatRecordAddress(record, item->Description, level - 2);
    NameByDottedAddress(item->Description, name);
    return level;
  }
  if (panel->Level >= kLevelNode && !IsPoint(record)) {
    std::memcpy(item->Description, "..", 3);
    std::memcpy(name, "0", 2);
    return panel->Level;
  }
  FormatRecordAddress(record, item->Description, panel->Level);
  NameByTrailingDigits(item->Description, name);
  return static_cast<uint16_t>(panel->Level + 2);
}

const char* KindWord(const NodeRecord* record) {
  if (Options & OptionPlusData) return record->Keyword;
  static const struct {
    uint16_t Flag;
    const char* Word;
  } kKinds[] = {{v7::kFlagZone, "Zone"},
                {v7::kFlagRegion, "Region"},
                {v7::kFlagHost, "Host"},
                {v7::kFlagHub, "Hub"},
                {v7::kFlagPoint, "Point"}};
  for (const auto& kind : kKinds)
    if (record->NodeFlags & kind.Flag) return kind.Word;
  return "";
}

int LocalMinutes(uint16_t utcMinutes) {
  int minutes = (utcMinutes + UtcOffsetMinutes) % kMinutesPerDay;
  return minutes < 0 ? minutes + kMinutesPerDay : minutes;
}

static_assert(item_area::kC5Size == sizeof("hh:mm-hh:mm"));
static_assert(item_area::kC7Size > sizeof("65535") - 1);

char* WriteTwoDigits(char* at, int value) {
  *at++ = static_cast<char>('0' + value / 10);
  *at++ = static_cast<char>('0' + value % 10);
  return at;
}

// "hh:mm" of a minute of the day (0..1439), without a terminator.
char* WriteClockTime(char* at, int minutes) {
  at = WriteTwoDigits(at, minutes / 60);
  *at++ = ':';
  return WriteTwoDigits(at, minutes % 60);
}

int WindowOpen(int start, int end, int now) {
  if (start <= end) return start <= now && now < end;
  return now >= start || now < end;
}

// C5 and, with OptionMarkUnavailable, the mark of a node that cannot be
// reached now. Returns 1 when the item is to be marked.
int FillAvailability(const NodeRecord* record, char* column) {
  int mark = (Options & OptionMarkUnavailable) != 0;
  if (record->NodeFlags & v7::kFlagContinuousMail) {
    std::memcpy(column, "CM", 3);
    return 0;
  }
  if (record->OnlineStart == 0 && record->OnlineEnd == 0) {
    column[0] = '\0';
    return mark;
  }
  int start = LocalMinutes(record->OnlineStart);
  int end = LocalMinutes(record->OnlineEnd);
  char* at = WriteClockTime(column, start);
  *at++ = '-';
  *WriteClockTime(at, end) = '\0';
  return mark && !WindowOpen(start, end, NowMinutes);
}

// What the user data block holds besides the address: the endpoints and
// the flags past the flags column.
struct ItemExtras {
  EndpointList Endpoints;
  const char* FlagsRest;
  size_t FlagsRestLength;
};

void WriteUserData(const NodeRecord* record, const ItemExtras* extras,
                   PluginPanelItem* item, uint16_t level) {
  void* block = reinterpret_cast<void*>(item->UserData);
  ItemUserData data;
  std::memset(&data, 0, sizeof(data));
  data.Size = WriteItemExtras(block, &extras->Endpoints, extras->FlagsRest,
                              extras->FlagsRestLength);
  data.Zone = record->Zone;
  data.Net = record->Net;
  data.Node = record->Node;
  data.Point = IsPoint(record) ? record->HubOrPoint : 0;
  data.Hub = record->HubOrPoint;
  data.Region = record->Region;
  data.Level = level;
  WriteItemUserData(block, &data);
}

void CopyColumn(char** columns, int column, const char* text) {
  CopyClipped(columns[column], text, item_area::kColumnSizes[column]);
}

// C9: the first binkp endpoint as "host:port", else the first other one
// after its protocol ("telnet host:23"); empty without endpoints.
void FillInternetColumn(const EndpointList* endpoints, char* column) {
  column[0] = '\0';
  if (endpoints->Count == 0) return;
  int shown = 0;
  while (shown < endpoints->Count &&
         endpoints->Items[shown].Protocol != kProtocolBinkp)
    ++shown;
  char text[kEndpointAddressSize + 8];
  char* at = text;
  if (shown == endpoints->Count) {
    shown = 0;
    const char* name = EndpointProtocolName(endpoints->Items[0].Protocol);
    size_t length = std::strlen(name);
    std::memcpy(at, name, length);
    at += length;
    *at++ = ' ';
  }
  FormatEndpointAddress(endpoints->Items[shown], at,
                        sizeof(text) - static_cast<size_t>(at - text));
  CopyClipped(column, text, item_area::kC9Size);
}

void FillDetails(const NodeRecord* record, const ItemExtras* extras,
                 PluginPanelItem* item, uint16_t level) {
  WriteUserData(record, extras, item, level);
  item->NumberOfLinks = record->CallCost;
  char** columns = item->CustomColumnData;
  CopyColumn(columns, kC0, KindWord(record));
  int hidden = (Options & OptionMarkNoPhone) && record->Phone[0] == '\0';
  CopyColumn(columns, kC1, record->DisplaySystem);
  CopyColumn(columns, kC2, record->DisplayLocation);
  CopyColumn(columns, kC3, record->FlagsText);
  CopyColumn(columns, kC4, record->Phone);
  hidden |= FillAvailability(record, columns[kC5]);
  if (hidden) item->FindData.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  CopyColumn(columns, kC6, record->Password);
  *WriteDecimal(columns[kC7], record->BaudRate) = '\0';
  CopyColumn(columns, kC8, record->DisplaySysop);
  FillInternetColumn(&extras->Endpoints, columns[kC9]);
  if (NameCaseFilter) {
    NameCaseFilter(columns[kC1]);
    NameCaseFilter(columns[kC2]);
    NameCaseFilter(columns[kC8]);
  }
}

}  // namespace

void FormatRecordAddress(const NodeRecord* record, char* text, uint16_t depth) {
  FtnAddress address = {
      record->Zone, record->Net, record->Node,
      static_cast<uint16_t>(IsPoint(record) ? record->HubOrPoint : 0)};
  FormatAddress(address, text, depth);
}

int FillPanelItem(PanelInstance* panel, const NodeRecord* record,
                  PanelItemList* list, int detailed) {
  // The whole V7+ line, not the flags column, which is cut at 63
  // characters; decoded first, since the item's area holds just what its
  // endpoints and the rest of its flags take.
  ItemExtras extras;
  extras.Endpoints.Count = 0;
  extras.FlagsRest = nullptr;
  extras.FlagsRestLength = 0;
  if (detailed) {
    DecodeLinePieces(CurrentPlusPieces, &extras.Endpoints);
    const char* flags = CurrentPlusPieces.Flags;
    if (flags) {
      extras.FlagsRestLength =
          FlagsRestLength(flags, strnlen(flags, kFlagsTextRoom + 1));
      if (extras.FlagsRestLength > 0)
        extras.FlagsRest = flags + kFlagsColumnText;
    }
  }
  AddItemResult added =
      AddPanelItem(list, detailed,
                   ExtraBlockBytes(&extras.Endpoints, extras.FlagsRestLength));
  if (added == kListFailed) return 0;
  if (added == kListFull) return 1;
  PluginPanelItem* item = LastPanelItem(list);
  if (!detailed) item->FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  uint16_t level = NameItem(panel, record, item);
  if (detailed) FillDetails(record, &extras, item, level);
  return 1;
}

void RefreshTimeOfDay() {
  ZoneBias zone;
  std::memset(&zone, 0, sizeof(zone));
  if (GetZoneBias(&zone)) {
    const int32_t kDaylightTime = 2;
    long long bias =
        static_cast<long long>(zone.Bias) +
        (zone.State == kDaylightTime ? zone.DaylightBias : zone.StandardBias);
    UtcOffsetMinutes = static_cast<int32_t>(-bias % kMinutesPerDay);
  }
  if (!(Options & OptionMarkUnavailable)) return;
  int hour = 0;
  int minute = 0;
  if (GetLocalTimeOfDay(&hour, &minute) && hour >= 0 && hour < 24 &&
      minute >= 0 && minute < 60)
    NowMinutes = hour * 60 + minute;
}
