// Naming rules of the user's custom equalisers: at most 20, names unique without regard to
// letter case, surrounding blanks not part of a name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varkon {

inline constexpr size_t kMaxCustomEqCount = 20;

// The name without leading and trailing blanks (spaces, tabs, line breaks).
std::string TrimmedEqName(std::string_view name);
// Equal without regard to ASCII letter case; other characters compare exactly.
bool SameEqName(std::string_view a, std::string_view b);
// Index of the first name equal to `name` in that sense (both trimmed), -1 when none.
int FindEqName(const std::vector<std::string>& names, std::string_view name);

}  // namespace varkon
