// Naming rules shared by the profile and macro lists: case-insensitive comparison of display
// names, the names made for new, copied and imported profiles, and fresh identifiers.
#pragma once

#include <string>
#include <vector>

namespace varkon {

// The UTF-8 name converted to UTF-16 and case folded (FoldCase of devices/key_case_fold.h),
// for comparisons.
std::u16string FoldedName(const std::string& utf8);

// Whether any name of `names` other than the one at `skipIndex` equals `name` ignoring case.
bool ListHasName(const std::vector<std::string>& names, const std::string& name,
                 int skipIndex = -1);

// Whether the name is empty once white space is trimmed from both ends.
bool IsBlankName(const std::string& name);

// "profile1", or "profile2", "profile3"… when the lower numbers are taken.
std::string NewProfileName(const std::vector<std::string>& names);
// "<source> copy", then "<source> copy copy"… until free.
std::string CopiedProfileName(const std::vector<std::string>& names, const std::string& source);
// `base`, then "(1)" appended, then "(2)" appended to that… until free.
std::string ImportedProfileName(const std::vector<std::string>& names, const std::string& base);

// A MakeStampId identifier that is not in `taken` and names no existing file
// `folder` + id + `extension`. Two identifiers made within one millisecond would otherwise
// share a file; a clash gets "_1", "_2"… appended.
std::string FreshStampId(const std::vector<std::string>& taken, const std::string& folder,
                         const std::string& extension);

}  // namespace varkon
