// Tells whether hidraw nodes may have come or gone in a device folder since it was last asked,
// through inotify. Where inotify is not available every question is answered "changed", so the
// caller simply does its full work each time.
#pragma once

#include <cstdint>
#include <string>

namespace varkon {

class DevChangeWatch {
 public:
  explicit DevChangeWatch(const std::string& folder);
  ~DevChangeWatch();
  DevChangeWatch(const DevChangeWatch&) = delete;
  DevChangeWatch& operator=(const DevChangeWatch&) = delete;

  bool Active() const { return fd_ >= 0; }
  // Reads the pending events; the generation grows whenever an event named "hidraw*" (or an
  // overflow, or the folder itself going) was seen. Not thread-safe: the caller locks.
  uint64_t Generation();

 private:
  int fd_ = -1;
  uint64_t generation_ = 1;
};

}  // namespace varkon
