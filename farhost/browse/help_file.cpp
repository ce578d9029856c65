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

// The index after a "@...@" that starts at line[i], as the host skips it:
// up to the next '@' that does not follow another '@' (or the end).
size_t SkipTarget(const std::string& line, size_t i) {
  size_t j = i;
  while (j < line.size()) {
    ++j;
    if (j < line.size() && line[j] == '@' && line[j - 1] != '@') break;
  }
  return j < line.size() ? j + 1 : line.size();
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
  // As the host shows a line: every single '#' switches the highlight and
  // every single '~' a link's text, both unseen; a '@' after a link's
  // closing '~' starts its target, up to the next '@'.
  int highlight = 0, link = 0;
  std::string linkText;
  for (; i < text.size(); ++i) {
    char ch = text[i];
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if ((ch == '#' || ch == '~' || ch == '@') && next == ch) {
      if (link) {
        linkText += ch;
      } else {
        AddSpan(&line, highlight ? kHelpHighlight : kHelpPlain,
                std::string(1, ch), "");
      }
      ++i;
    } else if (ch == '~' && !link) {
      link = 1;
      linkText.clear();
    } else if (ch == '~') {
      link = 0;
      size_t after = next == '@' ? SkipTarget(text, i + 1) : i + 1;
      std::string topic;
      if (after > i + 2) {
        topic = text.substr(i + 2, after - i - 2);
        if (!topic.empty() && topic.back() == '@') topic.pop_back();
      }
      AddSpan(&line, kHelpLink, linkText, topic);
      i = after - 1;
    } else if (ch == '#') {
      if (!link) highlight = !highlight;
    } else if (ch == '@') {
      i = SkipTarget(text, i) - 1;
    } else if (link) {
      linkText += ch;
    } else {
      AddSpan(&line, highlight ? kHelpHighlight : kHelpPlain,
              std::string(1, ch), "");
    }
  }
  if (link) AddSpan(&line, kHelpLink, linkText, "");
  return line;
}

void ParseHelpFile(const std::string& bytes, HelpFile* out) {
  *out = HelpFile{};
  std::istringstream in(bytes);
  std::string line;
  HelpTopic* topic = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.resize(std::min(line.size(), size_t{kHelpMaxLine}));
    if (topic == nullptr && StartsWith(line, ".Language=")) {
      out->LanguageName = LanguageOf(line);
    } else if (topic == nullptr && StartsWith(line, ".PluginContents=")) {
      out->Contents = line.substr(std::string(".PluginContents=").size());
    } else if (line.size() > 1 && line[0] == '@' && line[1] != '@' &&
               line != "@-" && line != "@+") {
      if (out->Topics.size() >= kHelpMaxTopics) break;
      out->Topics.push_back(HelpTopic{line.substr(1), {}});
      topic = &out->Topics.back();
    } else if (topic != nullptr) {
      topic->Lines.push_back(line);
    }
  }
}

int HelpTextWidth(const std::string& line) {
  int width = 0;
  for (size_t i = 0; i < line.size();) {
    char ch = line[i];
    char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if ((ch == '#' || ch == '~' || ch == '@') && next == ch) {
      ++width;
      i += 2;
    } else if (ch == '@') {
      i = SkipTarget(line, i);
    } else {
      if (ch != '#' && ch != '~') ++width;
      ++i;
    }
  }
  return width;
}

