// varkonctl: talks to the running program over its control socket.
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace varkon {

// `stop` ends `listen` (set by SIGINT/SIGTERM in the program). Returns the exit status: 0 done,
// 1 no program runs (or it refused the request), 2 bad arguments.
int RunCtlTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::atomic<bool>& stop);

}  // namespace varkon
