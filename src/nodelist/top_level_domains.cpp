#include "nodelist/top_level_domains.h"

namespace {

// In ASCII order, lower case.
const char* const kCountryCodes[] = {
    // Country codes, and the retired an, tp and yu.
    "ac", "ad", "ae", "af", "ag", "ai", "al", "am", "an", "ao", "aq", "ar",
    "as", "at", "au", "aw", "ax", "az", "ba", "bb", "bd", "be", "bf", "bg",
    "bh", "bi", "bj", "bm", "bn", "bo", "bq", "br", "bs", "bt", "bv", "bw",
    "by", "bz", "ca", "cc", "cd", "cf", "cg", "ch", "ci", "ck", "cl", "cm",
    "cn", "co", "cr", "cu", "cv", "cw", "cx", "cy", "cz", "de", "dj", "dk",
    "dm", "do", "dz", "ec", "ee", "eg", "er", "es", "et", "eu", "fi", "fj",
    "fk", "fm", "fo", "fr", "ga", "gb", "gd", "ge", "gf", "gg", "gh", "gi",
    "gl", "gm", "gn", "gp", "gq", "gr", "gs", "gt", "gu", "gw", "gy", "hk",
    "hm", "hn", "hr", "ht", "hu", "id", "ie", "il", "im", "in", "io", "iq",
    "ir", "is", "it", "je", "jm", "jo", "jp", "ke", "kg", "kh", "ki", "km",
    "kn", "kp", "kr", "kw", "ky", "kz", "la", "lb", "lc", "li", "lk", "lr",
    "ls", "lt", "lu", "lv", "ly", "ma", "mc", "md", "me", "mg", "mh", "mk",
    "ml", "mm", "mn", "mo", "mp", "mq", "mr", "ms", "mt", "mu", "mv", "mw",
    "mx", "my", "mz", "na", "nc", "ne", "nf", "ng", "ni", "nl", "no", "np",
    "nr", "nu", "nz", "om", "pa", "pe", "pf", "pg", "ph", "pk", "pl", "pm",
    "pn", "pr", "ps", "pt", "pw", "py", "qa", "re", "ro", "rs", "ru", "rw",
    "sa", "sb", "sc", "sd", "se", "sg", "sh", "si", "sj", "sk", "sl", "sm",
    "sn", "so", "sr", "ss", "st", "su", "sv", "sx", "sy", "sz", "tc", "td",
    "tf", "tg", "th", "tj", "tk", "tl", "tm", "tn", "to", "tp", "tr", "tt",
    "tv", "tw", "tz", "ua", "ug", "uk", "us", "uy", "uz", "va", "vc", "ve",
    "vg", "vi", "vn", "vu", "wf", "ws", "ye", "yt", "yu", "za", "zm", "zw",
};

const char* const kGenericDomains[] = {
    // The original and sponsored generic domains, then newer ones that
    // systems are named in.
    "aero",    "app",   "arpa",  "asia",    "biz",    "blog", "cat",  "cloud",
    "club",    "com",   "coop",  "dev",     "edu",    "fun",  "gov",  "homes",
    "host",    "info",  "int",   "jobs",    "link",   "live", "mil",  "mobi",
    "museum",  "name",  "net",   "network", "online", "org",  "post", "pro",
    "site",    "space", "store", "systems", "tech",   "tel",  "top",  "travel",
    "website", "world", "xxx",   "xyz",     "zone",
};

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Compares the label with a table entry: <0, 0 or >0.
int CompareLabel(const char* label, size_t length, const char* entry) {
  for (size_t i = 0; i < length; ++i) {
    char c = Lower(label[i]);
    if (entry[i] == '\0' || c > entry[i]) return 1;
    if (c < entry[i]) return -1;
  }
  return entry[length] == '\0' ? 0 : -1;
}

template <size_t N>
int InTable(const char* const (&table)[N], const char* label, size_t length) {
  size_t low = 0, high = N;
  while (low < high) {
    size_t middle = low + (high - low) / 2;
    int c = CompareLabel(label, length, table[middle]);
    if (c == 0) return 1;
    if (c < 0)
      high = middle;
    else
      low = middle + 1;
  }
  return 0;
}

}  // namespace

int IsTopLevelDomain(const char* label, size_t length) {
  if (length == 2) return InTable(kCountryCodes, label, length);
  return length > 2 && InTable(kGenericDomains, label, length);
}
