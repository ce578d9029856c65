#include "commands/flag_words.h"

#include <cstring>

#include "host/messages.h"
#include "nodelist/endpoints.h"
#include "nodelist/text_fields.h"
#include "panel/item_user_data.h"
#include "panel/listing.h"

static_assert(MCategoryLast - MCategoryOperation + 1 == kLastFlagCategory,
              "one category text per category");
static_assert(kMessageCount - MFlagPlainFirst == kPlainMeaningCount,
              "one message per plain flag meaning");

namespace {

const int kMinutesPerDay = 1440;

// A text being put together in a buffer of fixed size; what does not fit
// is left out.
struct TextOut {
  char* At;
  char* End;  // the place of the terminator when the buffer is full
};

void Append(TextOut* out, const char* text, size_t length) {
  size_t room = static_cast<size_t>(out->End - out->At);
  if (length > room) length = room;
  std::memcpy(out->At, text, length);
  out->At += length;
  *out->At = '\0';
}

void AppendText(TextOut* out, const char* text) {
  Append(out, text, std::strlen(text));
}

// Copies a language text, putting the arguments in place of its "%s" in
// turn; "%%" is a percent sign and any other '%' stays as it is. The
// texts come from the language file, so they are never used as a format.
void AppendFilled(TextOut* out, const char* format, const char* const* args,
                  int count) {
  int next = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (next < count) AppendText(out, args[next]);
      ++next;
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      Append(out, p, 1);
      ++p;
    } else {
      Append(out, p, 1);
    }
  }
}

// A language text; empty when the host has none.
const char* Text(int message) {
  const char* text = MessageTable[message];
  return text ? text : "";
}

void Fill(TextOut* out, int message, const char* a, const char* b = nullptr,
          const char* c = nullptr) {
  const char* args[] = {a, b ? b : "", c ? c : ""};
  AppendFilled(out, Text(message), args, 3);
}

int LocalMinutes(int utcMinutes) {
  int minutes = (utcMinutes + UtcOffsetMinutes) % kMinutesPerDay;
  return minutes < 0 ? minutes + kMinutesPerDay : minutes;
}

void WriteClock(char* at, int minutes) {
  at[0] = static_cast<char>('0' + minutes / 600);
  at[1] = static_cast<char>('0' + minutes / 60 % 10);
  at[2] = ':';
  at[3] = static_cast<char>('0' + minutes % 60 / 10);
  at[4] = static_cast<char>('0' + minutes % 10);
}

// "hh:mm-hh:mm" of a window from start to end (minutes of the day).
struct Window {
  char Text[sizeof("00:00-00:00")];
};

Window FormatWindow(int start, int end) {
  Window w;
  WriteClock(w.Text, start % kMinutesPerDay);
  w.Text[5] = '-';
  WriteClock(w.Text + 6, end % kMinutesPerDay);
  w.Text[11] = '\0';
  return w;
}

// The window in UTC and as the panel shows it in local time.
void FillWindow(TextOut* out, int message, const char* first, int start,
                int end) {
  Window utc = FormatWindow(start, end);
  Window local = FormatWindow(LocalMinutes(start), LocalMinutes(end));
  if (first)
    Fill(out, message, first, utc.Text, local.Text);
  else
    Fill(out, message, utc.Text, local.Text);
}

// The flag's value as a zero-terminated text, cut to the flags' room.
struct Value {
  char Text[kFlagsTextRoom + 1];
};

Value ValueOf(const FlagInfo& flag) {
  Value v;
  size_t length = flag.Value ? flag.ValueLength : 0;
  if (length > kFlagsTextRoom) length = kFlagsTextRoom;
  if (length > 0) std::memcpy(v.Text, flag.Value, length);
  v.Text[length] = '\0';
  return v;
}

int IsAllDigits(const char* text) {
  if (*text == '\0') return 0;
  for (; *text; ++text)
    if (*text < '0' || *text > '9') return 0;
  return 1;
}

void DescribeProtocol(const FlagInfo& flag, TextOut* out) {
  const char* name = EndpointProtocolName(flag.Protocol);
  Value value = ValueOf(flag);
  if (value.Text[0] == '\0') {
    char port[8];
    *WriteDecimal(port, EndpointDefaultPort(flag.Protocol)) = '\0';
    Fill(out, MFlagProtocolAlone, name, port);
  } else {
    Fill(out, IsAllDigits(value.Text) ? MFlagProtocolPort : MFlagProtocolHost,
         name, value.Text);
  }
}

void DescribeMailHours(const FlagInfo& flag, TextOut* out) {
  for (int i = 0; i < flag.HourCount; ++i) {
    if (i > 0) AppendText(out, "; ");
    int start = 0;
    int zone = MailHourZone(flag.Hours[i], &start);
    if (zone == 0) {
      FillWindow(out, MFlagMailHour, nullptr, start, start + 60);
      continue;
    }
    char number[8];
    *WriteDecimal(number, static_cast<uint16_t>(zone)) = '\0';
    FillWindow(out, MFlagZoneMailHour, number, start, start + 60);
  }
}

void DescribeGateway(const FlagInfo& flag, TextOut* out) {
  char name[kFlagsTextRoom + 1];
  size_t length = flag.NameLength - 1;
  if (length > kFlagsTextRoom) length = kFlagsTextRoom;
  std::memcpy(name, flag.Name + 1, length);
  name[length] = '\0';
  Fill(out, MFlagGateway, name);
}

void DescribeMeaning(const FlagInfo& flag, TextOut* out) {
  switch (flag.Meaning) {
    case kMeaningProtocol:
      DescribeProtocol(flag, out);
      return;
    case kMeaningHost:
      if (flag.Value && flag.ValueLength > 0)
        Fill(out, MFlagHost, ValueOf(flag).Text);
      else
        Fill(out, MFlagHostMissing, "");
      return;
    case kMeaningOnline:
      FillWindow(out, MFlagOnline, nullptr, flag.Start, flag.End);
      return;
    case kMeaningMailHours:
      DescribeMailHours(flag, out);
      return;
    case kMeaningGateway:
      DescribeGateway(flag, out);
      return;
    case kMeaningUnreadable:
      AppendText(out, Text(MFlagUnreadable));
      return;
  }
  AppendText(out, Text(MFlagPlainFirst + flag.Meaning - kFirstPlainMeaning));
  if (flag.Value && flag.ValueLength > 0) {
    AppendText(out, " (");
    AppendText(out, ValueOf(flag).Text);
    AppendText(out, ")");
  }
}

}  // namespace

void FlagLabel(const FlagInfo& flag, char* label, size_t size) {
  size_t length = static_cast<size_t>(flag.Name - flag.Text) + flag.NameLength;
  if (length >= size) length = size - 1;
  std::memcpy(label, flag.Text, length);
  label[length] = '\0';
}

void DescribeFlag(const FlagInfo& flag, char* text, size_t size) {
  TextOut out = {text, text + size - 1};
  *text = '\0';
  if (flag.Category != kCategoryNotStandard) {
    AppendText(&out, Text(MCategoryOperation + flag.Category - 1));
    AppendText(&out, ": ");
  }
  if (flag.Meaning == kMeaningNotStandard)
    AppendText(&out, Text(MFlagNotStandard));
  else
    DescribeMeaning(flag, &out);
}
