// Applying a nodediff: one pass over the commands, copying lines of the
// old list and of the difference file into the list made.
#include "compiler/nodediff.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "compiler/nodelist_line.h"

namespace v7c {

namespace {

// The lines of a text up to its ^Z (or its end), one at a time.
struct LineCursor {
  const char* text;
  size_t end;
  size_t pos;
  uint32_t number;  // of the line last taken
};

LineCursor StartLines(const char* text, size_t size) {
  const void* eof = memchr(text, 0x1A, size);
  size_t end = eof ? static_cast<const char*>(eof) - text : size;
  return {text, end, 0, 0};
}

// Takes the next line without its CR LF; 0 when none is left.
int NextLine(LineCursor* c, const char** line, size_t* length) {
  if (c->pos >= c->end) return 0;
  const char* start = c->text + c->pos;
  const void* lf = memchr(start, '\n', c->end - c->pos);
  size_t n = lf ? static_cast<const char*>(lf) - start : c->end - c->pos;
  c->pos += n + (lf ? 1 : 0);
  if (n > 0 && start[n - 1] == '\r') --n;
  *line = start;
  *length = n;
  ++c->number;
  return 1;
}

// A line for a message: cut to 100 bytes, control bytes shown as '?'.
std::string Shown(const char* line, size_t length) {
  const size_t most = 100;
  std::string s(line, length < most ? length : most);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return length > most ? s + "..." : s;
}

void Fail(std::string* error, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

void Fail(std::string* error, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  *error = text;
}

// Reads "An", "Cn" or "Dn" (n from 1 to 9999999, trailing blanks allowed).
int ParseCommand(const char* line, size_t length, char* op, uint32_t* count) {
  while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t'))
    --length;
  if (length < 2 || length > 8) return 0;
  if (line[0] != 'A' && line[0] != 'C' && line[0] != 'D') return 0;
  uint32_t n = 0;
  for (size_t i = 1; i < length; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    n = n * 10 + static_cast<uint32_t>(line[i] - '0');
  }
  *op = line[0];
  *count = n;
  return n > 0;
}

void AppendLine(const char* line, size_t length, std::string* out) {
  out->append(line, length);
  out->append("\r\n", 2);
}

// Checks that the difference file's first line is the old list's.
int CheckFirstLine(LineCursor* diff, const LineCursor& old,
                   std::string* error) {
  const char *diff_line, *old_line;
  size_t diff_length, old_length;
  LineCursor first = old;
  if (!NextLine(diff, &diff_line, &diff_length)) {
    Fail(error, "the difference file is empty");
    return 0;
  }
  if (!NextLine(&first, &old_line, &old_length)) {
    Fail(error, "the old list is empty");
    return 0;
  }
  if (diff_length != old_length ||
      memcmp(diff_line, old_line, old_length) != 0) {
    Fail(error,
         "line 1: the difference file applies to the list \"%s\", not to "
         "\"%s\"",
         Shown(diff_line, diff_length).c_str(),
         Shown(old_line, old_length).c_str());
    return 0;
  }
  return 1;
}

// Runs one command at the diff's current line. Returns 1, or 0 with *error.
int RunCommand(char op, uint32_t count, uint32_t command_line, LineCursor* diff,
               LineCursor* old, std::string* out, std::string* error) {
  const char* line;
  size_t length;
  for (uint32_t i = 0; i < count; ++i) {
    if (op == 'A') {
      if (!NextLine(diff, &line, &length)) {
        Fail(error, "line %u: A%u adds %u lines, but the file ends after %u",
             command_line, count, count, i);
        return 0;
      }
      AppendLine(line, length, out);
    } else {
      if (!NextLine(old, &line, &length)) {
        Fail(error,
             "line %u: %c%u %s past the end of the old list (%u lines were "
             "left)",
             command_line, op, count, op == 'C' ? "copies" : "deletes", i);
        return 0;
      }
      if (op == 'C') AppendLine(line, length, out);
    }
  }
  return 1;
}

int CheckMadeCrc(const std::string& made, std::string* error) {
  ListCrc crc = CheckListCrc(made.data(), made.size());
  if (!crc.claimed_present) {
    Fail(error, "the first line of the list made gives no CRC");
    return 0;
  }
  if (crc.claimed != crc.computed) {
    Fail(error,
         "the list made fails its CRC: the first line says %u, the text "
         "gives %u",
         crc.claimed, crc.computed);
    return 0;
  }
  return 1;
}

}  // namespace

int ApplyNodediff(const char* diff, size_t diff_size, const char* old_list,
                  size_t old_size, std::string* result, std::string* error) {
  result->clear();
  LineCursor d = StartLines(diff, diff_size);
  LineCursor o = StartLines(old_list, old_size);
  if (!CheckFirstLine(&d, o, error)) return 0;
  std::string made;
  made.reserve(old_size + diff_size);
  const char* line;
  size_t length;
  while (NextLine(&d, &line, &length)) {
    char op;
    uint32_t count;
    if (!ParseCommand(line, length, &op, &count)) {
      Fail(error, "line %u: \"%s\" is not a command (An, Cn or Dn)", d.number,
           Shown(line, length).c_str());
      return 0;
    }
    if (!RunCommand(op, count, d.number, &d, &o, &made, error)) return 0;
  }
  uint32_t unused = 0;
  while (NextLine(&o, &line, &length)) ++unused;
  if (unused > 0) {
    Fail(error, "the commands end with %u lines of the old list unused",
         unused);
    return 0;
  }
  made.push_back('\x1A');
  if (!CheckMadeCrc(made, error)) return 0;
  result->swap(made);
  return 1;
}

}  // namespace v7c
