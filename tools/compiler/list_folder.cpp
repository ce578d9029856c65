// Reading a nodelist folder. Sections: names, reading the files, the
// folder's housekeeping.
#include "compiler/list_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "compiler/input_file.h"

namespace v7c {

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------
// Names.

enum class FileKind { kOther, kList, kDiff };

std::string Upper(std::string text) {
  for (char& c : text) c = (c >= 'a' && c <= 'z') ? c - 32 : c;
  return text;
}

int IsDigit(char c) { return c >= '0' && c <= '9'; }

int IsCompiledExtension(const std::string& extension) {
  static const char* const kCompiled[] = {"DAT", "NDX", "SDX",
                                          "DTP", "PDX", "BSY"};
  std::string upper = Upper(extension);
  for (const char* e : kCompiled)
    if (upper == e) return 1;
  return 0;
}

// NODELIST.<extension> and NODEDIFF.<extension> with no second dot, and
// not a file of a compiled set.
FileKind KindOfName(const std::string& name) {
  if (name.size() <= 9 || name[8] != '.' ||
      name.find('.', 9) != std::string::npos ||
      IsCompiledExtension(name.substr(9)))
    return FileKind::kOther;
  std::string stem = Upper(name.substr(0, 8));
  if (stem == "NODELIST") return FileKind::kList;
  if (stem == "NODEDIFF") return FileKind::kDiff;
  return FileKind::kOther;
}

void DayOfName(const std::string& name, UnusableFile* u) {
  std::string e = name.substr(9);
  u->name_day = 0;
  u->name_digits = 0;
  if (e.size() != 3 || !IsDigit(e[1]) || !IsDigit(e[2])) return;
  u->name_digits = IsDigit(e[0]) ? 3 : 2;
  u->name_day = std::stoi(u->name_digits == 3 ? e : e.substr(1));
}

// The names of the folder's lists and difference files, sorted.
int ListFolder(const std::string& dir, std::vector<std::string>* names,
               FILE* err) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (KindOfName(name) != FileKind::kOther && it->is_regular_file(type_ec))
      names->push_back(name);
  }
  if (ec) {
    fprintf(err, "error: cannot read the folder %s: %s\n", dir.c_str(),
            ec.message().c_str());
    return 0;
  }
  std::sort(names->begin(), names->end());
  return 1;
}

// ---------------------------------------------------------------------
// Reading the files.

// Reads a file of the folder and the date on its first line. Returns 0
// with a warning when the file cannot serve.
int ReadDated(const std::string& dir, const std::string& file, DatedText* t,
              FILE* err) {
  InputText input;
  std::string error;
  if (!ReadInputText((fs::path(dir) / file).string(), &input, &error)) {
    fprintf(err, "warning: %s; skipped\n", error.c_str());
    return 0;
  }
  if (!ParseListDate(input.text.data(), input.text.size(), &t->date)) {
    fprintf(err,
            "warning: %s is not a nodelist: its first line gives no date "
            "and day number; skipped\n",
            input.name.c_str());
    return 0;
  }
  t->file = file;
  t->name = std::move(input.name);
  t->text = std::move(input.text);
  t->key = ListDateKey(t->date);
  return 1;
}

// Whether a list can be trusted: its CRC matches, or it gives none (a
// first line without one, or with 0, which some lists write for "none").
void CheckList(DatedText* t, FILE* err) {
  ListCrc crc = CheckListCrc(t->text.data(), t->text.size());
  t->crc_ok =
      !crc.claimed_present || crc.claimed == 0 || crc.claimed == crc.computed;
  if (!t->crc_ok)
    fprintf(err,
            "warning: %s fails its CRC: the first line says %u, the text "
            "gives %u; not used as it is\n",
            t->name.c_str(), crc.claimed, crc.computed);
}

void SortByDate(std::vector<DatedText>* texts) {
  std::stable_sort(
      texts->begin(), texts->end(),
      [](const DatedText& a, const DatedText& b) { return a.key < b.key; });
}

}  // namespace

int ReadNodelistFolder(const std::string& dir, NodelistFolder* folder,
                       FILE* err) {
  folder->dir = dir;
  std::vector<std::string> names;
  if (!ListFolder(dir, &names, err)) return 0;
  for (const std::string& name : names) {
    int is_list = KindOfName(name) == FileKind::kList;
    DatedText t;
    if (!ReadDated(dir, name, &t, err)) {
      UnusableFile u = {name, is_list, 0, 0};
      DayOfName(name, &u);
      folder->unusable.push_back(u);
    } else if (is_list) {
      CheckList(&t, err);
      folder->lists.push_back(std::move(t));
    } else {
      t.crc_ok = 1;
      folder->diffs.push_back(std::move(t));
    }
  }
  SortByDate(&folder->lists);
  SortByDate(&folder->diffs);
  return 1;
}

std::string FirstLine(const std::string& text) {
  size_t end = text.find_first_of("\r\n\x1A");
  return text.substr(0, end == std::string::npos ? text.size() : end);
}

int NameGivesDay(const UnusableFile& file, int day) {
  if (file.name_digits == 3) return file.name_day == day;
  return file.name_digits == 2 && file.name_day == day % 100;
}

// ---------------------------------------------------------------------
// Housekeeping.

void RemoveLeftTempLists(const std::string& dir) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() < 4 || Upper(name.substr(name.size() - 4)) != ".TMP")
      continue;
    size_t second = name.find('.', 9);
    size_t end = name.size() - 4;  // where ".tmp" begins
    if (second == std::string::npos || second + 1 >= end ||
        KindOfName(name.substr(0, second)) != FileKind::kList)
      continue;
    std::string number = name.substr(second + 1, end - second - 1);
    if (!std::all_of(number.begin(), number.end(), IsDigit)) continue;
    std::error_code remove_ec;
    fs::remove(it->path(), remove_ec);
  }
}

int KeepDamagedFile(const std::string& dir, const std::string& file,
                    std::string* kept, std::string* error) {
  fs::path folder(dir);
  std::error_code ec;
  for (int n = 1; n < 1000; ++n) {
    std::string name =
        file + ".damaged" + (n == 1 ? std::string() : std::to_string(n));
    if (fs::exists(folder / name, ec)) continue;
    fs::rename(folder / file, folder / name, ec);
    if (ec) {
      *error = "cannot rename " + file + " to " + name + ": " + ec.message();
      return 0;
    }
    *kept = name;
    return 1;
  }
  *error = "no free name to keep " + file + " under";
  return 0;
}

}  // namespace v7c
