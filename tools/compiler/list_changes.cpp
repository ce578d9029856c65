// What changed between two nodelists. Sections: reading a list, comparing
// one entry, moves, the text report, the JSON report, the programs.
#include "compiler/list_changes.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>
#include <unordered_map>

#include "compiler/input_file.h"
#include "compiler/nodelist_line.h"
#include "compiler/output_set.h"
#include "nodelist/text_fields.h"
#include "nodelist/v7_format.h"

namespace v7c {

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------
// Reading a list.

// The entries of one list by address; a later entry of an address
// replaces an earlier one, as in the compiler.
struct ListEntries {
  std::vector<Entry> entries;
  std::map<uint64_t, uint32_t> by_address;
};

void ReadEntries(const SourceText& source, ListEntries* list, ListSide* side,
                 Reporter* reporter) {
  ReadCounts counts = {0, 0};
  ReadSource(source, 0, &list->entries, &counts, reporter, 1);
  for (uint32_t i = 0; i < list->entries.size(); ++i)
    list->by_address[AddressKey(list->entries[i])] = i;
  side->name = source.name;
  side->dated =
      ParseListDate(source.text.data(), source.text.size(), &side->date);
  side->entries = static_cast<uint32_t>(list->by_address.size());
}

// The fields of an entry's line as texts.
struct Fields {
  std::string keyword, system, location, sysop, phone, speed, flags;
};

std::string SpanText(const Entry& e, FieldSpan span) {
  return std::string(e.line + span.offset, span.length);
}

Fields FieldsOf(const Entry& e) {
  Fields f;
  ParsedLine p;
  const char* why = nullptr;
  if (!ParseNodelistLine(e.line, e.line_length, &p, &why)) return f;
  const char* comma =
      static_cast<const char*>(memchr(e.line, ',', e.line_length));
  f.keyword = std::string(e.line, comma ? comma - e.line : 0);
  f.system = SpanText(e, p.system);
  f.location = SpanText(e, p.location);
  f.sysop = SpanText(e, p.sysop);
  f.phone = SpanText(e, p.phone);
  f.speed = SpanText(e, p.speed);
  f.flags = SpanText(e, p.flags);
  return f;
}

std::string AddressText(uint16_t zone, uint16_t net, uint16_t node,
                        uint16_t point) {
  char text[kAddressTextSize];
  FormatAddress(FtnAddress{zone, net, node, point}, text, 4);
  return text;
}

std::string HubText(const Entry& e) {
  if (e.node_flags & v7::kFlagPoint || e.hub_or_point == 0) return "";
  return AddressText(e.zone, e.net, e.hub_or_point, 0);
}

// ---------------------------------------------------------------------
// Comparing one entry.

std::vector<std::string> SplitFlags(const std::string& flags) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start <= flags.size()) {
    size_t comma = flags.find(',', start);
    if (comma == std::string::npos) comma = flags.size();
    if (comma > start) list.push_back(flags.substr(start, comma - start));
    start = comma + 1;
  }
  return list;
}

// The flags of `a` that `b` does not have, in a's order, each once.
std::vector<std::string> FlagsMissing(const std::vector<std::string>& a,
                                      const std::vector<std::string>& b) {
  std::vector<std::string> missing;
  for (const std::string& flag : a)
    if (std::find(b.begin(), b.end(), flag) == b.end() &&
        std::find(missing.begin(), missing.end(), flag) == missing.end())
      missing.push_back(flag);
  return missing;
}

EndpointList EndpointsOf(const Entry& e) {
  std::string line(e.line, e.line_length);
  EndpointList list;
  DecodeEndpoints(line.c_str(), &list);
  return list;
}

