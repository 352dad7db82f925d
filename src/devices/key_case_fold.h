// Case-insensitive comparison of UTF-8 names, as the user interface compares its UTF-16 texts.
#pragma once

#include <string>

namespace varkon {

// Simple case folding of one UTF-16 code unit: ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic capitals become small letters; everything else is returned as it is.
char16_t FoldCase(char16_t unit);

// Whether two UTF-8 texts are equal after FoldCase of every UTF-16 code unit.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace varkon
