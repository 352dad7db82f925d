// Splitting of indexed control names ("DPI_slider_3") and file names out of paths.
#pragma once

#include <string>

namespace varkon {

struct IndexedName {
  bool ok = false;
  std::string prefix;  // up to and including the last '_'
  int number = 0;      // decimal value of what follows; 0 when it is not a number
};

// Splits at the last '_'; not ok when the name has none.
IndexedName SplitIndexSuffix(const std::string& name);

// Whether `text` is a whole decimal number (no sign, at least one digit) that fits an int.
bool ParseDecimal(const std::string& text, int& value);

// The file name without its folders (either separator) and without its extension.
std::string FileNameOf(const std::string& path);

}  // namespace varkon
