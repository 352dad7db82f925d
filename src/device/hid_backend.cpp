#include "device/hid_backend.h"

namespace varkon {

namespace {
constexpr const char kEmulatedPrefix[] = "emu:";
}

HidBackend* CompositeHidBackend::For(const std::string& path) const {
  const bool emulated = path.rfind(kEmulatedPrefix, 0) == 0;
  return emulated ? emulated_ : platform_;
}

bool CompositeHidBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  bool ok = true;
  for (HidBackend* backend : {platform_, emulated_}) {
    if (backend == nullptr) continue;
    std::vector<std::string> part;
    if (!backend->Enumerate(part)) {
      ok = false;
      continue;
    }
    paths.insert(paths.end(), part.begin(), part.end());
  }
  return ok;
}

std::shared_ptr<HidDevice> CompositeHidBackend::Open(const std::string& path, bool read, bool write,
                                                     bool exclusive) {
  HidBackend* backend = For(path);
  return backend ? backend->Open(path, read, write, exclusive) : nullptr;
}

bool CompositeHidBackend::IsPresent(const std::string& path) {
  HidBackend* backend = For(path);
  return backend != nullptr && backend->IsPresent(path);
}

}  // namespace varkon
