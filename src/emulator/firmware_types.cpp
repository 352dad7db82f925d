#include "emulator/firmware_types.h"

#include <utility>

namespace varkon {

const char* MemoryAreaName(MemoryArea area) {
  switch (area) {
    case MemoryArea::DeviceInfo:
      return "deviceInfo";
    case MemoryArea::Settings:
      return "settings";
    case MemoryArea::KeyTableA:
      return "keyTableA";
    case MemoryArea::KeyTableB:
      return "keyTableB";
    case MemoryArea::KeyTableC:
      return "keyTableC";
    case MemoryArea::LedTable:
      return "ledTable";
    case MemoryArea::ColourTables:
      return "colourTables";
    case MemoryArea::MacroMemory:
      return "macroMemory";
    case MemoryArea::RecoilMemory:
      return "recoilMemory";
    case MemoryArea::Status:
      return "status";
  }
  return "unknown";
}

ReplyClaim::ReplyClaim(std::shared_ptr<std::atomic<int>> counter) : counter_(std::move(counter)) {
  if (counter_) counter_->fetch_add(1);
}

ReplyClaim::ReplyClaim(ReplyClaim&& other) noexcept : counter_(std::move(other.counter_)) {
  other.counter_.reset();
}

ReplyClaim& ReplyClaim::operator=(ReplyClaim&& other) noexcept {
  if (this != &other) {
    Release();
    counter_ = std::move(other.counter_);
    other.counter_.reset();
  }
  return *this;
}

void ReplyClaim::Release() {
  if (counter_) {
    counter_->fetch_sub(1);
    counter_.reset();
  }
}

}  // namespace varkon