namespace {

// The paragraph being filled and the lines laid out so far.
struct HelpFlow {
  int Width;
  std::string Paragraph;
  std::vector<std::string> Lines;
};

// The host's tab: a blank and then blanks up to the next multiple of 8.
std::string WidenTabs(const std::string& line) {
  std::string out = line;
  for (size_t at; (at = out.find('\t')) != std::string::npos;) {
    out[at] = ' ';
    out.insert(at, 8 - at % 8, ' ');
  }
  return out;
}

// An odd number of '#' leaves a highlight open: the host opens it again
// at the start of the next line.
void CarryHighlight(std::string* line) {
  if (std::count(line->begin(), line->end(), '#') % 2 == 1 &&
      (line->empty() || (*line)[0] != '$'))
    line->insert(0, "#");
}

int Fits(const HelpFlow& flow, const std::string& text) {
  return HelpTextWidth(text) < flow.Width;
}

// Cuts the paragraph once, at the last blank outside a link's text before
// which it fits; what follows keeps a blank in front. 0 when none does.
int CutParagraph(HelpFlow* flow) {
  std::string& text = flow->Paragraph;
  for (long i = static_cast<long>(text.size()) - 1; i > 0; --i) {
    if (text[i] == '~' && text[i - 1] == '~') {
      --i;
    } else if (text[i] == '~') {
      do --i;
      while (i > 0 && text[i] != '~');
    } else if (text[i] == ' ' && Fits(*flow, text.substr(0, i))) {
      std::string rest = " " + text.substr(static_cast<size_t>(i) + 1);
      CarryHighlight(&rest);
      // A cut that leaves as much behind would come back for ever (the
      // host's own loop does); the paragraph then stands whole.
      if (rest.size() >= text.size()) return 0;
      flow->Lines.push_back(text.substr(0, static_cast<size_t>(i)));
      text = rest;
      return 1;
    }
  }
  return 0;
}

// One line of a topic's body. `formatting` is off between "@-" and "@+",
// where every line stands as it is unless it is too wide.
void FlowLine(HelpFlow* flow, const std::string& line, int formatting) {
  std::string& paragraph = flow->Paragraph;
  for (;;) {
    int again = 0;
    if (line.empty() || !formatting) {
      if (!paragraph.empty()) {
        if (!Fits(*flow, paragraph)) {
          again = 1;
        } else {
          flow->Lines.push_back(paragraph);
          paragraph.clear();
          if (Fits(*flow, line)) {
            flow->Lines.push_back(line);
            return;
          }
        }
      } else if (!line.empty()) {
        if (Fits(*flow, line)) {
          flow->Lines.push_back(line);
          return;
        }
      } else {
        flow->Lines.push_back("");
        return;
      }
    }
    if (!again && !line.empty() && line[0] == ' ' && formatting) {
      if (Fits(*flow, paragraph)) {
        if (!paragraph.empty()) flow->Lines.push_back(paragraph);
        paragraph = line;
        return;
      }
      again = 1;
    }
    if (!again) paragraph += (paragraph.empty() ? "" : " ") + line;
    if (Fits(*flow, paragraph)) return;
    if (!CutParagraph(flow)) {
      flow->Lines.push_back(paragraph);
      paragraph.clear();
    }
    if (!again) return;
  }
}

}  // namespace

void LayOutHelpTopic(const HelpTopic& topic, int width, HelpPage* page) {
  *page = HelpPage{};
  HelpFlow flow{width, "", {}};
  int formatting = 1, inHeader = 1;
  for (const std::string& raw : topic.Lines) {
    std::string line = WidenTabs(raw);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    CarryHighlight(&line);
    if (line == "@+" || line == "@-") {
      formatting = line == "@+";
      inHeader = 0;
      continue;
    }
    if (inHeader && !line.empty() && line[0] == '$') {
      page->Header.push_back(ParseHelpLine(line.substr(1)));
      continue;
    }
    inHeader = 0;
    FlowLine(&flow, line, formatting);
  }
  while (!Fits(flow, flow.Paragraph) && CutParagraph(&flow)) {
  }
  if (!flow.Paragraph.empty()) flow.Lines.push_back(flow.Paragraph);
  while (!flow.Lines.empty() && HelpTextWidth(flow.Lines.back()) == 0)
    flow.Lines.pop_back();
  for (const std::string& line : flow.Lines)
    page->Body.push_back(ParseHelpLine(line));
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
