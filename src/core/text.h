// Conversions between the UTF-8 kept in files and the UTF-16 the user interface works in.
#pragma once

#include <string>

namespace varkon {

// Malformed input never fails: each undecodable byte or lone surrogate becomes U+FFFD.
std::u16string Utf8ToWide(const std::string& bytes);
std::string WideToUtf8(const std::u16string& text);

}  // namespace varkon
