#include "device/dev_change_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace varkon {

DevChangeWatch::DevChangeWatch(const std::string& folder) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return;
  const uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                        IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;
  if (inotify_add_watch(fd_, folder.c_str(), mask) < 0) {
    close(fd_);
    fd_ = -1;
  }
}

DevChangeWatch::~DevChangeWatch() {
  if (fd_ >= 0) close(fd_);
}

uint64_t DevChangeWatch::Generation() {
  if (fd_ < 0) return ++generation_;  // no watch: always changed
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // EAGAIN: nothing more pending
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      const bool aboutNode = event->len > 0 && std::strncmp(event->name, "hidraw", 6) == 0;
      if (aboutNode ||
          (event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
        ++generation_;
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return generation_;
}

}  // namespace varkon
