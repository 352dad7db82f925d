// Byte-for-byte copies of macro and recoil files, as import, export and reset make them.
#pragma once

#include <string>

namespace varkon {

// Copies `source` over `target` (replacing what is there). The copy goes to a temporary file
// beside the target first, so a source that cannot be read, or a failed write, leaves the
// target as it was; false then. Source and target may be the same file.
bool CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace varkon
