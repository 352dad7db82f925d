#include <atomic>

#include "device/hid_backend.h"
#include "device/hidraw_backend.h"

namespace varkon {

namespace {
std::atomic<HidBackend*> chosenBackend{nullptr};
}

HidBackend& DefaultHidBackend() {
  if (HidBackend* chosen = chosenBackend.load()) return *chosen;
  static HidrawBackend platform;
  return platform;
}

void SetDefaultHidBackend(HidBackend* backend) {
  chosenBackend.store(backend);
}

}  // namespace varkon
