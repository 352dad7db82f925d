#include "profile/macro_names.h"

#include "profile/profile_index_names.h"

namespace varkon {

std::string NewMacroName(const std::vector<std::string>& names) {
  for (size_t number = 1;; ++number) {
    std::string name = "macro_" + std::to_string(number);
    if (!ListHasName(names, name)) return name;
  }
}

std::string ImportedMacroName(const std::vector<std::string>& names, const std::string& base) {
  std::string name = base;
  for (int counter = 1; ListHasName(names, name); ++counter) {
    name += "_" + std::to_string(counter);
  }
  return name;
}

}  // namespace varkon
