#include "farhost/commands/list_format.h"

#include <charconv>
#include <cstring>
#include <nlohmann/json.hpp>

#include "farhost/sys/sys.h"

namespace {

const int kListedColumns = 9;  // C0 .. C8

uint16_t ReadU16(const unsigned char* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t ReadU32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (uint32_t{bytes[1]} << 8) |
         (uint32_t{bytes[2]} << 16) | (uint32_t{bytes[3]} << 24);
}

std::string Utf8(int codePage, const char* oem) {
  std::string text;
  if (oem != nullptr)
    SysAppendUtf8(SysOemUtf8Table(codePage), oem, std::strlen(oem), &text);
  return text;
}

// The nine column texts of an item, empty ones where it has fewer.
std::vector<std::string> Columns(const PluginPanelItem& item, int codePage) {
  std::vector<std::string> columns(kListedColumns);
  int count = item.CustomColumnNumber;
  if (item.CustomColumnData == nullptr) count = 0;
  for (int i = 0; i < count && i < kListedColumns; ++i)
    columns[static_cast<size_t>(i)] = Utf8(codePage, item.CustomColumnData[i]);
  return columns;
}

// Output is gathered in one buffer and written in pieces of this size.
const size_t kOutputChunk = 64 * 1024;

// Whether a byte is written as it is: ASCII, which both OEM code pages
// keep, and not one of the escaped characters.
bool Plain(unsigned char byte) {
  return byte < 0x80 && byte != '\t' && byte != '\n' && byte != '\r' &&
         byte != '\\';
}

// A text of the plugin's converted to UTF-8 and escaped as EscapeField does.
// Runs of plain bytes are appended at once (nearly every text is ASCII).
void AppendField(const SysOemTable& table, const char* text, std::string* out) {
  if (text == nullptr) return;
  while (*text != '\0') {
    const char* run = text;
    while (*text != '\0' && Plain(static_cast<unsigned char>(*text))) ++text;
    out->append(run, static_cast<size_t>(text - run));
    if (*text == '\0') break;
    unsigned char byte = static_cast<unsigned char>(*text++);
    switch (byte) {
      case '\t':
        *out += "\\t";
        break;
      case '\n':
        *out += "\\n";
        break;
      case '\r':
        *out += "\\r";
        break;
      case '\\':
        *out += "\\\\";
        break;
      default:
        out->append(table.Text[byte], table.Length[byte]);
    }
  }
}

void AppendNumber(unsigned long value, std::string* out) {
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof(digits), value).ptr;
  out->append(digits, static_cast<size_t>(end - digits));
}

void AppendTsvLine(const PluginPanelItem& item, const SysOemTable& table,
                   std::string* line) {
  AppendField(table, item.FindData.cFileName, line);
  *line += '\t';
  AppendField(table, item.Description, line);
  *line += '\t';
  *line += AttributeLetters(item.FindData.dwFileAttributes);
  *line += '\t';
  AppendNumber(item.NumberOfLinks, line);
  int count = item.CustomColumnData != nullptr ? item.CustomColumnNumber : 0;
  for (int i = 0; i < kListedColumns; ++i) {
    *line += '\t';
    if (i < count) AppendField(table, item.CustomColumnData[i], line);
  }
  AddressBlock block;
  if (!ReadAddressBlock(item, &block)) {
    *line += "\t\t\t\t\n";
    return;
  }
  const unsigned long fields[] = {block.Zone,  block.Net, block.Node,
                                  block.Point, block.Hub, block.Region,
                                  block.Level};
  const char separators[] = "\t:/.\t\t\t";
  for (size_t i = 0; i < 7; ++i) {
    *line += separators[i];
    AppendNumber(fields[i], line);
  }
  *line += '\n';
}

