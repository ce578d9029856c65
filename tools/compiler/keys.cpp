// Sysop and phone keys and their ordering.
#include "compiler/keys.h"

#include <cstring>

namespace v7c {

namespace {

inline unsigned char Fold(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

int EqualsNoCase(const char* text, size_t length, const char* word) {
  if (strlen(word) != length) return 0;
  for (size_t i = 0; i < length; ++i)
    if (Fold(text[i]) != Fold(word[i])) return 0;
  return 1;
}

// Checks "000-a-b-c-d" with four groups of 1 to 3 digits and writes
// "a.b.c.d". Returns the length written, 0 when the phone has another form.
size_t DottedFromZeroPhone(const char* phone, size_t length, char* out) {
  if (length < 11 || memcmp(phone, "000-", 4) != 0) return 0;
  size_t n = 0, digits = 0, groups = 1;
  for (size_t i = 4; i < length; ++i) {
    char c = phone[i];
    if (c >= '0' && c <= '9') {
      if (++digits > 3) return 0;
      out[n++] = c;
    } else if (c == '-' && digits > 0 && groups < 4) {
      out[n++] = '.';
      digits = 0;
      ++groups;
    } else {
      return 0;
    }
  }
  return (groups == 4 && digits > 0) ? n : 0;
}

}  // namespace

int IsUnpublishedPhone(const char* phone, size_t length) {
  return length == 0 || EqualsNoCase(phone, length, "-Unpublished-") ||
         EqualsNoCase(phone, length, "Unpublished");
}

size_t StoredPhone(const char* phone, size_t length, char* out) {
  if (IsUnpublishedPhone(phone, length)) return 0;
  size_t n = DottedFromZeroPhone(phone, length, out);
  if (n) return n;
  n = length < kMaxPhone ? length : kMaxPhone;
  memcpy(out, phone, n);
  return n;
}

size_t PhoneKey(const char* phone, size_t length, char* out) {
  if (IsUnpublishedPhone(phone, length)) {
    memcpy(out, kUnpublishedKey, sizeof(kUnpublishedKey) - 1);
    return sizeof(kUnpublishedKey) - 1;
  }
  char stored[kMaxPhone];
  size_t stored_length = StoredPhone(phone, length, stored);
  size_t n = 0;
  for (size_t i = 0; i < stored_length; ++i)
    if (stored[i] != '-') out[n++] = stored[i];
  return n;
}

size_t AppendSysopKey(const char* name, size_t length, std::string* out) {
  size_t begin = 0, end = length;
  while (begin < end && (name[begin] == '_' || name[begin] == ' ')) ++begin;
  while (end > begin && (name[end - 1] == '_' || name[end - 1] == ' ')) --end;
  size_t split = end;
  for (size_t i = end; i > begin; --i) {
    if (name[i - 1] == '_' || name[i - 1] == ' ') {
      split = i - 1;
      break;
    }
  }
  size_t start = out->size();
  auto append_blanked = [out, name](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
      out->push_back(name[i] == '_' ? ' ' : name[i]);
  };
  if (split == end) {
    append_blanked(begin, end);
  } else {
    size_t given_end = split;
    while (given_end > begin &&
           (name[given_end - 1] == '_' || name[given_end - 1] == ' '))
      --given_end;
    append_blanked(split + 1, end);
    out->append(", ");
    append_blanked(begin, given_end);
  }
  return out->size() - start;
}

int CompareFolded(const char* a, size_t a_length, const char* b,
                  size_t b_length) {
  size_t n = a_length < b_length ? a_length : b_length;
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a_length == b_length) return 0;
  return a_length < b_length ? -1 : 1;
}

uint64_t FoldedPrefix(const char* text, size_t length) {
  uint64_t v = 0;
  for (size_t i = 0; i < 8; ++i)
    v = (v << 8) | (i < length ? Fold(text[i]) : 0);
  return v;
}

}  // namespace v7c
