#include "farhost/browse/help_file.h"

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "farhost/host/lng_file.h"

namespace {

void AddSpan(HelpLine* line, HelpSpanKind kind, const std::string& text,
             const std::string& topic) {
  if (text.empty()) return;
  if (!line->Spans.empty() && line->Spans.back().Kind == kind &&
      kind != kHelpLink) {
    line->Spans.back().Text += text;
    return;
  }
  line->Spans.push_back(HelpSpan{kind, text, topic});
}

// Reads a link "~text~@Topic@" starting at line[i] == '~'. Returns the index
// after it, or 0 when it is not a whole link.
size_t ReadLink(const std::string& line, size_t i, HelpLine* out) {
  std::string text;
  size_t j = i + 1;
  for (; j < line.size(); ++j) {
    if (line[j] == '~' && j + 1 < line.size() && line[j + 1] == '~') {
      text += '~';
      ++j;
    } else if (line[j] == '~') {
      break;
    } else {
      text += line[j];
    }
  }
  if (j + 1 >= line.size() || line[j + 1] != '@') return 0;
  size_t end = line.find('@', j + 2);
  if (end == std::string::npos) return 0;
  AddSpan(out, kHelpLink, text, line.substr(j + 2, end - j - 2));
  return end + 1;
}

int StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

int EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? a[i] - 32 : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? b[i] - 32 : b[i];
    if (x != y) return 0;
  }
  return 1;
}

std::string LanguageOf(const std::string& header) {
  std::string rest = header.substr(std::string(".Language=").size());
  return rest.substr(0, rest.find(','));
}

int ReadWhole(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  std::ostringstream text;
  text << in.rdbuf();
  *bytes = text.str();
  return 1;
}

std::vector<LngCandidate> ScanHelpFolder(const std::string& folder) {
  std::vector<LngCandidate> files;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return files;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() <= 4 || !EqualNoCase(name.substr(name.size() - 4), ".hlf"))
      continue;
    std::string bytes, path = folder + "/" + name;
    if (!ReadWhole(path, &bytes)) continue;
    HelpFile parsed;
    ParseHelpFile(bytes.substr(0, 4096), &parsed);
    files.push_back(LngCandidate{path, parsed.LanguageName});
  }
  closedir(dir);
  std::sort(files.begin(), files.end(),
            [](const LngCandidate& a, const LngCandidate& b) {
              return a.Path < b.Path;
            });
  return files;
}

}  // namespace

HelpLine ParseHelpLine(const std::string& raw) {
  HelpLine line{{}, 0};
  std::string text = raw.substr(0, kHelpMaxLine);
  size_t i = 0;
  if (!text.empty() && text[0] == '^') {
    line.Centred = 1;
    i = 1;
  }
  HelpSpanKind kind = kHelpPlain;
  for (; i < text.size(); ++i) {
    char ch = text[i];
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if ((ch == '#' || ch == '~' || ch == '@') && next == ch) {
      AddSpan(&line, kind, std::string(1, ch), "");
      ++i;
    } else if (ch == '#') {
      kind = kind == kHelpPlain ? kHelpHighlight : kHelpPlain;
    } else if (ch == '~') {
      size_t after = ReadLink(text, i, &line);
      if (after == 0) {
        AddSpan(&line, kind, std::string(1, ch), "");
      } else {
        i = after - 1;
      }
    } else {
      AddSpan(&line, kind, std::string(1, ch), "");
    }
  }
  return line;
}

void ParseHelpFile(const std::string& bytes, HelpFile* out) {
  *out = HelpFile{};
  std::istringstream in(bytes);
  std::string line;
  HelpTopic* topic = nullptr;
  int inHeader = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (topic == nullptr && StartsWith(line, ".Language=")) {
      out->LanguageName = LanguageOf(line);
    } else if (line == "@-" || line == "@+") {
      continue;
    } else if (line.size() > 1 && line[0] == '@' && line[1] != '@') {
      if (out->Topics.size() >= kHelpMaxTopics) break;
      out->Topics.push_back(HelpTopic{line.substr(1, kHelpMaxLine), {}, {}});
      topic = &out->Topics.back();
      inHeader = 1;
    } else if (topic != nullptr && inHeader && !line.empty() &&
               line[0] == '$') {
      std::string rest = line.substr(1);
      if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
      topic->Header.push_back(ParseHelpLine(rest));
    } else if (topic != nullptr) {
      inHeader = 0;
      topic->Body.push_back(ParseHelpLine(line));
    }
  }
  for (HelpTopic& t : out->Topics)
    while (!t.Body.empty() && t.Body.back().Spans.empty()) t.Body.pop_back();
}

HelpReference ResolveHelpTopic(const std::string& topic, int fromPlugin) {
  size_t close = topic.find('>');
  if (!topic.empty() && topic[0] == '<' && close != std::string::npos)
    return {kFolderHelp, topic.substr(1, close - 1), topic.substr(close + 1)};
  return {fromPlugin ? kPluginHelp : kHostHelp, "", topic};
}

const HelpTopic* FindHelpTopic(const HelpFile& file, const std::string& name) {
  for (const HelpTopic& topic : file.Topics)
    if (EqualNoCase(topic.Name, name)) return &topic;
  return nullptr;
}

std::string HelpLineText(const HelpLine& line) {
  std::string text;
  for (const HelpSpan& span : line.Spans) text += span.Text;
  return text;
}

int LoadHelpFile(const std::string& folder, const std::string& language,
                 HelpFile* out) {
  std::vector<LngCandidate> files = ScanHelpFolder(folder);
  int chosen = ChooseLngFile(files, language);
  if (chosen < 0) return 0;
  std::string bytes;
  if (!ReadWhole(files[static_cast<size_t>(chosen)].Path, &bytes)) return 0;
  ParseHelpFile(bytes, out);
  return 1;
}
