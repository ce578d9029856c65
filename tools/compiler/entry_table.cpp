// Reading nodelist and pointlist texts into the entry table.
#include "compiler/entry_table.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "compiler/keys.h"
#include "nodelist/v7_format.h"

namespace v7c {

namespace {

// The hierarchy position while a source is read line by line.
struct ReadState {
  int have_zone;
  uint16_t zone, net, region, hub;
  uint32_t zone_entry, region_entry, net_entry, hub_entry;
  int in_boss;
  uint16_t boss_zone, boss_net, boss_node;
};

struct LineContext {
  const SourceText* source;
  uint16_t source_index;
  uint32_t line_number;
  const char* line;
  size_t length;
  int keep_down;
};

void FillTexts(const LineContext& at, const ParsedLine& p, Entry* e) {
  e->line = at.line;
  e->line_length = static_cast<uint32_t>(at.length);
  e->line_number = at.line_number;
  e->source = at.source_index;
  e->kind = p.kind;
  e->system = p.system;
  e->location = p.location;
  e->sysop = p.sysop;
  e->phone = p.phone;
  e->speed = p.speed_ok ? p.speed_value : 0;
  e->parent = kNoEntry;
}

uint16_t ContinuousMailBit(const LineContext& at, const ParsedLine& p) {
  if (!p.has_cm || p.kind == LineKind::kHold) return 0;
  if (IsUnpublishedPhone(at.line + p.phone.offset, p.phone.length)) return 0;
  return v7::kFlagContinuousMail;
}

// Applies a Zone, Region, Host or Hub line to the state and the entry.
void StartGroup(const ParsedLine& p, uint32_t index, ReadState* s, Entry* e) {
  s->in_boss = 0;
  switch (p.kind) {
    case LineKind::kZone:
      *s = ReadState{1,     p.number, p.number, 0, 0, index, kNoEntry,
                     index, kNoEntry, 0,        0, 0, 0};
      e->node_flags |= v7::kFlagZone;
      return;
    case LineKind::kRegion:
      e->parent = s->zone_entry;
      s->net = s->region = p.number;
      s->region_entry = s->net_entry = index;
      e->node_flags |= v7::kFlagRegion;
      break;
    case LineKind::kHost:
      e->parent = s->region_entry != kNoEntry ? s->region_entry : s->zone_entry;
      s->net = p.number;
      s->net_entry = index;
      e->node_flags |= v7::kFlagHost;
      break;
    default:  // kHub
      e->parent = s->net_entry;
      s->hub = p.number;
      s->hub_entry = index;
      e->node_flags |= v7::kFlagHub;
      e->hub_or_point = p.number;
      return;
  }
  s->hub = 0;
  s->hub_entry = kNoEntry;
}

int IsGroupKind(LineKind k) {
  return k == LineKind::kZone || k == LineKind::kRegion ||
         k == LineKind::kHost || k == LineKind::kHub;
}

// Adds one parsed entry line; returns 0 with *why when it has no place.
int AddEntry(const LineContext& at, const ParsedLine& p, ReadState* s,
             std::vector<Entry>* entries, ReadCounts* counts,
             const char** why) {
  int pointlist = at.source->is_pointlist;
  int group = IsGroupKind(p.kind);
  if (pointlist && group) {
    *why = "only Boss and point lines belong in a pointlist";
    return 0;
  }
  if (!pointlist && !group && !s->in_boss && p.kind == LineKind::kPoint) {
    *why = "Point line outside a Boss block";
    return 0;
  }
  if (!group && pointlist && !s->in_boss) {
    *why = "point line before the first Boss line";
    return 0;
  }
  if (!s->have_zone && !s->in_boss && p.kind != LineKind::kZone) {
    *why = "entry before the first Zone line";
    return 0;
  }
  int point = !group && s->in_boss;
  if (point && p.number == 0) {
    *why = "point number 0";
    return 0;
  }
  if (p.kind == LineKind::kDown) {
    ++counts->down;
    if (!at.keep_down) return 1;
  }
  Entry e = {};
  FillTexts(at, p, &e);
  e.node_flags = ContinuousMailBit(at, p);
  uint32_t index = static_cast<uint32_t>(entries->size());
  if (point) {
    e.zone = s->boss_zone;
    e.net = s->boss_net;
    e.node = s->boss_node;
    e.point = e.hub_or_point = p.number;
    e.node_flags |= v7::kFlagPoint;
  } else if (group) {
    StartGroup(p, index, s, &e);
    e.zone = s->zone;
    e.net = s->net;
    e.node = (p.kind == LineKind::kHub) ? p.number : 0;
    e.region = s->region;
  } else {
    e.zone = s->zone;
    e.net = s->net;
    e.node = p.number;
    e.region = s->region;
    e.hub_or_point = s->hub;
    e.parent = s->hub_entry != kNoEntry ? s->hub_entry : s->net_entry;
  }
  entries->push_back(e);
  return 1;
}

void ReadLine(const LineContext& at, ReadState* s, std::vector<Entry>* entries,
              ReadCounts* counts, Reporter* reporter) {
  ParsedLine p;
  const char* why = nullptr;
  if (ParseNodelistLine(at.line, at.length, &p, &why)) {
    if (p.kind == LineKind::kBoss) {
      s->in_boss = 1;
      s->boss_zone = p.boss_zone;
      s->boss_net = p.boss_net;
      s->boss_node = p.boss_node;
      return;
    }
    if (AddEntry(at, p, s, entries, counts, &why)) {
      if (!p.speed_ok && p.kind != LineKind::kDown)
        Warn(reporter, "%s:%u: speed '%.*s' is not a number; stored as 0",
             at.source->name.c_str(), at.line_number, p.speed.length,
             at.line + p.speed.offset);
      return;
    }
  }
  ++counts->malformed;
  int shown = static_cast<int>(at.length < 60 ? at.length : 60);
  Warn(reporter, "%s:%u: malformed line (%s): %.*s", at.source->name.c_str(),
       at.line_number, why, shown, at.line);
}

}  // namespace

void Warn(Reporter* reporter, const char* format, ...) {
  ++reporter->warnings;
  if (!reporter->emit) return;
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  reporter->emit(reporter->context, text);
}

void ReadSource(const SourceText& source, uint16_t source_index,
                std::vector<Entry>* entries, ReadCounts* counts,
                Reporter* reporter, int keep_down) {
  ReadState state = {0,        0,        0, 0, 0, kNoEntry, kNoEntry,
                     kNoEntry, kNoEntry, 0, 0, 0, 0};
  LineContext at = {&source, source_index, 0, nullptr, 0, keep_down};
  ListLines lines;
  StartListLines(source.text.data(), source.text.size(), &lines);
  ListLine line;
  while (NextListLine(&lines, &line)) {
    at.line_number = line.number;
    at.line = line.text;
    at.length = line.length;
    if (line.length > 0 && line.text[0] != ';')
      ReadLine(at, &state, entries, counts, reporter);
  }
}

}  // namespace v7c
