// Reading the compiler's input files: nodelists, pointlists and difference
// files, plain or packed. A ZIP archive (known by its signature, whatever
// its name) is unpacked when the build can; other packers are named and
// refused.
#ifndef TOLVANE_TOOLS_COMPILER_INPUT_FILE_H
#define TOLVANE_TOOLS_COMPILER_INPUT_FILE_H

#include <cstddef>
#include <string>

namespace v7c {

// The most that one packed file may unpack to; more is taken for a damaged
// archive or a zip bomb (the largest nodelists are a few MiB).
const size_t kMaxUnpackedSize = size_t{256} << 20;

// Reads a whole file. Returns 1, or 0 when it cannot be opened or read.
int ReadWholeFile(const std::string& path, std::string* text);

// The name of the packer whose signature begins data[0..size) ("ZIP",
// "ARC", "ARJ", "LHA", "RAR", "7-Zip"), or null for anything else.
const char* PackedFormat(const char* data, size_t size);

// An input file's text and the name to use in messages: the file name, or
// "FILE/MEMBER" for the file that a ZIP archive held.
struct InputText {
  std::string name;
  std::string text;
};

// Reads the file at path, unpacking it when it is a ZIP archive. Refuses
// files packed otherwise, ZIP archives in a build without an archive
// library, damaged archives, archive members larger than kMaxUnpackedSize
// and members holding binary data. Returns 1, or 0 with *error (a whole
// message naming the file).
int ReadInputText(const std::string& path, InputText* input,
                  std::string* error);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_INPUT_FILE_H
