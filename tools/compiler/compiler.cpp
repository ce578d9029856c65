// The compiler in memory. Sections: replacing duplicate addresses, the
// hierarchy, the sorted keys of the three indexes, the V7+ links, writing.
#include "compiler/compiler.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

#include "compiler/btree_writer.h"
#include "compiler/file_sync.h"
#include "compiler/keys.h"
#include "compiler/record_writer.h"
#include "nodelist/v7_format.h"

namespace v7c {

namespace {

// Reserves room for n elements, advised for large pages when it is large.
template <typename Container>
void ReserveLarge(Container* c, size_t n) {
  c->reserve(n);
  AdviseLargeBuffer(c->data(), c->capacity() * sizeof(*c->data()));
}

// What the compiler works with after reading: the entries, which of them
// survive, and every per-entry number computed on the way.
struct Work {
  const std::vector<SourceText>* sources;
  std::vector<Entry> entries;
  std::vector<uint32_t> alive_of;  // the live entry holding each address
  std::vector<uint32_t> order;     // live entries in address order
  std::vector<uint32_t> parent;    // resolved parent of each live entry
  std::vector<uint32_t> dat_offset, dtp_offset;
  std::vector<PlusLinks> links;
};

// ---------------------------------------------------------------------
// Duplicate addresses: the last entry of each address survives.

void FormatEntryAddress(const Entry& e, char* out, size_t size) {
  if (e.node_flags & v7::kFlagPoint)
    snprintf(out, size, "%u:%u/%u.%u", e.zone, e.net, e.node, e.point);
  else
    snprintf(out, size, "%u:%u/%u", e.zone, e.net, e.node);
}

uint32_t ReplaceDuplicates(Work* w, Reporter* reporter) {
  std::vector<std::pair<uint64_t, uint32_t>> sorted;
  ReserveLarge(&sorted, w->entries.size());
  sorted.resize(w->entries.size());
  for (uint32_t i = 0; i < w->entries.size(); ++i)
    sorted[i] = {AddressKey(w->entries[i]), i};
  std::sort(sorted.begin(), sorted.end());
  ReserveLarge(&w->alive_of, w->entries.size());
  w->alive_of.assign(w->entries.size(), kNoEntry);
  w->order.clear();
  uint32_t replaced = 0;
  for (size_t i = 0; i < sorted.size();) {
    size_t j = i;
    while (j + 1 < sorted.size() && sorted[j + 1].first == sorted[i].first) ++j;
    uint32_t live = sorted[j].second;
    for (size_t k = i; k <= j; ++k) w->alive_of[sorted[k].second] = live;
    for (size_t k = i; k < j; ++k) {
      const Entry& old = w->entries[sorted[k].second];
      const Entry& now = w->entries[sorted[k + 1].second];
      char address[40];
      FormatEntryAddress(now, address, sizeof(address));
      Warn(reporter, "%s:%u: %s replaces the earlier entry at %s:%u",
           (*w->sources)[now.source].name.c_str(), now.line_number, address,
           (*w->sources)[old.source].name.c_str(), old.line_number);
      ++replaced;
    }
    w->order.push_back(live);
    i = j + 1;
  }
  return replaced;
}

int IsLive(const Work& w, uint32_t i) { return w.alive_of[i] == i; }

// ---------------------------------------------------------------------
// Hierarchy: parents through replaced entries, points under their boss.

uint32_t ResolveParent(const Work& w, uint32_t i) {
  uint32_t p = w.entries[i].parent;
  for (int step = 0; step < 16 && p != kNoEntry; ++step) {
    uint32_t live = w.alive_of[p];
    if (live != i) return live;
    p = w.entries[p].parent;  // the entry replaced its own coordinator
  }
  return kNoEntry;
}

// Walks the live entries in address order, where every node comes right
// before its points, and gives each point its boss.
void ResolveHierarchy(Work* w, Reporter* reporter) {
  w->parent.assign(w->entries.size(), kNoEntry);
  uint32_t node = kNoEntry;
  uint64_t missing = ~0ull;
  for (uint32_t i : w->order) {
    Entry& e = w->entries[i];
    if (!(e.node_flags & v7::kFlagPoint)) {
      node = i;
      w->parent[i] = ResolveParent(*w, i);
      continue;
    }
    uint64_t boss = AddressKey(e) & ~0xFFFFull;
    if (node != kNoEntry && AddressKey(w->entries[node]) == boss) {
      w->parent[i] = node;
      e.region = w->entries[node].region;
    } else if (boss != missing) {
      missing = boss;
      Warn(reporter,
           "%s:%u: the boss %u:%u/%u of this point is not in the "
           "nodelist",
           (*w->sources)[e.source].name.c_str(), e.line_number, e.zone, e.net,
           e.node);
    }
  }
}

// ---------------------------------------------------------------------
// Index keys.

struct TextKey {
  uint64_t prefix;   // folded bytes 0..7, big-endian, zero padded
  uint64_t prefix2;  // folded bytes 8..15
  uint64_t address;
  uint32_t offset;
  uint16_t length;
  uint32_t entry;
};

struct KeyedEntries {
  std::string arena;  // the keys as stored
  std::vector<TextKey> keys;
};

// Orders two keys by their bytes with ASCII letters folded to upper case;
// a key that begins the other sorts first. Keys hold no zero bytes, so the
// zero-padded prefixes order the first 16 bytes; the rest, rarely needed,
// is folded as it is compared.
int CompareFoldedKeys(const char* arena, const TextKey& a, const TextKey& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  if (a.prefix2 != b.prefix2) return a.prefix2 < b.prefix2 ? -1 : 1;
  if (a.length > 16 && b.length > 16)
    return CompareFolded(arena + a.offset + 16, a.length - 16,
                         arena + b.offset + 16, b.length - 16);
  return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
}

void SortTextKeys(KeyedEntries* k) {
  const char* arena = k->arena.data();
  for (TextKey& t : k->keys) {
    t.prefix = FoldedPrefix(arena + t.offset, t.length);
    t.prefix2 =
        t.length > 8 ? FoldedPrefix(arena + t.offset + 8, t.length - 8) : 0;
  }
  std::sort(k->keys.begin(), k->keys.end(),
            [arena](const TextKey& a, const TextKey& b) {
              int c = CompareFoldedKeys(arena, a, b);
              if (c != 0) return c < 0;
              return a.address < b.address;
            });
}

// Sysop keys in full ("Surname, Given names"), sorted; the index stores
// their first v7::kMaxSysopKey bytes.
void BuildSysopKeys(const Work& w, KeyedEntries* k) {
  ReserveLarge(&k->arena, w.order.size() * 24);
  ReserveLarge(&k->keys, w.order.size());
  for (uint32_t i : w.order) {
    const Entry& e = w.entries[i];
    uint32_t offset = static_cast<uint32_t>(k->arena.size());
    size_t n =
        AppendSysopKey(e.line + e.sysop.offset, e.sysop.length, &k->arena);
    k->keys.push_back(
        {0, 0, AddressKey(e), offset, static_cast<uint16_t>(n), i});
  }
  SortTextKeys(k);
}

void BuildPhoneKeys(const Work& w, KeyedEntries* k) {
  ReserveLarge(&k->arena, w.order.size() * 14);
  ReserveLarge(&k->keys, w.order.size());
  char key[kMaxPhone];
  for (uint32_t i : w.order) {
    const Entry& e = w.entries[i];
    size_t n = PhoneKey(e.line + e.phone.offset, e.phone.length, key);
    k->keys.push_back({0, 0, AddressKey(e),
                       static_cast<uint32_t>(k->arena.size()),
                       static_cast<uint16_t>(n), i});
    k->arena.append(key, n);
  }
  SortTextKeys(k);
}

void TextIndex(const Work& w, const KeyedEntries& k, uint16_t max_key,
               uint16_t block_size, ByteSink* out) {
  std::vector<IndexItem> items(k.keys.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const TextKey& t = k.keys[i];
    items[i] = {reinterpret_cast<const uint8_t*>(k.arena.data()) + t.offset,
                std::min(t.length, max_key), w.dat_offset[t.entry]};
  }
  WriteIndexFile(items.data(), items.size(), block_size, out);
}

void AddressIndex(const Work& w, uint16_t block_size, ByteSink* out) {
  std::vector<uint8_t> keys(w.order.size() * v7::kPointKeySize);
  std::vector<IndexItem> items(w.order.size());
  for (size_t i = 0; i < w.order.size(); ++i) {
    const Entry& e = w.entries[w.order[i]];
    uint8_t* k = keys.data() + i * v7::kPointKeySize;
    const uint16_t parts[4] = {e.zone, e.net, e.node, e.point};
    for (int p = 0; p < 4; ++p) {
      k[2 * p] = static_cast<uint8_t>(parts[p]);
      k[2 * p + 1] = static_cast<uint8_t>(parts[p] >> 8);
    }
    uint16_t length =
        (e.node_flags & v7::kFlagPoint) ? v7::kPointKeySize : v7::kNodeKeySize;
    items[i] = {k, length, w.dat_offset[w.order[i]]};
  }
  WriteIndexFile(items.data(), items.size(), block_size, out);
}

// ---------------------------------------------------------------------
// V7+ links.

// Links runs of equal keys into rings in index order; `skip` leaves a key
// out (unpublished phones). Sets next and sequence through the setter.
template <typename Set, typename Skip>
void LinkRings(const Work& w, const KeyedEntries& k, Skip skip, Set set) {
  const char* arena = k.arena.data();
  for (size_t i = 0; i < k.keys.size();) {
    size_t j = i + 1;
    while (j < k.keys.size() &&
           CompareFoldedKeys(arena, k.keys[i], k.keys[j]) == 0)
      ++j;
    if (j - i > 1 && !skip(k.keys[i])) {
      for (size_t m = i; m < j; ++m) {
        uint32_t next = k.keys[m + 1 < j ? m + 1 : i].entry;
        size_t seq = m - i + 1;
        set(k.keys[m].entry, w.dat_offset[next],
            static_cast<uint8_t>(seq > 255 ? 255 : seq));
      }
    }
    i = j;
  }
}

void LinkHierarchy(Work* w, uint16_t* top_count, uint32_t* first_top) {
  std::vector<uint32_t> last_child(w->entries.size(), kNoEntry);
  uint32_t last_top = kNoEntry;
  *top_count = 0;
  *first_top = v7::kNoLink;
  for (uint32_t i = 0; i < w->entries.size(); ++i) {
    if (!IsLive(*w, i)) continue;
    uint32_t p = w->parent[i];
    int point = (w->entries[i].node_flags & v7::kFlagPoint) != 0;
    if (p == kNoEntry && point) continue;  // a point without its boss
    uint32_t* previous = p == kNoEntry ? &last_top : &last_child[p];
    if (p == kNoEntry) {
      if (*top_count < 0xFFFF) ++*top_count;
      if (*first_top == v7::kNoLink) *first_top = w->dat_offset[i];
    } else {
      PlusLinks& up = w->links[p];
      if (up.downlinks < 0xFFFF) ++up.downlinks;
      if (up.first_downlink == v7::kNoLink)
        up.first_downlink = w->dat_offset[i];
    }
    if (*previous != kNoEntry)
      w->links[*previous].next_sibling = w->dat_offset[i];
    *previous = i;
  }
}

void InitLinks(Work* w) {
  ReserveLarge(&w->links, w->entries.size());
  w->links.assign(w->entries.size(),
                  PlusLinks{0, 0, v7::kNoLink, v7::kNoLink, v7::kNoLink, 0, 0,
                            0, v7::kNoLink});
  for (uint32_t i : w->order) {
    const Entry& e = w->entries[i];
    w->links[i].region = e.region;
    w->links[i].hub = (e.node_flags & v7::kFlagPoint) ? e.node : e.hub_or_point;
  }
}

// ---------------------------------------------------------------------
// Writing.

RecordExtras ExtrasOf(const Entry& e, const PasswordTable* passwords,
                      const CostTable* costs, int plus, uint32_t dtp_offset) {
  RecordExtras x = {0, nullptr, 0, plus, dtp_offset};
  if (passwords) {
    auto it = passwords->by_address.find(AddressKey(e));
    if (it != passwords->by_address.end()) {
      x.password = it->second.data();
      x.password_length = it->second.size();
    }
  }
  const char* phone = e.line + e.phone.offset;
  int unpublished = IsUnpublishedPhone(phone, e.phone.length);
  if (unpublished || costs) {
    char key[kMaxPhone];
    size_t n = PhoneKey(phone, e.phone.length, key);
    x.call_cost =
        costs ? LookUpCost(*costs, key, n, unpublished) : kUnpublishedCost;
  }
  return x;
}

// Gives every live entry its data and V7+ record offsets. Returns 0 when
// a file would outgrow the 32-bit offsets.
int PlaceRecords(Work* w, const PasswordTable* passwords,
                 const CostTable* costs, int plus) {
  w->dat_offset.assign(w->entries.size(), 0);
  w->dtp_offset.assign(w->entries.size(), 0);
  uint64_t dat = 0, dtp = v7::kDtpHeaderSize;
  for (uint32_t i = 0; i < w->entries.size(); ++i) {
    if (!IsLive(*w, i)) continue;
    const Entry& e = w->entries[i];
    w->dat_offset[i] = static_cast<uint32_t>(dat);
    w->dtp_offset[i] = static_cast<uint32_t>(dtp);
    dat += DataRecordSize(e, ExtrasOf(e, passwords, costs, plus, 0));
    if (plus) dtp += PlusRecordSize(e);
    if (dat > 0xFFFFFFFFull || dtp > 0xFFFFFFFFull) return 0;
  }
  return 1;
}

void WriteDataFile(const Work& w, const PasswordTable* passwords,
                   const CostTable* costs, int plus, ByteSink* out) {
  for (uint32_t i = 0; i < w.entries.size(); ++i) {
    if (!IsLive(w, i)) continue;
    const Entry& e = w.entries[i];
    WriteDataRecord(e, ExtrasOf(e, passwords, costs, plus, w.dtp_offset[i]),
                    out);
  }
}

void WritePlusFile(const Work& w, uint16_t top_count, uint32_t first_top,
                   ByteSink* out) {
  WritePlusHeader(top_count, first_top, out);
  for (uint32_t i = 0; i < w.entries.size(); ++i)
    if (IsLive(w, i)) WritePlusRecord(w.entries[i], w.links[i], out);
}

void WarnUnusedPasswords(const Work& w, const PasswordTable& passwords,
                         Reporter* reporter) {
  std::vector<uint64_t> live(w.order.size());
  for (size_t i = 0; i < w.order.size(); ++i)
    live[i] = AddressKey(w.entries[w.order[i]]);
  for (const auto& [address, password] : passwords.by_address) {
    if (std::binary_search(live.begin(), live.end(), address)) continue;
    Warn(reporter, "password for %u:%u/%u.%u: no such entry in the nodelist",
         static_cast<unsigned>(address >> 48),
         static_cast<unsigned>(address >> 32) & 0xFFFF,
         static_cast<unsigned>(address >> 16) & 0xFFFF,
         static_cast<unsigned>(address) & 0xFFFF);
  }
}

void Link(Work* w, const KeyedEntries& sysops, const KeyedEntries& phones,
          uint16_t* top_count, uint32_t* first_top) {
  InitLinks(w);
  LinkRings(
      *w, sysops, [](const TextKey&) { return false; },
      [w](uint32_t i, uint32_t next, uint8_t seq) {
        w->links[i].next_sysop = next;
        w->links[i].sysop_seq = seq;
      });
  const char* base = phones.arena.data();
  LinkRings(
      *w, phones,
      [base](const TextKey& t) {
        return CompareFolded(base + t.offset, t.length, kUnpublishedKey,
                             sizeof(kUnpublishedKey) - 1) == 0;
      },
      [w](uint32_t i, uint32_t next, uint8_t seq) {
        w->links[i].next_phone = next;
        w->links[i].phone_seq = seq;
      });
  LinkHierarchy(w, top_count, first_top);
}

}  // namespace

int CompileNodelistTo(const std::vector<SourceText>& sources,
                      const PasswordTable* passwords, const CostTable* costs,
                      const CompileOptions& options, const SetSinks& sinks,
                      CompileStats* stats, Reporter* reporter) {
  *stats = CompileStats{};
  Work w;
  w.sources = &sources;
  ReadCounts counts = {0, 0};
  size_t lines = 0;
  for (const SourceText& s : sources)
    lines += std::count(s.text.begin(), s.text.end(), '\n') + 1;
  ReserveLarge(&w.entries, lines);
  for (size_t i = 0; i < sources.size(); ++i)
    ReadSource(sources[i], static_cast<uint16_t>(i), &w.entries, &counts,
               reporter);
  stats->malformed = counts.malformed;
  stats->down = counts.down;
  if (w.entries.empty()) return 0;
  stats->duplicates = ReplaceDuplicates(&w, reporter);
  ResolveHierarchy(&w, reporter);
  if (!PlaceRecords(&w, passwords, costs, options.plus)) {
    Warn(reporter, "the nodelist is too large for 32-bit record offsets");
    return 0;
  }
  // Each file is written as soon as what it needs is known, so that the
  // system writes the earlier files to the disk while the keys are sorted.
  // A second thread meanwhile sorts the phone keys and writes the phone
  // index and the data file: it reads the entries only, and each file has
  // one writer.
  KeyedEntries sysops, phones;
  std::exception_ptr phone_fault;
  std::jthread phone_work;  // joined on every way out
  auto phone_job = [&] {
    try {
      BuildPhoneKeys(w, &phones);
      TextIndex(w, phones, kMaxIndexKey, options.block_size, sinks.pdx);
      WriteDataFile(w, passwords, costs, options.plus, sinks.dat);
    } catch (...) {
      phone_fault = std::current_exception();
    }
  };
  if (options.plus)
    phone_work = std::jthread(phone_job);
  else
    WriteDataFile(w, passwords, costs, options.plus, sinks.dat);
  AddressIndex(w, options.block_size, sinks.ndx);
  BuildSysopKeys(w, &sysops);
  TextIndex(w, sysops, v7::kMaxSysopKey, options.block_size, sinks.sdx);
  if (options.plus) {
    if (phone_work.joinable()) phone_work.join();
    if (phone_fault) std::rethrow_exception(phone_fault);
    uint16_t top_count = 0;
    uint32_t first_top = v7::kNoLink;
    Link(&w, sysops, phones, &top_count, &first_top);
    WritePlusFile(w, top_count, first_top, sinks.dtp);
  }
  if (passwords) WarnUnusedPasswords(w, *passwords, reporter);
  stats->entries = static_cast<uint32_t>(w.order.size());
  for (uint32_t i : w.order)
    if (w.entries[i].node_flags & v7::kFlagPoint) ++stats->points;
  return 1;
}

int CompileNodelist(const std::vector<SourceText>& sources,
                    const PasswordTable* passwords, const CostTable* costs,
                    const CompileOptions& options, CompiledSet* set,
                    CompileStats* stats, Reporter* reporter) {
  *set = CompiledSet{};
  std::vector<uint8_t>* images[5] = {&set->dat, &set->ndx, &set->sdx, &set->dtp,
                                     &set->pdx};
  ByteSink buffers[5];
  for (int i = 0; i < 5; ++i)
    OpenSink(&buffers[i], AppendToVector, images[i], 1 << 16);
  SetSinks sinks = {&buffers[0], &buffers[1], &buffers[2], &buffers[3],
                    &buffers[4]};
  int ok = CompileNodelistTo(sources, passwords, costs, options, sinks, stats,
                             reporter);
  for (ByteSink& b : buffers) FlushSink(&b);
  if (!ok) *set = CompiledSet{};
  return ok;
}

}  // namespace v7c
