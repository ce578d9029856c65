// The synthetic nodelist generator. Sections: random numbers and name
// pools, the plan of nets, writing the nodelist, writing the pointlist.
#include "generator/generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "compiler/nodelist_line.h"

namespace v7gen {

namespace {

// splitmix64: small, fast and the same on every platform.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Below(uint32_t n) {
    return n ? static_cast<uint32_t>(Next() % n) : 0;
  }
  double Unit() { return (Next() >> 11) * (1.0 / 9007199254740992.0); }
  // An index skewed towards 0: a few values are common, most are rare.
  uint32_t Skewed(uint32_t n) {
    return std::min(n - 1, static_cast<uint32_t>(n * std::pow(Unit(), 2.0)));
  }

 private:
  uint64_t state_;
};

template <size_t N>
const char* Pick(Rng* rng, const char* const (&pool)[N]) {
  return pool[rng->Below(N)];
}

// The most frequent surname comes first; "Ivanovsky" shares its beginning.
const char* const kSurnames[] = {
    "Ivanov",      "Smith",       "Petrov",    "Mueller",      "Johnson",
    "Schmidt",     "Sidorov",     "Kuznetsov", "Brown",        "Jones",
    "Miller",      "Popov",       "Smirnov",   "Volkov",       "Fedorov",
    "Morozov",     "Novikov",     "Kozlov",    "Lebedev",      "Sokolov",
    "Schneider",   "Fischer",     "Weber",     "Meyer",        "Wagner",
    "Becker",      "Jansen",      "de_Vries",  "van_der_Berg", "O'Brien",
    "O'Connor",    "Smith-Jones", "MacDonald", "Dubois",       "Martin",
    "Rossi",       "Garcia",      "Nowak",     "Kowalski",     "Nielsen",
    "Andersson",   "Tanaka",      "Ivanovsky", "Shcherbakov",  "Zhukov",
    "Khabibullin", "Yakovlev",    "Tkachenko", "Kovalenko",    "Bondarenko",
    "Lindqvist",   "Haraldsen",   "Moreau",    "Lefebvre",     "Esposito",
    "Bianchi",     "Fernandez",   "Lopez",     "Silva",        "Santos"};
const char* const kGiven[] = {
    "John",     "Michael",  "David",    "James",     "Robert",   "Peter",
    "Thomas",   "Hans",     "Klaus",    "Juergen",   "Sergey",   "Alexander",
    "Dmitry",   "Andrey",   "Vladimir", "Igor",      "Oleg",     "Yuri",
    "Pavel",    "Nikolai",  "Mark",     "Paul",      "Jan",      "Pieter",
    "Lars",     "Mikael",   "Bjorn",    "Pierre",    "Jean-Luc", "Marco",
    "Giovanni", "Carlos",   "Jose",     "Kenji",     "Tomasz",   "Anna",
    "Maria",    "Elena",    "Olga",     "Natalia",   "Irina",    "Susan",
    "Karen",    "Mary_Ann", "Evgeny",   "Stanislav", "Wojciech", "Henrik"};
const char* const kSystemWords[] = {
    "Amber",    "Northern", "Lighthouse", "Dragon",  "Silver",
    "Midnight", "Harbour",  "Pioneer",    "Granite", "Aurora",
    "Falcon",   "Cellar",   "Orbit",      "Tundra",  "Cobalt",
    "Willow",   "Quasar",   "Beacon",     "Copper",  "Nomad"};
const char* const kSystemForms[] = {"%s_BBS",    "The_%s",     "%s_Point",
                                    "%s_Online", "%s_Station", "%s_Mail"};
const char* const kCities[][6] = {
    {"Springfield_OR", "Lakeview_MN", "Riverton_WY", "Fairhaven_MA",
     "Cedar_Falls_IA", "Port_Alder_BC"},
    {"Novgorod", "Tver", "Muenster", "Brugge", "Uppsala", "Lyon"},
    {"Ballarat_Vic", "Nelson_NZ", "Toowoomba_Qld", "Timaru_NZ", "Mackay_Qld",
     "Lae_PNG"},
    {"Rosario", "Valparaiso", "Curitiba", "Cordoba", "Arequipa", "Salto"},
    {"Bloemfontein", "Kumasi", "Mombasa", "Windhoek", "Durban", "Lusaka"},
    {"Sapporo", "Busan", "Cebu", "Penang", "Chiang_Mai", "Kaohsiung"},
    {"Reykjavik", "Tallinn", "Riga", "Vilnius", "Tartu", "Akureyri"}};