int SameEndpoint(const Endpoint& a, const Endpoint& b) {
  if (a.Protocol != b.Protocol || a.Port != b.Port) return 0;
  for (size_t i = 0;; ++i) {
    char x = a.Host[i], y = b.Host[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return 0;
    if (x == '\0') return 1;
  }
}

std::vector<Endpoint> EndpointsMissing(const EndpointList& a,
                                       const EndpointList& b) {
  std::vector<Endpoint> missing;
  for (int i = 0; i < a.Count; ++i) {
    int found = 0;
    for (int j = 0; j < b.Count && !found; ++j)
      found = SameEndpoint(a.Items[i], b.Items[j]);
    if (!found) missing.push_back(a.Items[i]);
  }
  return missing;
}

void AddField(EntryChange* change, const char* field, const std::string& old,
              const std::string& now) {
  if (old != now) change->fields.push_back({field, old, now});
}

void SetOwnFields(EntryChange* change, const Entry& e, const Fields& f) {
  change->zone = e.zone;
  change->net = e.net;
  change->node = e.node;
  change->point = e.point;
  change->keyword = f.keyword;
  change->system = f.system;
  change->location = f.location;
  change->sysop = f.sysop;
}

// Compares one address of both lists; 1 when something changed.
int CompareEntry(const Entry& old, const Entry& now, EntryChange* change) {
  if (old.line_length == now.line_length &&
      memcmp(old.line, now.line, old.line_length) == 0 &&
      old.hub_or_point == now.hub_or_point)
    return 0;
  Fields a = FieldsOf(old), b = FieldsOf(now);
  SetOwnFields(change, now, b);
  if (old.kind != now.kind) AddField(change, "keyword", a.keyword, b.keyword);
  AddField(change, "system", a.system, b.system);
  AddField(change, "location", a.location, b.location);
  AddField(change, "sysop", a.sysop, b.sysop);
  AddField(change, "phone", a.phone, b.phone);
  AddField(change, "speed", a.speed, b.speed);
  AddField(change, "hub", HubText(old), HubText(now));
  std::vector<std::string> old_flags = SplitFlags(a.flags);
  std::vector<std::string> new_flags = SplitFlags(b.flags);
  change->flags_added = FlagsMissing(new_flags, old_flags);
  change->flags_removed = FlagsMissing(old_flags, new_flags);
  EndpointList old_endpoints = EndpointsOf(old),
               new_endpoints = EndpointsOf(now);
  change->endpoints_gained = EndpointsMissing(new_endpoints, old_endpoints);
  change->endpoints_lost = EndpointsMissing(old_endpoints, new_endpoints);
  int down = now.kind == LineKind::kDown && old.kind != LineKind::kDown;
  change->kind = down ? ChangeKind::kDown : ChangeKind::kChanged;
  return down || !change->fields.empty() || !change->flags_added.empty() ||
         !change->flags_removed.empty() || !change->endpoints_gained.empty() ||
         !change->endpoints_lost.empty();
}

EntryChange OneSided(const Entry& e, ChangeKind kind) {
  EntryChange change;
  SetOwnFields(&change, e, FieldsOf(e));
  change.kind = kind;
  return change;
}

// ---------------------------------------------------------------------
// Moves: the same sysop and system at a removed and an added address.

std::string MoveKey(const EntryChange& c) {
  std::string key;
  for (const std::string* text : {&c.sysop, &c.system}) {
    for (char ch : *text)
      key += (ch == '_') ? ' ' : (ch >= 'a' && ch <= 'z') ? ch - 32 : ch;
    key += '\n';
  }
  return key;
}

void FindMoves(ChangeReport* report) {
  std::unordered_map<std::string, std::vector<size_t>> added;
  for (size_t i = 0; i < report->changes.size(); ++i)
    if (report->changes[i].kind == ChangeKind::kAdded)
      added[MoveKey(report->changes[i])].push_back(i);
  for (EntryChange& removed : report->changes) {
    if (removed.kind != ChangeKind::kRemoved || removed.sysop.empty()) continue;
    auto it = added.find(MoveKey(removed));
    if (it == added.end() || it->second.empty()) continue;
    EntryChange& to = report->changes[it->second.front()];
    it->second.erase(it->second.begin());
    removed.moved_to = AddressText(to.zone, to.net, to.node, to.point);
    to.moved_from =
        AddressText(removed.zone, removed.net, removed.node, removed.point);
    ++report->moved;
  }
}

void Count(ChangeReport* report) {
  for (const EntryChange& c : report->changes) {
    switch (c.kind) {
      case ChangeKind::kAdded:
        ++report->added;
        break;
      case ChangeKind::kRemoved:
        ++report->removed;
        break;
      case ChangeKind::kDown:
        ++report->down;
        break;
      case ChangeKind::kChanged:
        ++report->changed;
        break;
    }
  }
}

// ---------------------------------------------------------------------
// The text report.

const char* KindWord(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::kAdded:
      return "added";
    case ChangeKind::kRemoved:
      return "removed";
    case ChangeKind::kDown:
      return "Down";
    case ChangeKind::kChanged:
      break;
  }
  return "changed";
}

