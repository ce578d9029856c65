// The texts that the compiler derives from an entry line: the sysop index
// key, the stored phone, the phone index key, and the case-insensitive
// ordering shared by the sysop and phone indexes.
#ifndef TOLVANE_TOOLS_COMPILER_KEYS_H
#define TOLVANE_TOOLS_COMPILER_KEYS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace v7c {

// Longest phone kept in a record; a longer one is cut (readers hold 39).
const size_t kMaxPhone = 39;

// The phone index key of unpublished numbers.
const char kUnpublishedKey[] = "-Unpublished-";

// 1 when the phone field says the system has no published number: empty,
// or "-Unpublished-"/"Unpublished" in any letter case.
int IsUnpublishedPhone(const char* phone, size_t length);

// Writes the phone as stored in the data record into out (room for
// kMaxPhone bytes): empty for unpublished, "a.b.c.d" for "000-a-b-c-d"
// with four groups of 1 to 3 digits, otherwise as written, cut to
// kMaxPhone. Returns the number of bytes.
size_t StoredPhone(const char* phone, size_t length, char* out);

// Writes the phone index key into out (room for kMaxPhone bytes): the
// stored phone without dashes, or "-Unpublished-". Returns its length.
size_t PhoneKey(const char* phone, size_t length, char* out);

// Appends the full sysop key of a nodelist name to *out: underscores read
// as blanks, blanks at both ends dropped, then "Surname, Given names" split
// at the last blank (a one-word name stays as it is). Case and punctuation
// are kept. Returns the number of bytes appended. The index stores at most
// v7::kMaxSysopKey bytes of it.
size_t AppendSysopKey(const char* name, size_t length, std::string* out);

// Compares two texts with ASCII letters folded to upper case and every
// other byte by its unsigned value; a text that is the beginning of the
// other sorts first. Returns <0, 0 or >0.
int CompareFolded(const char* a, size_t a_length, const char* b,
                  size_t b_length);

// The first eight folded bytes of a text as one big-endian number, padded
// with zeros: comparing two of these orders texts as CompareFolded does
// whenever they differ.
uint64_t FoldedPrefix(const char* text, size_t length);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_KEYS_H
