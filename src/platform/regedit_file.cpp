// REGEDIT4 text: parsing into a RegDocument, writing it back, and the key
// and value operations of the settings store on the document.
//
// Sections: text helpers; parsing values; parsing the document; writing;
// key paths and tree operations.
#include "platform/regedit_file.h"

#include <cstddef>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

// ---------------------------------------------------------------------------
// Text helpers.

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

int EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return 0;
  return 1;
}

std::string LowerCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

int IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(std::string_view s, size_t pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  return pos;
}

int OnlyBlanksFrom(std::string_view s, size_t pos) {
  return SkipBlanks(s, pos) == s.size();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads 1 to `most` hex digits at s[*pos] into *value.
int ReadHex(std::string_view s, size_t* pos, int most, uint32_t* value) {
  uint32_t number = 0;
  int digits = 0;
  while (*pos < s.size() && HexDigit(s[*pos]) >= 0) {
    if (++digits > most) return 0;
    number = number * 16 + uint32_t(HexDigit(s[*pos]));
    ++*pos;
  }
  *value = number;
  return digits > 0;
}

int StartsNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() &&
         EqualNoCase(s.substr(0, prefix.size()), prefix);
}

// Walks the text line by line; a line ends at LF, a CR before it is cut.
struct LineCursor {
  const char* At;
  const char* End;
};

int NextLine(LineCursor* cursor, std::string_view* line) {
  if (cursor->At >= cursor->End) return 0;
  size_t left = size_t(cursor->End - cursor->At);
  const char* lf =
      static_cast<const char*>(std::memchr(cursor->At, '\n', left));
  size_t length = lf ? size_t(lf - cursor->At) : left;
  *line = std::string_view(cursor->At, length);
  if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
  cursor->At = lf ? lf + 1 : cursor->End;
  return 1;
}

// ---------------------------------------------------------------------------
// Parsing values.

// A quoted text at s[*pos] == '"' with \\ and \" as its only escapes.
int ParseQuoted(std::string_view s, size_t* pos, std::string* out) {
  out->clear();
  for (size_t i = *pos + 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      *pos = i + 1;
      return 1;
    }
    if (c == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return 0;
      c = s[++i];
    }
    out->push_back(c);
  }
  return 0;
}

int ParseStringData(std::string_view data, RegValue* value) {
  size_t pos = 0;
  if (!ParseQuoted(data, &pos, &value->Data) || !OnlyBlanksFrom(data, pos))
    return 0;
  value->Data.push_back('\0');
  value->Type = 1;
  return 1;
}

int ParseDwordData(std::string_view data, RegValue* value) {
  size_t pos = 0;
  uint32_t number = 0;
  if (!ReadHex(data, &pos, 8, &number) || !OnlyBlanksFrom(data, pos)) return 0;
  value->Data.clear();
  for (int i = 0; i < 4; ++i) value->Data.push_back(char(number >> (8 * i)));
  value->Type = 4;
  return 1;
}

// One line of a hex list; *expect_byte says a byte must come next. Sets
// *more when the line ends with the continuation mark ",\".
int ParseHexSegment(std::string_view s, RegValue* value, int* expect_byte,
                    int* more) {
  *more = 0;
  size_t pos = SkipBlanks(s, 0);
  while (pos < s.size()) {
    uint32_t byte = 0;
    if (s[pos] == '\\') {
      if (!*expect_byte || value->Data.empty() || !OnlyBlanksFrom(s, pos + 1))
        return 0;
      *more = 1;
      return 1;
    } else if (s[pos] == ',') {
      if (*expect_byte) return 0;
      *expect_byte = 1;
      ++pos;
    } else if (*expect_byte && ReadHex(s, &pos, 2, &byte)) {
      value->Data.push_back(char(byte));
      *expect_byte = 0;
    } else {
      return 0;
    }
    pos = SkipBlanks(s, pos);
  }
  // The list ends after a byte; only an empty list ends without one.
  return !*expect_byte || value->Data.empty();
}

// The bytes after "hex:" or "hex(N):", continued over following lines.
int ParseHexData(std::string_view first, LineCursor* cursor, RegValue* value) {
  value->Data.clear();
  int expect_byte = 1;
  int more = 0;
  if (!ParseHexSegment(first, value, &expect_byte, &more)) return 0;
  while (more) {
    std::string_view line;
    if (!NextLine(cursor, &line)) return 0;
    value->Text.append("\r\n").append(line);
    size_t before = value->Data.size();
    if (!ParseHexSegment(line, value, &expect_byte, &more)) return 0;
    if (value->Data.size() == before) return 0;  // nothing after ",\"
  }
  return 1;
}