const char* const kCountryCodes[] = {"1", "7", "61", "54", "27", "81", "372"};
const uint32_t kSpeeds[] = {300,   1200,  2400,  9600, 14400,
                            19200, 28800, 33600, 38400};
const char* const kFlagSets[] = {
    "CM,XA,V34,IBN",          "XA,V32B,U,TAH",    "CM,IBN,INA:bbs.example",
    "XW,V90C,U,TWC",          "CM,ITN,IBN:24555", "XA,U,TcK",
    "CM,V34,VFC,ICM",         "XX,U,TYF,IBN",     "IBN,INA:fido.example.net",
    "CM,XA,H16,V32T,ZYX,IBN", "MO,XR,U,TQT"};

// The unique sysop whose name no pool can produce.
const char kRareGiven[] = "Zebediah";
const char kRareSurname[] = "Quillfeather";

}  // namespace

namespace {

enum class Role { kZone, kRegion, kHost, kHub, kNode };

// "zone:net" or "zone:net/node" as text.
std::string AddressText(unsigned zone, unsigned net, int node) {
  char text[32];
  if (node < 0)
    snprintf(text, sizeof(text), "%u:%u", zone, net);
  else
    snprintf(text, sizeof(text), "%u:%u/%d", zone, net, node);
  return text;
}

// A list: the first line with its CRC, the body, the closing ^Z.
std::string WithCrcLine(const char* title, const std::string& body) {
  char first[128];
  snprintf(
      first, sizeof(first), ";A %s -- Day number 001 : %u\r\n", title,
      static_cast<unsigned>(v7c::UpdateCrc16(0, body.data(), body.size())));
  std::string list(first);
  list.append(body);
  list.push_back('\x1A');
  return list;
}

class Writer {
 public:
  Writer(const GeneratorOptions& options, GeneratedList* out)
      : rng_(options.seed), out_(out) {}

  // Plans and writes the nodelist body of `budget` entry lines.
  void WriteNodelist(uint32_t budget);
  // Writes `count` points under nodes that the nodelist holds.
  void WritePointlist(uint32_t count);

 private:
  void WriteZone(uint16_t zone, uint32_t regions,
                 const std::vector<uint32_t>& nets, size_t* next_net,
                 uint32_t regions_total, uint32_t* region_ordinal);
  void WriteNet(uint16_t zone, uint16_t net, uint32_t size);
  void WriteEntry(Role role, uint16_t zone, uint16_t net, uint16_t number,
                  std::string* body);
  int WriteSysop(char* out, size_t size, int rare);
  void WritePhone(char* out, size_t size, uint16_t zone, int unpublished);

