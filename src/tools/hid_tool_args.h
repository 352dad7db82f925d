// Argument parsing helpers of varkon-hid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varkon {

// A decimal or 0x-hexadecimal number within [0, maximum].
bool ParseToolNumber(const std::string& text, uint32_t maximum, uint32_t& value);
// Hex digits without separators, two per byte ("0a1bff"); an empty string is no bytes.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes);
// Bytes as two-digit lower-case hex, separated by `separator`.
std::string FormatHex(const uint8_t* bytes, size_t count, const char* separator);

}  // namespace varkon