int ParseTypedHex(std::string_view data, LineCursor* cursor, RegValue* value) {
  size_t pos = 4;  // after "hex("
  uint32_t type = 0;
  if (!ReadHex(data, &pos, 8, &type) || data.substr(pos, 2) != "):") return 0;
  value->Type = type;
  return ParseHexData(data.substr(pos + 2), cursor, value);
}

// `line` starts with '@' or '"'; continuation lines come from the cursor.
int ParseValue(std::string_view line, LineCursor* cursor, RegValue* value) {
  size_t pos = 0;
  if (line[0] == '@') {
    value->Name.clear();
    pos = 1;
  } else if (!ParseQuoted(line, &pos, &value->Name)) {
    return 0;
  }
  pos = SkipBlanks(line, pos);
  if (pos >= line.size() || line[pos] != '=') return 0;
  pos = SkipBlanks(line, pos + 1);
  value->Text.assign(line);
  std::string_view data = line.substr(pos);
  if (!data.empty() && data[0] == '"') return ParseStringData(data, value);
  if (StartsNoCase(data, "dword:"))
    return ParseDwordData(data.substr(6), value);
  if (StartsNoCase(data, "hex:")) {
    value->Type = 3;
    return ParseHexData(data.substr(4), cursor, value);
  }
  if (StartsNoCase(data, "hex(")) return ParseTypedHex(data, cursor, value);
  return 0;
}

// ---------------------------------------------------------------------------
// Parsing the document.

// A stored path: a root "HKEY_..." and components, none of them empty.
int ValidStoredPath(std::string_view path) {
  if (!StartsNoCase(path, "HKEY_")) return 0;
  size_t start = 0;
  for (;;) {
    size_t cut = path.find('\\', start);
    size_t end = cut == std::string_view::npos ? path.size() : cut;
    if (end == start) return 0;
    if (cut == std::string_view::npos) return 1;
    start = cut + 1;
  }
}

// Lookup tables while parsing, so that large files parse in linear time.
struct ParseState {
  RegDocument* Doc;
  int Current;  // the key that values go to, -1 before the first key
  std::unordered_map<std::string, size_t> Keys;    // lower-case path
  std::unordered_map<std::string, size_t> Values;  // path LF name, lower
};

int ParseKeyLine(std::string_view line, ParseState* state) {
  size_t close = line.rfind(']');
  if (close == std::string_view::npos || !OnlyBlanksFrom(line, close + 1))
    return 0;
  std::string_view path = line.substr(1, close - 1);
  if (!ValidStoredPath(path)) return 0;
  auto found = state->Keys.emplace(LowerCopy(path), state->Doc->Keys.size());
  if (found.second) state->Doc->Keys.push_back(RegKey{std::string(path), {}});
  state->Current = int(found.first->second);
  return 1;
}

void StoreParsedValue(ParseState* state, RegValue* value) {
  RegKey* key = &state->Doc->Keys[size_t(state->Current)];
  std::string id = LowerCopy(key->Path) + '\n' + LowerCopy(value->Name);
  auto found = state->Values.emplace(id, key->Values.size());
  if (found.second)
    key->Values.push_back(std::move(*value));
  else
    key->Values[found.first->second] = std::move(*value);
}

int ParseBody(LineCursor* cursor, ParseState* state) {
  std::string_view line;
  while (NextLine(cursor, &line)) {
    line.remove_prefix(SkipBlanks(line, 0));
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (!ParseKeyLine(line, state)) return 0;
      continue;
    }
    if (state->Current < 0 || (line[0] != '@' && line[0] != '"')) return 0;
    RegValue value{};
    if (!ParseValue(line, cursor, &value)) return 0;
    StoreParsedValue(state, &value);
  }
  return 1;
}