  Rng rng_;
  GeneratedList* out_;
  std::string body_;
  std::vector<uint64_t> nodes_;  // plain nodes, candidates for points
  uint32_t plain_seen_ = 0;
  uint32_t rare_ordinal_ = 0;
  int no_down_ = 0;  // the 5,000-node net lists all its nodes
};

// Writes a sysop name; returns 1 when its surname begins with the common
// prefix.
int Writer::WriteSysop(char* out, size_t size, int rare) {
  if (rare) {
    snprintf(out, size, "%s_%s", kRareGiven, kRareSurname);
    return 0;
  }
  const char* surname = kSurnames[rng_.Skewed(std::size(kSurnames))];
  snprintf(out, size, "%s_%s", kGiven[rng_.Skewed(std::size(kGiven))], surname);
  return strncmp(surname, kSurnames[0], strlen(kSurnames[0])) == 0;
}

void Writer::WritePhone(char* out, size_t size, uint16_t zone,
                        int unpublished) {
  uint32_t kind = rng_.Below(100);
  if (unpublished || kind < 8) {
    snprintf(out, size, "-Unpublished-");
  } else if (kind < 13) {
    snprintf(out, size, "000-%u-%u-%u-%u", 10 + rng_.Below(200),
             rng_.Below(256), rng_.Below(256), 1 + rng_.Below(254));
  } else {
    snprintf(out, size, "%s-%u-555-%04u", kCountryCodes[(zone - 1) % 7],
             100 + rng_.Below(900), rng_.Below(10000));
  }
}

void Writer::WriteEntry(Role role, uint16_t zone, uint16_t net, uint16_t number,
                        std::string* body) {
  static const char* const kRoleWords[] = {"Zone", "Region", "Host", "Hub", ""};
  const char* keyword = kRoleWords[static_cast<int>(role)];
  int rare = 0;
  if (role == Role::kNode) {
    uint32_t r = rng_.Below(1000);
    rare = plain_seen_++ == rare_ordinal_;
    keyword = rare     ? ""
              : r < 20 ? "Pvt"
              : r < 30 ? "Hold"
              : r < 35 ? "Down"
                       : "";
    if (no_down_ && keyword[0] == 'D') keyword = "";
  }
  int pvt = keyword[0] == 'P';
  int coordinator =
      role == Role::kZone || role == Role::kRegion || role == Role::kHost;
  uint16_t shown = role == Role::kZone ? zone : coordinator ? net : number;
  char system[48], sysop[48], phone[40], line[256];
  snprintf(system, sizeof(system), Pick(&rng_, kSystemForms),
           Pick(&rng_, kSystemWords));
  int common = WriteSysop(sysop, sizeof(sysop), rare);
  WritePhone(phone, sizeof(phone), zone, pvt);
  int n = snprintf(line, sizeof(line), "%s,%u,%s,%s,%s,%s,%u,%s\r\n", keyword,
                   shown, system, kCities[(zone - 1) % 7][rng_.Below(6)], sysop,
                   phone, kSpeeds[rng_.Below(std::size(kSpeeds))],
                   Pick(&rng_, kFlagSets));
  body->append(line, static_cast<size_t>(n));
  uint64_t address = (uint64_t{zone} << 32) | (uint64_t{net} << 16) | number;
  if (keyword[0] == 'D') {
    ++out_->down;
    return;
  }
  out_->common_count += common;
  if (role == Role::kNode) nodes_.push_back(address);
  if (rare) {
    out_->rare_key.assign(kRareSurname).append(", ").append(kRareGiven);
    out_->rare_address = AddressText(zone, net, number);
  }
}

}  // namespace

namespace {

// Net sizes (host included) that add up to `lines`: one net of exactly
// 5,000 entries when there is room, the rest spread from 1 to 3,000.
std::vector<uint32_t> PlanNets(uint32_t lines, Rng* rng, int* big) {
  std::vector<uint32_t> nets;
  *big = lines >= 6000;
  if (*big) {
    nets.push_back(5000);
    lines -= 5000;
  }
  uint32_t cap = std::max<uint32_t>(2, std::min<uint32_t>(3000, lines / 4));
  while (lines > 0) {
    double size = std::exp(rng->Unit() * std::log(static_cast<double>(cap)));
    uint32_t s = std::min<uint32_t>(lines, std::max<uint32_t>(1, size));
    nets.push_back(s);
    lines -= s;
  }
  for (size_t i = nets.size(); i > 1; --i)
    std::swap(nets[i - 1], nets[rng->Below(static_cast<uint32_t>(i))]);
  return nets;
}

}  // namespace

void Writer::WriteNet(uint16_t zone, uint16_t net, uint32_t size) {
  WriteEntry(Role::kHost, zone, net, 0, &body_);
  no_down_ = size == 5000;
  if (no_down_) out_->big_net = AddressText(zone, net, -1);
  uint32_t left = size - 1;
  uint32_t node = 0;
  uint32_t loose = std::min<uint32_t>(left, 1 + rng_.Below(5));
  for (; left > 0; --left) {
    node += 1 + (size <= 10000 ? rng_.Below(3) : 0);
    if (loose == 0 && left >= 2) {
      WriteEntry(Role::kHub, zone, net, static_cast<uint16_t>(node), &body_);
      loose = 4 + rng_.Below(57);  // nodes of this hub
      continue;
    }
    if (loose > 0) --loose;
    WriteEntry(Role::kNode, zone, net, static_cast<uint16_t>(node), &body_);
  }
}

