// The ZIP module of builds without an archive library: it reads nothing.
#include "compiler/zip_archive.h"

namespace v7c {

int ReadsZipArchives() { return 0; }

int UnpackZip(const char*, size_t, size_t, ArchiveMember*, std::string* error) {
  *error = "this build of tolvane-compile reads unpacked files only";
  return 0;
}

}  // namespace v7c
