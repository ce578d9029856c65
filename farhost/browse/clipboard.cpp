#include "farhost/browse/clipboard.h"

#include <unistd.h>

std::string Base64Encode(const std::string& bytes) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                 static_cast<unsigned char>(bytes[i + 1]) << 8 |
                 static_cast<unsigned char>(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6)
      out += kDigits[(v >> shift) & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest == 0) return out;
  unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
  if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
  out += kDigits[(v >> 18) & 63];
  out += kDigits[(v >> 12) & 63];
  out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
  out += '=';
  return out;
}

std::string Osc52Sequence(const CodePage* page, const std::string& oemText) {
  std::string utf8 = OemToUtf8(page, oemText.substr(0, kMaxClipboardText));
  return "\x1b]52;c;" + Base64Encode(utf8) + "\a";
}

int SendToTerminalClipboard(const CodePage* page, const std::string& oemText) {
  std::string sequence = Osc52Sequence(page, oemText);
  size_t done = 0;
  while (done < sequence.size()) {
    ssize_t n =
        write(STDOUT_FILENO, sequence.data() + done, sequence.size() - done);
    if (n <= 0) return 0;
    done += static_cast<size_t>(n);
  }
  return 1;
}
