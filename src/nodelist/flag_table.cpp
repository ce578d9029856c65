#include "nodelist/flag_table.h"

#include <cstring>

#include "nodelist/endpoints.h"

namespace {

struct KnownFlag {
  const char* Name;
  uint8_t Meaning;
  uint8_t Category;
  uint8_t Protocol;
};

const KnownFlag kKnownFlags[] = {
    {"U", kMeaningUserFlags, kCategoryUser, 0},
    {"CM", kMeaningCM, kCategoryOperation, 0},
    {"ICM", kMeaningICM, kCategoryOperation, 0},
    {"MO", kMeaningMO, kCategoryOperation, 0},
    {"LO", kMeaningLO, kCategoryOperation, 0},
    {"V21", kMeaningV21, kCategoryModem, 0},
    {"V22", kMeaningV22, kCategoryModem, 0},
    {"V29", kMeaningV29, kCategoryModem, 0},
    {"V32", kMeaningV32, kCategoryModem, 0},
    {"V32B", kMeaningV32B, kCategoryModem, 0},
    {"V32T", kMeaningV32T, kCategoryModem, 0},
    {"V33", kMeaningV33, kCategoryModem, 0},
    {"V34", kMeaningV34, kCategoryModem, 0},
    {"V90C", kMeaningV90C, kCategoryModem, 0},
    {"V90S", kMeaningV90S, kCategoryModem, 0},
    {"X2C", kMeaningX2C, kCategoryModem, 0},
    {"X2S", kMeaningX2S, kCategoryModem, 0},
    {"HST", kMeaningHST, kCategoryModem, 0},
    {"H14", kMeaningH14, kCategoryModem, 0},
    {"H16", kMeaningH16, kCategoryModem, 0},
    {"H96", kMeaningH96, kCategoryModem, 0},
    {"MAX", kMeaningMAX, kCategoryModem, 0},
    {"PEP", kMeaningPEP, kCategoryModem, 0},
    {"CSP", kMeaningCSP, kCategoryModem, 0},
    {"ZYX", kMeaningZYX, kCategoryModem, 0},
    {"Z19", kMeaningZ19, kCategoryModem, 0},
    {"VFC", kMeaningVFC, kCategoryModem, 0},
    {"MNP", kMeaningMNP, kCategoryModem, 0},
    {"V42", kMeaningV42, kCategoryModem, 0},
    {"V42B", kMeaningV42B, kCategoryModem, 0},
    {"MN", kMeaningMN, kCategoryModem, 0},
    {"ISDN", kMeaningISDN, kCategoryIsdn, 0},
    {"V110L", kMeaningV110L, kCategoryIsdn, 0},
    {"V110H", kMeaningV110H, kCategoryIsdn, 0},
    {"V120L", kMeaningV120L, kCategoryIsdn, 0},
    {"V120H", kMeaningV120H, kCategoryIsdn, 0},
    {"X75", kMeaningX75, kCategoryIsdn, 0},
    {"XA", kMeaningXA, kCategoryRequests, 0},
    {"XB", kMeaningXB, kCategoryRequests, 0},
    {"XC", kMeaningXC, kCategoryRequests, 0},
    {"XP", kMeaningXP, kCategoryRequests, 0},
    {"XR", kMeaningXR, kCategoryRequests, 0},
    {"XW", kMeaningXW, kCategoryRequests, 0},
    {"XX", kMeaningXX, kCategoryRequests, 0},
    {"IBN", kMeaningProtocol, kCategoryInternet, kProtocolBinkp},
    {"IFC", kMeaningProtocol, kCategoryInternet, kProtocolIfcico},
    {"ITN", kMeaningProtocol, kCategoryInternet, kProtocolTelnet},
    {"IVM", kMeaningProtocol, kCategoryInternet, kProtocolVmodem},
    {"IFT", kMeaningProtocol, kCategoryInternet, kProtocolFtp},
    {"INA", kMeaningHost, kCategoryInternet, 0},
    {"IP", kMeaningIP, kCategoryInternet, 0},
    {"INO4", kMeaningINO4, kCategoryInternet, 0},
    {"IEM", kMeaningEmail, kCategoryInternet, 0},
    {"EMA", kMeaningEmail, kCategoryInternet, 0},
    {"EVY", kMeaningEmail, kCategoryInternet, 0},
    {"IMI", kMeaningIMI, kCategoryInternet, 0},
    {"ITX", kMeaningITX, kCategoryInternet, 0},
    {"IUC", kMeaningIUC, kCategoryInternet, 0},
    {"ISE", kMeaningISE, kCategoryInternet, 0},
    {"BND", kMeaningBND, kCategoryInternet, 0},
    {"TEL", kMeaningTEL, kCategoryInternet, 0},
    {"ZEC", kMeaningZEC, kCategoryUser, 0},
    {"REC", kMeaningREC, kCategoryUser, 0},
    {"NEC", kMeaningNEC, kCategoryUser, 0},
    {"NC", kMeaningNC, kCategoryUser, 0},
    {"RPK", kMeaningRPK, kCategoryUser, 0},
    {"NPK", kMeaningNPK, kCategoryUser, 0},
    {"SDS", kMeaningSDS, kCategoryUser, 0},
    {"SMH", kMeaningSMH, kCategoryUser, 0},
    {"ENC", kMeaningENC, kCategoryUser, 0},
    {"CDP", kMeaningCDP, kCategoryUser, 0},
    {"PING", kMeaningPING, kCategoryRobot, 0},
};

struct ZoneMailHour {
  int Hour;
  int Zone;
  int Start;
};

const ZoneMailHour kZoneMailHours[] = {
    {1, 5, 60},  {2, 2, 150},   {8, 4, 480},
    {9, 1, 540}, {18, 3, 1080}, {20, 6, 1200},
};

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

int IsDigit(char c) { return c >= '0' && c <= '9'; }

int NameIs(const char* name, size_t length, const char* word) {
  if (std::strlen(word) != length) return 0;
  for (size_t i = 0; i < length; ++i)
    if (Upper(name[i]) != word[i]) return 0;
  return 1;
}

const KnownFlag* FindKnown(const char* name, size_t length) {
  for (const KnownFlag& known : kKnownFlags)
    if (NameIs(name, length, known.Name)) return &known;
  return nullptr;
}

// Minutes after midnight of a time letter, or -1.
int LetterMinutes(char letter) {
  if (letter >= 'A' && letter <= 'X') return (letter - 'A') * 60;
  if (letter >= 'a' && letter <= 'x') return (letter - 'a') * 60 + 30;
  return -1;
}

int IsLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c);
}

