// varkon-hid: lists HID interfaces (real or emulated) and runs protocol commands against one,
// for users debugging their hardware and for black-box tests.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace varkon {

// Runs the tool with `args` (without the program name). Output goes to `out`, usage and
// argument errors to `err`. Returns the exit status: 0 when the last status is 1, 1 for any
// other status, 2 for bad arguments.
int RunHidTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace varkon