// The item's flags in words; null when not Known. The texts are the
// plugin's, converted from its code page.
nlohmann::ordered_json JsonFlags(const ItemDescription& description,
                                 int codePage) {
  if (!description.Known) return nullptr;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const FlagLine& line : description.Flags) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object["flag"] = Utf8(codePage, line.Flag.c_str());
    object["value"] =
        line.HasValue
            ? nlohmann::ordered_json(Utf8(codePage, line.Value.c_str()))
            : nullptr;
    object["category"] =
        line.Category.empty()
            ? nullptr
            : nlohmann::ordered_json(Utf8(codePage, line.Category.c_str()));
    object["meaning"] = Utf8(codePage, line.Meaning.c_str());
    list.push_back(object);
  }
  return list;
}

nlohmann::ordered_json JsonEndpoints(const ItemDescription& endpoints) {
  if (!endpoints.Known) return nullptr;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const EndpointLine& line : endpoints.Lines) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object["protocol"] = line.Protocol;
    object["host"] = line.Host;
    object["port"] = line.Port;
    object["source"] = line.Source;
    list.push_back(object);
  }
  return list;
}

nlohmann::ordered_json JsonItem(const PluginPanelItem& item,
                                const ItemDescription& internet, int codePage) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  object["name"] = Utf8(codePage, item.FindData.cFileName);
  object["description"] = Utf8(codePage, item.Description);
  object["attributes"] = AttributeLetters(item.FindData.dwFileAttributes);
  object["links"] = item.NumberOfLinks;
  if (item.CustomColumnNumber > 0 && item.CustomColumnData != nullptr)
    object["columns"] = Columns(item, codePage);
  else
    object["columns"] = nullptr;
  AddressBlock block;
  int has = ReadAddressBlock(item, &block);
  object["address"] =
      has ? nlohmann::ordered_json(FormatBlockAddress(block)) : nullptr;
  object["hub"] = has ? nlohmann::ordered_json(block.Hub) : nullptr;
  object["region"] = has ? nlohmann::ordered_json(block.Region) : nullptr;
  object["level"] = has ? nlohmann::ordered_json(block.Level) : nullptr;
  object["internet"] = JsonEndpoints(internet);
  object["flags"] = JsonFlags(internet, codePage);
  return object;
}

}  // namespace

int ReadAddressBlock(const PluginPanelItem& item, AddressBlock* block) {
  *block = AddressBlock{};
  if (!(item.Flags & PPIF_USERDATA) || item.UserData == 0) return 0;
  const unsigned char* bytes =
      reinterpret_cast<const unsigned char*>(item.UserData);
  if (ReadU32(bytes) < kAddressBlockSize) return 0;
  block->Zone = ReadU16(bytes + 4);
  block->Net = ReadU16(bytes + 6);
  block->Node = ReadU16(bytes + 8);
  block->Point = ReadU16(bytes + 10);
  block->Hub = ReadU16(bytes + 16);
  block->Region = ReadU16(bytes + 18);
  block->Level = ReadU16(bytes + 20);
  return 1;
}

std::string FormatBlockAddress(const AddressBlock& block) {
  return std::to_string(block.Zone) + ":" + std::to_string(block.Net) + "/" +
         std::to_string(block.Node) + "." + std::to_string(block.Point);
}

std::string AttributeLetters(DWORD attributes) {
  std::string letters;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) letters += 'D';
  if (attributes & FILE_ATTRIBUTE_HIDDEN) letters += 'H';
  return letters;
}

std::string EscapeField(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void WriteTsvListing(const PanelModel& panel, int codePage, std::ostream& out) {
  const SysOemTable& table = SysOemUtf8Table(codePage);
  std::string buffer;
  buffer.reserve(2 * kOutputChunk);
  for (const PluginPanelItem& item : panel.Items) {
    AppendTsvLine(item, table, &buffer);
    if (buffer.size() < kOutputChunk) continue;
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    buffer.clear();
  }
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

void WriteJsonListing(const PanelModel& panel,
                      const std::vector<ItemDescription>& internet,
                      int codePage, std::ostream& out) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (size_t i = 0; i < panel.Items.size(); ++i)
    list.push_back(JsonItem(
        panel.Items[i], i < internet.size() ? internet[i] : ItemDescription(),
        codePage));
  out << list.dump(2, ' ', false,
                   nlohmann::ordered_json::error_handler_t::replace)
      << "\n";
}
