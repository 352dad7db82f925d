// Names given to new and imported macros; names compare ignoring case.
#pragma once

#include <string>
#include <vector>

namespace varkon {

// "macro_1", or "macro_2", "macro_3"… when the lower numbers are taken.
std::string NewMacroName(const std::vector<std::string>& names);
// `base`, then "_1" appended, then "_2" appended to that… until free (jump, jump_1, jump_1_2).
std::string ImportedMacroName(const std::vector<std::string>& names, const std::string& base);

}  // namespace varkon
