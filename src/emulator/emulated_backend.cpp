#include "emulator/emulated_backend.h"

namespace varkon {

bool EmulatedBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  const std::vector<EmulatedPath> listed = bus_.List();
  std::lock_guard<std::mutex> lock(mutex_);
  for (const EmulatedPath& entry : listed) {
    generations_[entry.path] = entry.generation;
    paths.push_back(entry.path);
  }
  return true;
}

std::shared_ptr<HidDevice> EmulatedBackend::Open(const std::string& path, bool read, bool write,
                                                 bool exclusive) {
  uint64_t generation = 0;
  std::shared_ptr<HidDevice> device = bus_.Open(path, read, write, generation);
  if (device) {
    std::lock_guard<std::mutex> lock(mutex_);
    generations_[path] = generation;
  }
  return device;
}

bool EmulatedBackend::IsPresent(const std::string& path) {
  uint64_t current = 0;
  const bool plugged = bus_.Lookup(path, current);
  std::lock_guard<std::mutex> lock(mutex_);
  const auto seen = generations_.find(path);
  if (!plugged) return false;
  if (seen == generations_.end()) {
    generations_[path] = current;
    return true;
  }
  return seen->second == current;
}

}  // namespace varkon
