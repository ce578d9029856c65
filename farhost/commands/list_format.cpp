#include "farhost/commands/list_format.h"

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
  SysOemToUtf8(codePage, oem != nullptr ? oem : "", &text);
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

void WriteTsvLine(const PluginPanelItem& item, int codePage,
                  std::ostream& out) {
  std::vector<std::string> fields;
  fields.push_back(Utf8(codePage, item.FindData.cFileName));
  fields.push_back(Utf8(codePage, item.Description));
  fields.push_back(AttributeLetters(item.FindData.dwFileAttributes));
  fields.push_back(std::to_string(item.NumberOfLinks));
  std::vector<std::string> columns = Columns(item, codePage);
  if (item.CustomColumnNumber <= 0 || item.CustomColumnData == nullptr)
    columns.assign(kListedColumns, std::string());
  fields.insert(fields.end(), columns.begin(), columns.end());
  AddressBlock block;
  int has = ReadAddressBlock(item, &block);
  fields.push_back(has ? FormatBlockAddress(block) : "");
  fields.push_back(has ? std::to_string(block.Hub) : "");
  fields.push_back(has ? std::to_string(block.Region) : "");
  fields.push_back(has ? std::to_string(block.Level) : "");
  for (size_t i = 0; i < fields.size(); ++i)
    out << (i > 0 ? "\t" : "") << EscapeField(fields[i]);
  out << "\n";
}

nlohmann::ordered_json JsonEndpoints(const ItemEndpoints& endpoints) {
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
                                const ItemEndpoints& internet, int codePage) {
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
  for (const PluginPanelItem& item : panel.Items)
    WriteTsvLine(item, codePage, out);
}

void WriteJsonListing(const PanelModel& panel,
                      const std::vector<ItemEndpoints>& internet, int codePage,
                      std::ostream& out) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (size_t i = 0; i < panel.Items.size(); ++i)
    list.push_back(JsonItem(panel.Items[i],
                            i < internet.size() ? internet[i] : ItemEndpoints(),
                            codePage));
  out << list.dump(2, ' ', false,
                   nlohmann::ordered_json::error_handler_t::replace)
      << "\n";
}
