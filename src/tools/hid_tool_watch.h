// `varkon-hid watch`: runs the device watcher and the device manager's decisions and prints one
// line per event, each prefixed with the milliseconds since the start.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace varkon {

class HidBackend;
class EmulatedRig;

// `args` are the words after "watch". `rig` is null without --simulate. Returns the exit status.
int RunWatch(const std::vector<std::string>& args, HidBackend& backend, EmulatedRig* rig,
             std::ostream& out, std::ostream& err);

}  // namespace varkon
