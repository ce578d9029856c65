// The standard nodelist flags: what each flag of an entry is (its category
// and its meaning), which of them are user flags, and the time and
// mail-hour flags read into minutes. The description file says in words
// what an entry's flags mean from this; the nodelist check of the compiler
// finds flags outside the standard lists with it. Nothing is allocated and
// the flags text is only read.
//
// The rules:
// - Flags are separated by commas; empty ones (",,") are skipped. A flag
//   may carry a value after its first colon ("IBN:24556"); the name before
//   it is matched without regard to case.
// - After a flag U (either case), every flag is a user flag; so is a flag
//   that begins with an upper-case U and goes on ("UZEC"), whose name is
//   the rest wherever it stands. A user flag that is a standard flag of another
//   kind (a time flag, an internet flag) keeps that meaning; one of the
//   standard user flags (ZEC, NC, ...) has its own; any other is a user flag
//   outside the lists.
// - Txy, a T and two letters or digits, is an online window: A..X the
//   hours 00..23, a..x half an hour later; any other character makes it
//   unreadable. Known
//   flags of three letters that begin with T (TEL) keep their own meaning.
// - #nn or !nn, several run together ("#02#09"), are mail hours, nn from
//   00 to 23; anything else after # or ! makes the flag unreadable.
// - Gx names a gateway to x.
#ifndef TOLVANE_NODELIST_FLAG_TABLE_H
#define TOLVANE_NODELIST_FLAG_TABLE_H

#include <cstddef>
#include <cstdint>

enum FlagCategory : uint8_t {
  kCategoryNotStandard = 0,
  kCategoryOperation = 1,
  kCategoryModem = 2,
  kCategoryIsdn = 3,
  kCategoryRequests = 4,
  kCategoryInternet = 5,
  kCategoryTime = 6,
  kCategoryMailHour = 7,
  kCategoryGateway = 8,
  kCategoryUser = 9,
  kCategoryRobot = 10,
  kLastFlagCategory = kCategoryRobot,
};

// What a flag means. The first ones take a value or the flag's own
// letters into their text; from kFirstPlainMeaning on each has one fixed
// text, in this order.
enum FlagMeaning : uint8_t {
  kMeaningNotStandard = 0,
  kMeaningProtocol,    // IBN, IFC, ITN, IVM, IFT: Protocol says which
  kMeaningHost,        // INA: the host of the protocol flags
  kMeaningOnline,      // Txy: Start and End
  kMeaningMailHours,   // #nn, !nn: Hours
  kMeaningGateway,     // Gx: the gateway's name after the G
  kMeaningUnreadable,  // a time or mail-hour flag that cannot be read
  kFirstPlainMeaning,
  kMeaningUserFlags = kFirstPlainMeaning,  // U itself
  kMeaningCM,
  kMeaningICM,
  kMeaningMO,
  kMeaningLO,
  kMeaningV21,
  kMeaningV22,
  kMeaningV29,
  kMeaningV32,
  kMeaningV32B,
  kMeaningV32T,
  kMeaningV33,
  kMeaningV34,
  kMeaningV90C,
  kMeaningV90S,
  kMeaningX2C,
  kMeaningX2S,
  kMeaningHST,
  kMeaningH14,
  kMeaningH16,
  kMeaningH96,
  kMeaningMAX,
  kMeaningPEP,
  kMeaningCSP,
  kMeaningZYX,
  kMeaningZ19,
  kMeaningVFC,
  kMeaningMNP,
  kMeaningV42,
  kMeaningV42B,
  kMeaningMN,
  kMeaningISDN,
  kMeaningV110L,
  kMeaningV110H,
  kMeaningV120L,
  kMeaningV120H,
  kMeaningX75,
  kMeaningXA,
  kMeaningXB,
  kMeaningXC,
  kMeaningXP,
  kMeaningXR,
  kMeaningXW,
  kMeaningXX,
  kMeaningIP,
  kMeaningINO4,
  kMeaningEmail,  // IEM, EMA, EVY
  kMeaningIMI,
  kMeaningITX,
  kMeaningIUC,
  kMeaningISE,
  kMeaningBND,
  kMeaningTEL,
  kMeaningZEC,
  kMeaningREC,
  kMeaningNEC,
  kMeaningNC,
  kMeaningRPK,
  kMeaningNPK,
  kMeaningSDS,
  kMeaningSMH,
  kMeaningENC,
  kMeaningCDP,
  kMeaningPING,
  kFlagMeaningCount,
};
enum { kPlainMeaningCount = kFlagMeaningCount - kFirstPlainMeaning };

enum { kMaxMailHours = 8 };

// One flag of an entry. The spans point into the flags text.
struct FlagInfo {
  const char* Text;  // the whole flag as written
  size_t Length;
  const char* Name;  // before the first colon, without a U prefix
  size_t NameLength;
  const char* Value;  // after the first colon; null without one
  size_t ValueLength;
  uint8_t Category;  // FlagCategory
  uint8_t Meaning;   // FlagMeaning
  uint8_t Protocol;  // EndpointProtocol of kMeaningProtocol, else 0
  uint8_t User;      // after U, or with a U prefix
  uint8_t UserName;  // the name is one of the standard user flags
  uint16_t Start;    // kMeaningOnline: minutes after midnight UTC
  uint16_t End;
  uint8_t HourCount;  // kMeaningMailHours: the hours, 0..23
  uint8_t Hours[kMaxMailHours];
};

// Where the walk over a flags text stands.
struct FlagCursor {
  const char* At;
  const char* End;
  int AfterU;
};

// Starts a walk over flags[0..length).
void StartFlags(FlagCursor* cursor, const char* flags, size_t length);

// Fills *flag with the next non-empty flag and returns 1, or returns 0 at
// the end of the text.
int NextFlag(FlagCursor* cursor, FlagInfo* flag);

// The zone whose mail hour starts in the hour `hour` (#01 Zone 5, #02 Zone
// 2, #08 Zone 4, #09 Zone 1, #18 Zone 3, #20 Zone 6), or 0. *start is that
// mail hour's start in minutes after midnight UTC (Zone 2's begins at
// 02:30); for another hour, the whole hour.
int MailHourZone(int hour, int* start);

#endif  // TOLVANE_NODELIST_FLAG_TABLE_H
