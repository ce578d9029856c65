#include "farhost/commands/endpoint_lines.h"

#include "farhost/commands/file_fetch.h"

namespace {

const char* const kProtocols[] = {"binkp", "ifcico", "telnet", "vmodem", "ftp"};
const char* const kSources[] = {"IBN", "IFC", "ITN",   "IVM",
                                "IFT", "INA", "phone", "system name"};

// The label is 16 characters wide, then ": " and the value.
const size_t kLabelWidth = 16;

template <size_t N>
int IsOneOf(const std::string& text, const char* const (&names)[N]) {
  for (const char* name : names)
    if (text == name) return 1;
  return 0;
}

int ParsePort(const std::string& digits, unsigned* port) {
  if (digits.empty() || digits.size() > 5) return 0;
  unsigned long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value == 0 || value > 65535) return 0;
  *port = static_cast<unsigned>(value);
  return 1;
}

// "host:port" or "[address]:port".
int ParseHostPort(const std::string& text, EndpointLine* line) {
  size_t colon;
  if (!text.empty() && text[0] == '[') {
    size_t close = text.find(']');
    if (close == std::string::npos || close + 1 >= text.size() ||
        text[close + 1] != ':')
      return 0;
    line->Host = text.substr(1, close - 1);
    colon = close + 1;
  } else {
    colon = text.rfind(':');
    if (colon == std::string::npos) return 0;
    line->Host = text.substr(0, colon);
  }
  return !line->Host.empty() && ParsePort(text.substr(colon + 1), &line->Port);
}

int ParseLine(const std::string& text, EndpointLine* line) {
  if (text.size() < kLabelWidth + 2 || text.compare(kLabelWidth, 2, ": ") != 0)
    return 0;
  std::string label = text.substr(0, kLabelWidth);
  label.erase(label.find_last_not_of(' ') + 1);
  std::string value = text.substr(kLabelWidth + 2);
  size_t open = value.rfind(" (");
  if (!IsOneOf(label, kProtocols) || value.empty() || value.back() != ')' ||
      open == std::string::npos)
    return 0;
  line->Protocol = label;
  line->Source = value.substr(open + 2, value.size() - open - 3);
  return IsOneOf(line->Source, kSources) &&
         ParseHostPort(value.substr(0, open), line);
}

}  // namespace

std::vector<EndpointLine> ParseEndpointLines(const std::string& file) {
  std::vector<EndpointLine> lines;
  for (size_t start = 0; start < file.size();) {
    size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    std::string text = file.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    EndpointLine line;
    if (ParseLine(text, &line)) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

int TakesNoCalls(const std::string& file) {
  if (file.size() < kLabelWidth + 2 || file.compare(kLabelWidth, 2, ": ") != 0)
    return 0;
  std::string label = file.substr(0, kLabelWidth);
  label.erase(label.find_last_not_of(' ') + 1);
  for (char& c : label)
    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return label == "HOLD" || label == "DOWN";
}

std::string EndpointHostPort(const EndpointLine& endpoint) {
  int ipv6 = endpoint.Host.find(':') != std::string::npos;
  return (ipv6 ? "[" + endpoint.Host + "]" : endpoint.Host) + ":" +
         std::to_string(endpoint.Port);
}

std::vector<ItemDescription> PanelDescriptions(FarHost* host,
                                               const PanelModel& panel) {
  std::vector<std::string> files;
  std::vector<int> fetched;
  FetchItemFiles(host, panel.Plugin, panel.Items, OPM_FIND | OPM_SILENT, &files,
                 &fetched);
  std::vector<ItemDescription> descriptions(panel.Items.size());
  for (size_t i = 0; i < descriptions.size(); ++i) {
    descriptions[i].Known = fetched[i];
    if (!fetched[i]) continue;
    descriptions[i].NoCalls = TakesNoCalls(files[i]);
    descriptions[i].Lines = ParseEndpointLines(files[i]);
    descriptions[i].Flags = ParseFlagLines(files[i]);
  }
  return descriptions;
}