std::string SideText(const ListSide& side) {
  if (!side.dated) return side.name;
  char date[40];
  snprintf(date, sizeof(date), " (day %03u of %u)", side.date.day,
           side.date.year);
  return side.name + date;
}

std::string EndpointText(const Endpoint& e) {
  char address[kEndpointAddressSize];
  FormatEndpointAddress(e, address, sizeof(address));
  return std::string(EndpointProtocolName(e.Protocol)) + " " + address;
}

std::string Joined(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& item : list) text += (text.empty() ? "" : ",") + item;
  return text;
}

std::string Shown(const std::string& text) {
  return text.empty() ? "(none)" : text;
}

void WriteEntryText(const EntryChange& c, FILE* out) {
  const char* indent = "             ";
  std::string address = AddressText(c.zone, c.net, c.node, c.point);
  std::string names = c.system;
  if (c.kind == ChangeKind::kAdded || c.kind == ChangeKind::kRemoved)
    names += ", " + c.location + ", " + c.sysop +
             (c.keyword.empty() ? "" : " (" + c.keyword + ")");
  fprintf(out, "    %-8s %-12s %s\n", KindWord(c.kind), address.c_str(),
          names.c_str());
  if (!c.moved_to.empty())
    fprintf(out, "%sthe same sysop and system appear at %s\n", indent,
            c.moved_to.c_str());
  if (!c.moved_from.empty())
    fprintf(out, "%sthe same sysop and system were at %s\n", indent,
            c.moved_from.c_str());
  for (const FieldChange& f : c.fields)
    fprintf(out, "%s%s: %s -> %s\n", indent, f.field, Shown(f.old_text).c_str(),
            Shown(f.new_text).c_str());
  if (!c.flags_added.empty())
    fprintf(out, "%sflags added: %s\n", indent, Joined(c.flags_added).c_str());
  if (!c.flags_removed.empty())
    fprintf(out, "%sflags removed: %s\n", indent,
            Joined(c.flags_removed).c_str());
  for (const Endpoint& e : c.endpoints_gained)
    fprintf(out, "%sinternet endpoint gained: %s\n", indent,
            EndpointText(e).c_str());
  for (const Endpoint& e : c.endpoints_lost)
    fprintf(out, "%sinternet endpoint lost: %s\n", indent,
            EndpointText(e).c_str());
}

// ---------------------------------------------------------------------
// The JSON report.

void JsonString(const std::string& text, FILE* out) {
  fputc('"', out);
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      fputc('\\', out);
      fputc(c, out);
    } else if (c < 0x20 || c == 0x7F) {
      fprintf(out, "\\u%04x", c);
    } else if (c >= 0x80) {
      fputc(0xC0 | (c >> 6), out);
      fputc(0x80 | (c & 0x3F), out);
    } else {
      fputc(c, out);
    }
  }
  fputc('"', out);
}

void JsonKey(const char* key, FILE* out) { fprintf(out, "\"%s\": ", key); }

void JsonStrings(const std::vector<std::string>& list, FILE* out) {
  fputc('[', out);
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) fputs(", ", out);
    JsonString(list[i], out);
  }
  fputc(']', out);
}

