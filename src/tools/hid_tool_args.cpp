#include "tools/hid_tool_args.h"

#include <cctype>

namespace varkon {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool ParseToolNumber(const std::string& text, uint32_t maximum, uint32_t& value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const size_t start = hex ? 2 : 0;
  if (text.size() <= start) return false;
  uint64_t result = 0;
  for (size_t i = start; i < text.size(); ++i) {
    const int digit =
        hex ? HexDigit(text[i])
            : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
    if (digit < 0) return false;
    result = result * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (result > maximum) return false;
  }
  value = static_cast<uint32_t>(result);
  return true;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
  if (text.size() % 2 != 0) return false;
  std::vector<uint8_t> parsed;
  parsed.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    parsed.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  bytes = std::move(parsed);
  return true;
}

std::string FormatHex(const uint8_t* bytes, size_t count, const char* separator) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) text += separator;
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace varkon