void Writer::WriteZone(uint16_t zone, uint32_t regions,
                       const std::vector<uint32_t>& nets, size_t* next_net,
                       uint32_t regions_total, uint32_t* region_ordinal) {
  WriteEntry(Role::kZone, zone, zone, 0, &body_);
  WriteEntry(Role::kNode, zone, zone, 1, &body_);
  WriteEntry(Role::kNode, zone, zone, 2, &body_);
  uint32_t net_number = 100;
  for (uint32_t r = 1; r <= regions; ++r) {
    uint16_t region = static_cast<uint16_t>(zone * 10 + r);
    WriteEntry(Role::kRegion, zone, region, 0, &body_);
    WriteEntry(Role::kNode, zone, region, 1, &body_);
    WriteEntry(Role::kNode, zone, region, 2, &body_);
    ++*region_ordinal;
    size_t end = nets.size() * *region_ordinal / regions_total;
    for (; *next_net < end; ++*next_net) {
      net_number += 1 + rng_.Below(5);
      WriteNet(zone, static_cast<uint16_t>(net_number), nets[*next_net]);
    }
  }
}

void Writer::WriteNodelist(uint32_t budget) {
  uint32_t zones =
      budget < 1000 ? 3 : std::min<uint32_t>(7, 3 + budget / 200000);
  uint32_t regions =
      budget < 1000 ? 1 : std::min<uint32_t>(9, 2 + budget / (zones * 40000));
  uint32_t fixed = zones * 3 + zones * regions * 3;
  rare_ordinal_ = rng_.Below(budget / 4 + 1);
  int big = 0;
  std::vector<uint32_t> nets = PlanNets(budget - fixed, &rng_, &big);
  size_t next_net = 0;
  uint32_t region_ordinal = 0;
  for (uint32_t z = 1; z <= zones; ++z)
    WriteZone(static_cast<uint16_t>(z), regions, nets, &next_net,
              zones * regions, &region_ordinal);
  out_->nodelist_entries = budget;
  out_->nodelist =
      WithCrcLine("Synthetic nodelist for Tolvane benchmarks", body_);
  body_.clear();
}

void Writer::WritePointlist(uint32_t count) {
  std::vector<std::pair<uint64_t, uint32_t>> bosses;
  for (size_t i = nodes_.size(); i > 1; --i)
    std::swap(nodes_[i - 1], nodes_[rng_.Below(static_cast<uint32_t>(i))]);
  for (size_t i = 0; i < nodes_.size() && count > 0; ++i) {
    uint32_t n = (i == 0 && count >= 500) ? 500 : 1 + rng_.Skewed(60);
    n = std::min(n, count);
    bosses.push_back({nodes_[i], n});
    count -= n;
  }
  if (!bosses.empty() && bosses[0].second == 500) {
    uint64_t a = bosses[0].first;
    out_->big_boss = AddressText(a >> 32, (a >> 16) & 0xFFFF, a & 0xFFFF);
  }
  std::sort(bosses.begin(), bosses.end());
  std::string body;
  for (const auto& [a, n] : bosses) {
    uint16_t zone = static_cast<uint16_t>(a >> 32);
    body.append("Boss,")
        .append(AddressText(zone, (a >> 16) & 0xFFFF, a & 0xFFFF))
        .append("\r\n");
    for (uint32_t p = 1; p <= n; ++p) {
      char sysop[48], line[160];
      out_->common_count += WriteSysop(sysop, sizeof(sysop), 0);
      int len = snprintf(
          line, sizeof(line), ",%u,%s_Point,%s,%s,-Unpublished-,%u,XA,V34\r\n",
          p, Pick(&rng_, kSystemWords), kCities[(zone - 1) % 7][rng_.Below(6)],
          sysop, kSpeeds[rng_.Below(std::size(kSpeeds))]);
      body.append(line, static_cast<size_t>(len));
      ++out_->points;
    }
  }
  out_->pointlist =
      WithCrcLine("Synthetic pointlist for Tolvane benchmarks", body);
}

int GenerateNodelist(const GeneratorOptions& options, GeneratedList* out) {
  *out = GeneratedList{};
  if (options.entries < 40) return 0;
  out->common_prefix = kSurnames[0];
  uint32_t points = options.with_points ? options.entries / 10 : 0;
  Writer writer(options, out);
  writer.WriteNodelist(options.entries - points);
  if (options.with_points) writer.WritePointlist(points);
  return 1;
}

}  // namespace v7gen
