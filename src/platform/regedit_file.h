// The settings file of the POSIX settings store: registry keys and values
// in the REGEDIT4 text format that the Windows registry editor exports and
// imports, held in memory as a document. No system calls here, so that the
// parser can be fed arbitrary bytes. The functions that build strings may
// throw std::bad_alloc; the settings store catches it.
#ifndef TOLVANE_PLATFORM_REGEDIT_FILE_H
#define TOLVANE_PLATFORM_REGEDIT_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RegValue {
  std::string Name;  // "" is the key's default value, written "@"
  uint32_t Type;     // registry type number (1 text, 3 binary, 4 dword, ...)
  std::string Data;  // the bytes as stored; text keeps its terminating NUL
  std::string Text;  // the value's lines as read, joined with CR LF and
                     // written back unchanged; empty for a value set anew
};

struct RegKey {
  std::string Path;  // full path with its root: "HKEY_CURRENT_USER\..."
  std::vector<RegValue> Values;
};

// Keys in file order; each path occurs once (compared without case).
struct RegDocument {
  std::vector<RegKey> Keys;
};

// Files larger than this are refused as unparseable.
const size_t kMaxRegeditFileSize = size_t(16) << 20;

// Parses a whole file. An empty or blank text is an empty document. Returns
// 0 and an empty document when any line is not sound REGEDIT4: a missing
// "REGEDIT4" first line, a value before the first key, an unknown line, a
// bad escape, a missing quote, a hex list that breaks off, a NUL byte, a
// deletion entry ("[-...]" or "=-"). Lines starting with ';' are comments
// and are not kept. A key or value given twice merges (the later wins).
int ParseRegeditText(const char* text, size_t size, RegDocument* doc);

// The document as the registry editor writes it: "REGEDIT4", a blank line,
// then each key line, its values and a blank line, all with CR LF.
std::string FormatRegeditText(const RegDocument& doc);

// One value's line(s), without the final line end: "Name"="text" (for text
// with one final NUL and no CR, LF or other NUL), "Name"=dword:0000000a
// (four bytes), else "Name"=hex:.. or hex(N):.. wrapped before 80 columns
// with ",\" and continued on lines indented by two blanks.
std::string FormatRegeditValue(const RegValue& value);

// Builds "HKEY_CURRENT_USER\<path>" from a caller's key path; "" is the
// root itself. 0 for a null path, an empty component, a component longer
// than 255 bytes, more than 512 levels, or a CR or LF.
int UserKeyPath(const char* path, std::string* full);

// 1 when `path` is `root` or lies below it (without regard to case).
int InRegTree(const std::string& path, const std::string& root);

// Index of the key with exactly this path, or -1.
int FindRegKey(const RegDocument& doc, const std::string& path);

// 1 when the key is in the document, itself or as the parent of one.
int RegKeyExists(const RegDocument& doc, const std::string& path);

// The names of the direct subkeys of `path` in file order, each once
// (spelled as first met), also of subkeys that stand only as parents.
std::vector<std::string> RegSubkeyNames(const RegDocument& doc,
                                        const std::string& path);

// Index of the key, created with its missing parents below the root when
// absent; a new key goes after its parent's subtree.
size_t EnsureRegKey(RegDocument* doc, const std::string& path);

// The value of that name (without regard to case), or null.
const RegValue* FindRegValue(const RegKey& key, const std::string& name);

// Stores a value, keeping the stored spelling of an existing name.
void SetRegValue(RegKey* key, const std::string& name, uint32_t type,
                 const void* data, size_t size);

// Removes the key and everything below it. 1 when something was removed.
int DeleteRegTree(RegDocument* doc, const std::string& path);

// Replaces `to` with a copy of `from` and its subkeys; a missing `from`
// leaves `to` an empty key. 0 (nothing changed) when one lies in the other.
int CopyRegTree(RegDocument* doc, const std::string& from,
                const std::string& to);

#endif  // TOLVANE_PLATFORM_REGEDIT_FILE_H