void JsonEndpoints(const std::vector<Endpoint>& list, FILE* out) {
  fputc('[', out);
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) fputs(", ", out);
    fprintf(out, "{\"protocol\": \"%s\", \"host\": ",
            EndpointProtocolName(list[i].Protocol));
    JsonString(list[i].Host, out);
    fprintf(out, ", \"port\": %u}", list[i].Port);
  }
  fputc(']', out);
}

void JsonSide(const char* key, const ListSide& side, FILE* out) {
  fprintf(out, "  ");
  JsonKey(key, out);
  fputs("{\"name\": ", out);
  JsonString(side.name, out);
  if (side.dated)
    fprintf(out, ", \"year\": %u, \"day\": %u", side.date.year, side.date.day);
  else
    fputs(", \"year\": null, \"day\": null", out);
  fprintf(out, ", \"entries\": %u},\n", side.entries);
}

void JsonOptional(const char* key, const std::string& text, FILE* out) {
  fprintf(out, ", ");
  JsonKey(key, out);
  if (text.empty())
    fputs("null", out);
  else
    JsonString(text, out);
}

void WriteEntryJson(const EntryChange& c, FILE* out) {
  fprintf(out, "    {\"zone\": %u, \"net\": %u, \"address\": \"%s\", ", c.zone,
          c.net, AddressText(c.zone, c.net, c.node, c.point).c_str());
  fprintf(out, "\"change\": \"%s\"",
          c.kind == ChangeKind::kDown ? "down" : KindWord(c.kind));
  const std::pair<const char*, const std::string*> own[] = {
      {"keyword", &c.keyword},
      {"system", &c.system},
      {"location", &c.location},
      {"sysop", &c.sysop}};
  for (const auto& [key, text] : own) {
    fputs(", ", out);
    JsonKey(key, out);
    JsonString(*text, out);
  }
  fputs(",\n     \"fields\": [", out);
  for (size_t i = 0; i < c.fields.size(); ++i) {
    fprintf(out, "%s{\"field\": \"%s\", \"old\": ", i ? ", " : "",
            c.fields[i].field);
    JsonString(c.fields[i].old_text, out);
    fputs(", \"new\": ", out);
    JsonString(c.fields[i].new_text, out);
    fputc('}', out);
  }
  fputs("],\n     \"flags_added\": ", out);
  JsonStrings(c.flags_added, out);
  fputs(", \"flags_removed\": ", out);
  JsonStrings(c.flags_removed, out);
  fputs(",\n     \"internet_gained\": ", out);
  JsonEndpoints(c.endpoints_gained, out);
  fputs(", \"internet_lost\": ", out);
  JsonEndpoints(c.endpoints_lost, out);
  fputs(",\n     ", out);
  JsonKey("moved_to", out);
  if (c.moved_to.empty())
    fputs("null", out);
  else
    JsonString(c.moved_to, out);
  JsonOptional("moved_from", c.moved_from, out);
  fputc('}', out);
}

// ---------------------------------------------------------------------
// The programs.

void EmitWarning(void* context, const char* text) {
  fprintf(static_cast<FILE*>(context), "warning: %s\n", text);
}

int ReadList(const std::string& path, SourceText* list, FILE* err) {
  InputText input;
  std::string error;
  if (!ReadInputText(path, &input, &error)) {
    fprintf(err, "error: %s\n", error.c_str());
    return 0;
  }
  list->name = std::move(input.name);
  list->text = std::move(input.text);
  list->is_pointlist = 0;
  return 1;
}

}  // namespace

int CompareLists(const SourceText& old_list, const SourceText& new_list,
                 ChangeReport* report, Reporter* reporter) {
  *report = ChangeReport{};
  ListEntries a, b;
  ReadEntries(old_list, &a, &report->old_list, reporter);
  ReadEntries(new_list, &b, &report->new_list, reporter);
  if (a.by_address.empty() || b.by_address.empty()) return 0;
  auto ia = a.by_address.begin(), ib = b.by_address.begin();
  while (ia != a.by_address.end() || ib != b.by_address.end()) {
    if (ib == b.by_address.end() ||
        (ia != a.by_address.end() && ia->first < ib->first)) {
      report->changes.push_back(
          OneSided(a.entries[ia->second], ChangeKind::kRemoved));
      ++ia;
    } else if (ia == a.by_address.end() || ib->first < ia->first) {
      report->changes.push_back(
          OneSided(b.entries[ib->second], ChangeKind::kAdded));
      ++ib;
    } else {
      EntryChange change;
      if (CompareEntry(a.entries[ia->second], b.entries[ib->second], &change))
        report->changes.push_back(std::move(change));
      ++ia;
      ++ib;
    }
  }
  FindMoves(report);
  Count(report);
  return 1;
}

