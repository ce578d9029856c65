// libFuzzer target: any bytes as a language file. The parser must never
// read outside the buffer, and every message it returns must be no longer
// than a line can be.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "farhost/host/lng_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LngFile file;
  ParseLngBuffer(data, size, &file);
  for (const std::string& message : file.Messages)
    if (message.size() > kLngMaxLine) std::abort();
  if (file.LanguageName.size() > kLngMaxLine) std::abort();
  return 0;
}