int ParseDocument(const char* text, size_t size, RegDocument* doc) {
  if (size > kMaxRegeditFileSize) return 0;
  if (size == 0) return 1;
  if (std::memchr(text, '\0', size) != nullptr) return 0;
  LineCursor cursor{text, text + size};
  std::string_view line;
  NextLine(&cursor, &line);
  size_t end = line.size();
  while (end > 0 && IsBlank(line[end - 1])) --end;
  if (line.substr(0, end) != "REGEDIT4") {
    for (size_t i = 0; i < size; ++i)
      if (!IsBlank(text[i]) && text[i] != '\r' && text[i] != '\n') return 0;
    return 1;
  }
  ParseState state{doc, -1, {}, {}};
  return ParseBody(&cursor, &state);
}

// ---------------------------------------------------------------------------
// Writing.

void AppendEscaped(std::string* out, std::string_view text) {
  for (char c : text) {
    if (c == '\\' || c == '"') out->push_back('\\');
    out->push_back(c);
  }
}

// Text that the quoted form can carry: one final NUL and no line breaks.
int IsPlainText(const std::string& data) {
  if (data.empty() || data.back() != '\0') return 0;
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == '\0' || data[i] == '\r' || data[i] == '\n') return 0;
  return 1;
}

const char kHexDigits[] = "0123456789abcdef";

// The registry editor's wrapping: after each "xx," the column grows by 3;
// from column 77 on the line is continued.
void AppendHexList(std::string* out, size_t column, const std::string& data) {
  for (size_t i = 0; i < data.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(data[i]);
    out->push_back(kHexDigits[byte >> 4]);
    out->push_back(kHexDigits[byte & 15]);
    if (i + 1 == data.size()) break;
    out->push_back(',');
    column += 3;
    if (column >= 77) {
      out->append("\\\r\n  ");
      column = 2;
    }
  }
}

void AppendHexNumber(std::string* out, uint32_t number, int width) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kHexDigits[number & 15];
    number >>= 4;
  } while (number != 0 && count < 8);
  while (count < width) digits[count++] = '0';
  while (count > 0) out->push_back(digits[--count]);
}

}  // namespace

std::string FormatRegeditValue(const RegValue& value) {
  std::string out;
  if (value.Name.empty()) {
    out.push_back('@');
  } else {
    out.push_back('"');
    AppendEscaped(&out, value.Name);
    out.push_back('"');
  }
  out.push_back('=');
  if (value.Type == 4 && value.Data.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
      number = (number << 8) | static_cast<unsigned char>(value.Data[i]);
    out.append("dword:");
    AppendHexNumber(&out, number, 8);
  } else if (value.Type == 1 && IsPlainText(value.Data)) {
    out.push_back('"');
    AppendEscaped(
        &out, std::string_view(value.Data).substr(0, value.Data.size() - 1));
    out.push_back('"');
  } else {
    if (value.Type == 3) {
      out.append("hex:");
    } else {
      out.append("hex(");
      AppendHexNumber(&out, value.Type, 1);
      out.append("):");
    }
    AppendHexList(&out, out.size(), value.Data);
  }
  return out;
}

std::string FormatRegeditText(const RegDocument& doc) {
  std::string out = "REGEDIT4\r\n\r\n";
  for (const RegKey& key : doc.Keys) {
    out.append("[").append(key.Path).append("]\r\n");
    for (const RegValue& value : key.Values) {
      out.append(value.Text.empty() ? FormatRegeditValue(value) : value.Text);
      out.append("\r\n");
    }
    out.append("\r\n");
  }
  return out;
}

int ParseRegeditText(const char* text, size_t size, RegDocument* doc) {
  doc->Keys.clear();
  if (ParseDocument(text, size, doc)) return 1;
  doc->Keys.clear();
  return 0;
}

// ---------------------------------------------------------------------------
// Key paths and tree operations.

int UserKeyPath(const char* path, std::string* full) {
  if (path == nullptr) return 0;
  std::string_view rest(path);
  size_t levels = 0;
  while (!rest.empty()) {
    size_t cut = rest.find('\\');
    std::string_view part = rest.substr(0, cut);
    if (part.empty() || part.size() > 255 || ++levels > 512) return 0;
    if (part.find_first_of("\r\n") != std::string_view::npos) return 0;
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
    if (rest.empty()) return 0;  // a trailing backslash
  }
  *full = "HKEY_CURRENT_USER";
  if (*path != '\0') full->append("\\").append(path);
  return 1;
}

