// Edit-field histories in memory and in their file.
#include "farhost/tui/history_store.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

const char kHeader[] = "farhost-history 1";
const size_t kMaxLine = 4 * (kMaxHistoryText + 256);

// Reads one line without its end; 0 at the end of the file. A line longer
// than kMaxLine is read to its end and reported as too long.
int ReadLine(FILE* file, std::string* line, int* tooLong) {
  line->clear();
  *tooLong = 0;
  int c;
  bool any = false;
  while ((c = std::fgetc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line->size() < kMaxLine)
      line->push_back(static_cast<char>(c));
    else
      *tooLong = 1;
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return any ? 1 : 0;
}

}  // namespace

std::string EscapeHistoryText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

int UnescapeHistoryText(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out->push_back(text[i]);
      continue;
    }
    if (++i == text.size()) return 0;
    switch (text[i]) {
      case '\\':
        out->push_back('\\');
        break;
      case 't':
        out->push_back('\t');
        break;
      case 'r':
        out->push_back('\r');
        break;
      case 'n':
        out->push_back('\n');
        break;
      default:
        return 0;
    }
  }
  return 1;
}

const std::vector<std::string>& HistoryStore::Entries(
    const std::string& name) const {
  static const std::vector<std::string> kEmpty;
  auto it = lists_.find(name);
  return it == lists_.end() ? kEmpty : it->second;
}

std::string HistoryStore::Last(const std::string& name) const {
  const std::vector<std::string>& list = Entries(name);
  return list.empty() ? std::string() : list.front();
}

void HistoryStore::Add(const std::string& name, const std::string& text) {
  if (name.empty() || text.empty()) return;
  std::string entry = text.substr(0, kMaxHistoryText);
  std::vector<std::string>& list = lists_[name];
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
  list.insert(list.begin(), entry);
  if (list.size() > kMaxHistoryEntries) list.resize(kMaxHistoryEntries);
}

int HistoryStore::Load(const std::string& path) {
  lists_.clear();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno == ENOENT ? 1 : 0;
  std::string line;
  int tooLong = 0;
  int ok = ReadLine(file, &line, &tooLong) && !tooLong && line == kHeader;
  while (ok && ReadLine(file, &line, &tooLong)) {
    size_t tab = line.find('\t');
    std::string name, text;
    if (tooLong || tab == std::string::npos ||
        !UnescapeHistoryText(line.substr(0, tab), &name) ||
        !UnescapeHistoryText(line.substr(tab + 1), &text))
      continue;
    if (lists_.count(name) == 0 && lists_.size() >= kMaxHistoryNames) continue;
    std::vector<std::string>& list = lists_[name];
    if (text.empty() || text.size() > kMaxHistoryText ||
        list.size() >= kMaxHistoryEntries ||
        std::find(list.begin(), list.end(), text) != list.end())
      continue;
    list.push_back(text);
  }
  std::fclose(file);
  if (!ok) lists_.clear();
  return ok;
}

int HistoryStore::Save(const std::string& path) const {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return 0;
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    unlink(temp.c_str());
    return 0;
  }
  int ok = std::fprintf(file, "%s\n", kHeader) > 0;
  for (const auto& [name, list] : lists_) {
    for (const std::string& text : list) {
      std::string line =
          EscapeHistoryText(name) + "\t" + EscapeHistoryText(text) + "\n";
      ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    }
  }
  ok = std::fflush(file) == 0 && ok;
  ok = fsync(fileno(file)) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}