// Txy: an online window, or an unreadable one.
int ReadTimeFlag(FlagInfo* flag) {
  const char* n = flag->Name;
  if (flag->NameLength != 3 || flag->Value || n[0] != 'T' ||
      !IsLetterOrDigit(n[1]) || !IsLetterOrDigit(n[2]))
    return 0;
  int start = LetterMinutes(n[1]);
  int end = LetterMinutes(n[2]);
  flag->Category = kCategoryTime;
  if (start < 0 || end < 0) {
    flag->Meaning = kMeaningUnreadable;
    return 1;
  }
  flag->Meaning = kMeaningOnline;
  flag->Start = static_cast<uint16_t>(start);
  flag->End = static_cast<uint16_t>(end);
  return 1;
}

// #nn and !nn, one or more of them.
int ReadMailHours(FlagInfo* flag) {
  const char* t = flag->Text;
  size_t length = flag->Length;
  if (t[0] != '#' && t[0] != '!') return 0;
  flag->Category = kCategoryMailHour;
  flag->Meaning = kMeaningUnreadable;
  size_t i = 0;
  uint8_t count = 0;
  while (i < length) {
    if ((t[i] != '#' && t[i] != '!') || i + 3 > length || !IsDigit(t[i + 1]) ||
        !IsDigit(t[i + 2]) || count == kMaxMailHours)
      return 1;
    int hour = (t[i + 1] - '0') * 10 + (t[i + 2] - '0');
    if (hour > 23) return 1;
    flag->Hours[count++] = static_cast<uint8_t>(hour);
    i += 3;
  }
  flag->Meaning = kMeaningMailHours;
  flag->HourCount = count;
  return 1;
}

// Splits the flag into name and value and strips a U prefix.
void SplitFlag(FlagCursor* cursor, FlagInfo* flag) {
  const char* colon =
      static_cast<const char*>(std::memchr(flag->Text, ':', flag->Length));
  flag->Name = flag->Text;
  flag->NameLength =
      colon ? static_cast<size_t>(colon - flag->Text) : flag->Length;
  if (colon) {
    flag->Value = colon + 1;
    flag->ValueLength = flag->Length - flag->NameLength - 1;
  }
  if (NameIs(flag->Name, flag->NameLength, "U")) return;
  flag->User = cursor->AfterU != 0;
  if (flag->Name[0] == 'U' && flag->NameLength > 1) {
    flag->User = 1;
    ++flag->Name;
    --flag->NameLength;
  }
}

void Classify(FlagInfo* flag) {
  const KnownFlag* known = FindKnown(flag->Name, flag->NameLength);
  if (known) {
    flag->Meaning = known->Meaning;
    flag->Category = known->Category;
    flag->Protocol = known->Protocol;
    flag->UserName =
        known->Category == kCategoryUser && known->Meaning != kMeaningUserFlags;
    return;
  }
  if (ReadTimeFlag(flag) || ReadMailHours(flag)) return;
  if ((flag->Name[0] == 'G' || flag->Name[0] == 'g') && flag->NameLength > 1 &&
      !flag->Value) {
    flag->Meaning = kMeaningGateway;
    flag->Category = kCategoryGateway;
    return;
  }
  if (flag->User) flag->Category = kCategoryUser;
}

}  // namespace

void StartFlags(FlagCursor* cursor, const char* flags, size_t length) {
  cursor->At = flags;
  cursor->End = flags ? flags + length : flags;
  cursor->AfterU = 0;
}

int NextFlag(FlagCursor* cursor, FlagInfo* flag) {
  while (cursor->At && cursor->At < cursor->End) {
    const char* start = cursor->At;
    size_t left = static_cast<size_t>(cursor->End - start);
    const char* comma = static_cast<const char*>(std::memchr(start, ',', left));
    size_t length = comma ? static_cast<size_t>(comma - start) : left;
    cursor->At = start + length + 1;
    if (length == 0) continue;
    std::memset(flag, 0, sizeof(*flag));
    flag->Text = start;
    flag->Length = length;
    SplitFlag(cursor, flag);
    Classify(flag);
    if (flag->Meaning == kMeaningUserFlags) cursor->AfterU = 1;
    return 1;
  }
  return 0;
}

int MailHourZone(int hour, int* start) {
  for (const ZoneMailHour& z : kZoneMailHours) {
    if (z.Hour == hour) {
      *start = z.Start;
      return z.Zone;
    }
  }
  *start = hour * 60;
  return 0;
}
