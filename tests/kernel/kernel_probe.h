// What the guest test and the gadget player agree on inside the test machine.
#pragma once

#include <cstdint>
#include <string>

namespace varkon::ktest {

// A vendor request with this command byte makes the player send one input report on each of
// the vendor interface's other collections (ids 1, 2 and 3) before the firmware's reply. The
// firmware does not know the command and answers it with status 0xFF.
constexpr uint8_t kProbeCommand = 0x5A;
// The values those reports carry, so the reader can tell them from anything else.
constexpr uint8_t kProbeSystemBits = 0x05;
constexpr uint16_t kProbeConsumerUsage = 0x00E9;
constexpr uint16_t kProbeNotice = 0x4B1D;

constexpr const char* kGadgetRoot = "/sys/kernel/config/usb_gadget";

// While this file exists the gadget's player answers nothing (a device that went silent).
inline std::string SilentFlag(const std::string& gadget) {
  return "/tmp/silent-" + gadget;
}

}  // namespace varkon::ktest