void WriteChangesText(const ChangeReport& report, FILE* out) {
  fprintf(out, "Changes from %s to %s\n", SideText(report.old_list).c_str(),
          SideText(report.new_list).c_str());
  int zone = -1, net = -1;
  for (const EntryChange& c : report.changes) {
    if (c.zone != zone) {
      fprintf(out, "\nZone %u\n", c.zone);
      zone = c.zone;
      net = -1;
    }
    if (c.net != net) {
      fprintf(out, "  Net %u:%u\n", c.zone, c.net);
      net = c.net;
    }
    WriteEntryText(c, out);
  }
  if (report.changes.empty()) fputs("\nNo entry changed.\n", out);
  fprintf(out,
          "\nSummary: %u added, %u removed, %u Down, %u changed, %u moved "
          "(%u entries before, %u after)\n",
          report.added, report.removed, report.down, report.changed,
          report.moved, report.old_list.entries, report.new_list.entries);
}

void WriteChangesJson(const ChangeReport& report, FILE* out) {
  fputs("{\n", out);
  JsonSide("old", report.old_list, out);
  JsonSide("new", report.new_list, out);
  fprintf(out,
          "  \"summary\": {\"added\": %u, \"removed\": %u, \"down\": %u, "
          "\"changed\": %u, \"moved\": %u},\n",
          report.added, report.removed, report.down, report.changed,
          report.moved);
  fputs("  \"changes\": [", out);
  for (size_t i = 0; i < report.changes.size(); ++i) {
    fputs(i ? ",\n" : "\n", out);
    WriteEntryJson(report.changes[i], out);
  }
  fputs(report.changes.empty() ? "]\n}\n" : "\n  ]\n}\n", out);
}

int RunChanges(const std::string& old_path, const std::string& new_path,
               int json, FILE* out, FILE* err) {
  SourceText old_list, new_list;
  if (!ReadList(old_path, &old_list, err) ||
      !ReadList(new_path, &new_list, err))
    return 1;
  Reporter reporter = {EmitWarning, err, 0};
  ChangeReport report;
  if (!CompareLists(old_list, new_list, &report, &reporter)) {
    fprintf(err, "error: %s holds no nodelist entry\n",
            report.old_list.entries == 0 ? old_list.name.c_str()
                                         : new_list.name.c_str());
    return 1;
  }
  if (json)
    WriteChangesJson(report, out);
  else
    WriteChangesText(report, out);
  return 0;
}

int WriteChangesFile(const std::string& path, const SourceText& old_list,
                     const SourceText& new_list, FILE* err) {
  Reporter quiet = {nullptr, nullptr, 0};
  ChangeReport report;
  if (!CompareLists(old_list, new_list, &report, &quiet)) {
    fprintf(err, "error: no changes written to %s: a list holds no entry\n",
            path.c_str());
    return 0;
  }
  std::string tmp = TempPathFor(path);
  FILE* f = fopen(tmp.c_str(), "wb");
  if (!f) {
    fprintf(err, "error: cannot write %s\n", tmp.c_str());
    return 0;
  }
  WriteChangesText(report, f);
  int ok = !ferror(f);
  ok = (fclose(f) == 0) && ok;
  std::string error;
  if (!ok || !CommitTempFile(path, &error)) {
    fprintf(err, "error: %s\n",
            ok ? error.c_str() : ("cannot write " + tmp).c_str());
    std::error_code ec;
    fs::remove(tmp, ec);
    return 0;
  }
  return 1;
}

}  // namespace v7c
