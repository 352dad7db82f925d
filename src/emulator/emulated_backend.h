// HidBackend over an EmulatedBus. Remembers the plug generation each path had when it was last
// listed or opened, so a path stays "present" only while the same plug of the device is there.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "emulator/emulated_bus.h"

namespace varkon {

class EmulatedBackend final : public HidBackend {
 public:
  explicit EmulatedBackend(EmulatedBus& bus) : bus_(bus) {}

  bool Enumerate(std::vector<std::string>& paths) override;
  // `exclusive` has no effect: every emulated opener gets its own copy of each report.
  std::shared_ptr<HidDevice> Open(const std::string& path, bool read, bool write,
                                  bool exclusive) override;
  bool IsPresent(const std::string& path) override;

 private:
  EmulatedBus& bus_;
  std::mutex mutex_;
  std::map<std::string, uint64_t> generations_;
};

}  // namespace varkon
