// Unpacking the one file of a ZIP archive held in memory. Two builds of
// this module exist and CMake picks one: with libarchive, and without any
// archive library (for targets that have none), where every archive is
// refused.
#ifndef TOLVANE_TOOLS_COMPILER_ZIP_ARCHIVE_H
#define TOLVANE_TOOLS_COMPILER_ZIP_ARCHIVE_H

#include <cstddef>
#include <string>

namespace v7c {

// 1 when this build unpacks ZIP archives, 0 when it refuses them all.
int ReadsZipArchives();

// The file found in an archive.
struct ArchiveMember {
  std::string name;  // its name in the archive, folders left out
  std::string text;  // its contents
};

// Unpacks the only file of the ZIP archive data[0..size). An archive with
// no file or more than one, a member that would unpack to more than
// max_size bytes, and a damaged or unreadable archive are refused.
// Returns 1 with *member filled, or 0 with *error saying why.
int UnpackZip(const char* data, size_t size, size_t max_size,
              ArchiveMember* member, std::string* error);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_ZIP_ARCHIVE_H
