// Nodelist sets kept as hex text: the sound base set of the damage corpus
// (tests/reliability/corpus/base.hex) and the damaged cases that patch it.
// Plain C++ only: the reliability tests and the fuzz targets' seed maker
// both read the corpus.
#ifndef TOLVANE_TESTS_RELIABILITY_DAMAGE_CASE_H
#define TOLVANE_TESTS_RELIABILITY_DAMAGE_CASE_H

#include <map>
#include <string>

// A nodelist set: file name -> bytes.
typedef std::map<std::string, std::string> FileSet;

// A damaged case read from a corpus file: the set after its patches, the
// panel path to list, and the file the message must name ("none": the
// listing must go on without any message).
struct DamageCase {
  std::string Name;
  std::string Description;
  std::string ListPath = "\\";
  std::string Expect;
  FileSet Files;
};

// Parses hex text into *set. Lines: "# ..." comments, "file NAME" selects
// (and with `create` starts) a file, "OFFSET: XX XX .." writes bytes at
// that hex offset (growing the file), "truncate N" cuts it to N bytes,
// "list PATH" and "expect NAME" fill the case. Returns 0 with *error set
// on a malformed line.
int ParseHexText(const std::string& text, int create, DamageCase* out,
                 std::string* error);

// The sound base set of the corpus in folder `corpus` (its base.hex).
int LoadBaseSetFrom(const std::string& corpus, FileSet* set,
                    std::string* error);

// Reads a corpus case: the base set beside it with the case's patches
// applied.
int LoadDamageCase(const std::string& path, DamageCase* out,
                   std::string* error);

#endif  // TOLVANE_TESTS_RELIABILITY_DAMAGE_CASE_H