int InRegTree(const std::string& path, const std::string& root) {
  if (path.size() < root.size()) return 0;
  if (path.size() > root.size() && path[root.size()] != '\\') return 0;
  return EqualNoCase(std::string_view(path).substr(0, root.size()), root);
}

int FindRegKey(const RegDocument& doc, const std::string& path) {
  for (size_t i = 0; i < doc.Keys.size(); ++i)
    if (EqualNoCase(doc.Keys[i].Path, path)) return int(i);
  return -1;
}

int RegKeyExists(const RegDocument& doc, const std::string& path) {
  for (const RegKey& key : doc.Keys)
    if (InRegTree(key.Path, path)) return 1;
  return 0;
}

std::vector<std::string> RegSubkeyNames(const RegDocument& doc,
                                        const std::string& path) {
  std::vector<std::string> names;
  for (const RegKey& key : doc.Keys) {
    if (key.Path.size() <= path.size() + 1 || !InRegTree(key.Path, path))
      continue;
    std::string name = key.Path.substr(path.size() + 1);
    name = name.substr(0, name.find('\\'));
    int known = 0;
    for (const std::string& seen : names) known |= EqualNoCase(seen, name);
    if (!known) names.push_back(name);
  }
  return names;
}

namespace {

// Adds one key whose parent is in place, after the parent's subtree.
size_t InsertRegKey(RegDocument* doc, const std::string& path) {
  size_t at = doc->Keys.size();
  size_t cut = path.rfind('\\');
  if (cut != std::string::npos) {
    std::string parent = path.substr(0, cut);
    for (size_t i = doc->Keys.size(); i > 0; --i) {
      if (InRegTree(doc->Keys[i - 1].Path, parent)) {
        at = i;
        break;
      }
    }
  }
  doc->Keys.insert(doc->Keys.begin() + std::ptrdiff_t(at), RegKey{path, {}});
  return at;
}

}  // namespace

size_t EnsureRegKey(RegDocument* doc, const std::string& path) {
  // Level by level below the root, taking the stored spelling of each key
  // that exists.
  size_t cut = path.find('\\');
  std::string spelled = path.substr(0, cut);
  for (;;) {
    int found = FindRegKey(*doc, spelled);
    int last = cut == std::string::npos;
    if (found >= 0)
      spelled = doc->Keys[size_t(found)].Path;
    else if (last || spelled.find('\\') != std::string::npos)
      found = int(InsertRegKey(doc, spelled));
    if (last) return size_t(found);
    size_t next = path.find('\\', cut + 1);
    spelled += path.substr(cut, next == std::string::npos ? next : next - cut);
    cut = next;
  }
}

const RegValue* FindRegValue(const RegKey& key, const std::string& name) {
  for (const RegValue& value : key.Values)
    if (EqualNoCase(value.Name, name)) return &value;
  return nullptr;
}

void SetRegValue(RegKey* key, const std::string& name, uint32_t type,
                 const void* data, size_t size) {
  RegValue* target = const_cast<RegValue*>(FindRegValue(*key, name));
  if (target == nullptr) {
    key->Values.push_back(RegValue{name, type, {}, {}});
    target = &key->Values.back();
  }
  target->Type = type;
  target->Data.assign(static_cast<const char*>(data), size);
  target->Text.clear();
}

int DeleteRegTree(RegDocument* doc, const std::string& path) {
  size_t kept = 0;
  for (size_t i = 0; i < doc->Keys.size(); ++i) {
    if (InRegTree(doc->Keys[i].Path, path)) continue;
    if (kept != i) doc->Keys[kept] = std::move(doc->Keys[i]);
    ++kept;
  }
  int removed = kept != doc->Keys.size();
  doc->Keys.resize(kept);
  return removed;
}

int CopyRegTree(RegDocument* doc, const std::string& from,
                const std::string& to) {
  if (InRegTree(from, to) || InRegTree(to, from)) return 0;
  std::vector<RegKey> copies;
  for (const RegKey& key : doc->Keys) {
    if (!InRegTree(key.Path, from)) continue;
    copies.push_back(RegKey{to + key.Path.substr(from.size()), key.Values});
  }
  DeleteRegTree(doc, to);
  EnsureRegKey(doc, to);
  for (RegKey& copy : copies) {
    size_t index = EnsureRegKey(doc, copy.Path);
    doc->Keys[index].Values = std::move(copy.Values);
  }
  return 1;
}
