// Passwords and call costs from their side files.
#include "compiler/side_tables.h"

#include "compiler/keys.h"
#include "compiler/nodelist_line.h"

namespace v7c {

namespace {

struct Words {
  std::string_view first, second;
  int count;
};

// Splits a line into blank-separated words; counts up to three.
Words SplitWords(std::string_view line) {
  Words w = {{}, {}, 0};
  size_t pos = 0;
  while (pos < line.size() && w.count < 3) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size()) break;
    size_t end = pos;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (w.count == 0) w.first = line.substr(pos, end - pos);
    if (w.count == 1) w.second = line.substr(pos, end - pos);
    ++w.count;
    pos = end;
  }
  return w;
}

// Calls visit(line number, line) for every line worth reading.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit) {
  size_t pos = 0;
  uint32_t number = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (!line.empty() && line[0] != ';' && line[0] != '#' &&
        SplitWords(line).count > 0)
      visit(number, line);
    pos = end + 1;
  }
}

std::string FoldedPrefixText(std::string_view prefix) {
  std::string out;
  for (char c : prefix) {
    if (c == '-') continue;
    out.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c);
  }
  return out;
}

}  // namespace

void ReadPasswordTable(const std::string& name, const std::string& text,
                       PasswordTable* table, Reporter* reporter) {
  ForEachLine(text, [&](uint32_t number, std::string_view line) {
    Words w = SplitWords(line);
    Entry a = {};
    if (w.count != 2 || !ParseFtnAddress(w.first.data(), w.first.size(),
                                         &a.zone, &a.net, &a.node, &a.point)) {
      Warn(reporter, "%s:%u: expected 'zone:net/node[.point] password'",
           name.c_str(), number);
      return;
    }
    if (w.second.size() > kMaxPassword) {
      Warn(reporter, "%s:%u: password longer than %u characters, ignored",
           name.c_str(), number, static_cast<unsigned>(kMaxPassword));
      return;
    }
    std::string& slot = table->by_address[AddressKey(a)];
    if (!slot.empty())
      Warn(reporter, "%s:%u: second password for %.*s replaces the first",
           name.c_str(), number, static_cast<int>(w.first.size()),
           w.first.data());
    slot.assign(w.second);
  });
}

void ReadCostTable(const std::string& name, const std::string& text,
                   CostTable* table, Reporter* reporter) {
  table->present = 1;
  std::vector<uint16_t> costs;
  ForEachLine(text, [&](uint32_t number, std::string_view line) {
    Words w = SplitWords(line);
    uint16_t cost = 0;
    if (w.count != 2 ||
        !ParseNumber16(w.second.data(), w.second.size(), &cost)) {
      Warn(reporter, "%s:%u: expected 'phone-prefix cost' (cost 0..65535)",
           name.c_str(), number);
      return;
    }
    table->prefixes.push_back(w.first == "*" ? std::string()
                                             : FoldedPrefixText(w.first));
    costs.push_back(cost);
  });
  table->by_prefix.clear();
  table->longest = 0;
  for (size_t i = 0; i < table->prefixes.size(); ++i) {
    std::string_view key = table->prefixes[i];
    if (table->by_prefix.count(key))
      Warn(reporter, "%s: prefix '%s' given twice; the later cost holds",
           name.c_str(), table->prefixes[i].c_str());
    table->by_prefix[key] = costs[i];
    if (key.size() > table->longest) table->longest = key.size();
  }
}

uint16_t LookUpCost(const CostTable& table, const char* key, size_t length,
                    int unpublished) {
  if (unpublished) return kUnpublishedCost;
  if (!table.present) return 0;
  char folded[kMaxPhone];
  size_t n = length < kMaxPhone ? length : kMaxPhone;
  for (size_t i = 0; i < n; ++i)
    folded[i] = (key[i] >= 'a' && key[i] <= 'z') ? key[i] - 32 : key[i];
  if (n > table.longest) n = table.longest;
  for (size_t len = n + 1; len-- > 0;) {
    auto it = table.by_prefix.find(std::string_view(folded, len));
    if (it != table.by_prefix.end()) return it->second;
  }
  return 0;
}

}  // namespace v7c
