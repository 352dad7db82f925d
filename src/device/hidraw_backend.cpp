#include "device/hidraw_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

#include "core/debug_out.h"
#include "device/fd_wait.h"
#include "device/report_descriptor.h"

namespace varkon {

// Everything known about one node for one device identity.
struct HidrawNode {
  std::string name;      // "hidraw3"
  std::string nodePath;  // "<devRoot>/hidraw3"
  HidrawIdentity identity;
  HidAttributes attributes;
  std::vector<HidCollectionInfo> collections;
  // hidraw hands out reports with their id byte only when the device numbers its reports.
  bool numberedReports = false;
  // One path per collection (a single one without "&col" when there are fewer than two).
  std::vector<std::string> paths;
};

namespace {

// Big enough for the largest report hidraw delivers, plus the id byte put in front of reports
// of unnumbered devices.
constexpr size_t kMaxReportSize = 16384;
// SetOutputReport gives a full queue this long to drain.
constexpr int kSetOutputReportWaitMs = 20;
// Path identities kept for liveness checks before those of unlisted paths are dropped.
constexpr size_t kMaxSeenPaths = 1024;

std::string InterfacePath(const std::string& nodePath, const HidAttributes& attributes,
                          uint8_t interfaceNumber, size_t collection) {
  char suffix[64];
  std::snprintf(suffix, sizeof(suffix), "#vid_%04x&pid_%04x&mi_%02x", attributes.vendorId,
                attributes.productId, interfaceNumber);
  std::string path = nodePath + suffix;
  if (collection > 0) {
    std::snprintf(suffix, sizeof(suffix), "&col%02zx", collection);
    path += suffix;
  }
  return path;
}

HidIoResult ToIoResult(FdWaitResult result) {
  switch (result) {
    case FdWaitResult::Ready:
      return HidIoResult::Ok;
    case FdWaitResult::TimedOut:
      return HidIoResult::TimedOut;
    case FdWaitResult::Cancelled:
      return HidIoResult::Cancelled;
    case FdWaitResult::Failed:
      break;
  }
  return HidIoResult::Failed;
}

bool RetryLater(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

class HidrawDevice final : public HidDevice {
 public:
  HidrawDevice(int fd, const HidrawNode& node, size_t collectionIndex, bool canRead, bool canWrite)
      : fd_(fd),
        attributes_(node.attributes),
        collection_(collectionIndex < node.collections.size() ? node.collections[collectionIndex]
                                                              : HidCollectionInfo()),
        numbered_(node.numberedReports),
        canRead_(canRead),
        canWrite_(canWrite) {}

  ~HidrawDevice() override { close(fd_); }

  bool Valid() const { return cancel_.Valid(); }

  const HidAttributes& Attributes() const override { return attributes_; }
  const HidCollectionInfo& Collection() const override { return collection_; }

  HidIoResult Read(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs) override {
    bytesRead = 0;
    if (!canRead_ || (buffer == nullptr && length > 0)) return HidIoResult::Failed;
    const WaitDeadline deadline(timeoutMs);
    std::array<uint8_t, kMaxReportSize + 1> report;
    // Unnumbered reports are read one byte in, behind a 0 id byte.
    uint8_t* const into = numbered_ ? report.data() : report.data() + 1;
    report[0] = 0;
    for (;;) {
      const FdWaitResult wait = WaitForFd(fd_, POLLIN, cancel_, deadline);
      if (wait != FdWaitResult::Ready) return ToIoResult(wait);
      const ssize_t got = read(fd_, into, kMaxReportSize);
      if (got < 0 && RetryLater(errno)) continue;
      if (got <= 0) return HidIoResult::Failed;
      const size_t size = static_cast<size_t>(got) + (numbered_ ? 0 : 1);
      // Reports of the interface's other collections arrive on the same node.
      if (!collection_.OwnsReportId(HidReportKind::Input, report[0])) continue;
      const size_t copied = std::min(size, length);
      if (copied > 0) std::memcpy(buffer, report.data(), copied);
      bytesRead = copied;
      return HidIoResult::Ok;
    }
  }

  HidIoResult Write(const uint8_t* buffer, size_t length, size_t& bytesWritten,
                    int timeoutMs) override {
    bytesWritten = 0;
    if (!canWrite_ || buffer == nullptr || length == 0) return HidIoResult::Failed;
    const WaitDeadline deadline(timeoutMs);
    for (;;) {
      const FdWaitResult wait = WaitForFd(fd_, POLLOUT, cancel_, deadline);
      if (wait != FdWaitResult::Ready) return ToIoResult(wait);
      const ssize_t sent = write(fd_, buffer, length);
      if (sent < 0 && RetryLater(errno)) continue;
      if (sent < 0) return HidIoResult::Failed;
      bytesWritten = static_cast<size_t>(sent);
      return bytesWritten == length ? HidIoResult::Ok : HidIoResult::Failed;
    }
  }

  bool SetOutputReport(const uint8_t* buffer, size_t length) override {
    size_t written = 0;
    return Write(buffer, length, written, kSetOutputReportWaitMs) == HidIoResult::Ok;
  }

  void Cancel() override { cancel_.Signal(); }

 private:
  const int fd_;
  const HidAttributes attributes_;
  const HidCollectionInfo collection_;
  const bool numbered_;
  const bool canRead_;
  const bool canWrite_;
  CancelSignal cancel_;
};

}  // namespace

HidrawBackend::HidrawBackend(std::string sysfsRoot, std::string devRoot)
    : sysfsRoot_(ResolveHidrawRoot(std::move(sysfsRoot), "VARKON_SYSFS_ROOT", "/sys")),
      devRoot_(ResolveHidrawRoot(std::move(devRoot), nullptr, "/dev")),
      devWatch_(devRoot_) {}

bool HidrawBackend::ListingCurrentLocked() {
  const uint64_t generation = devWatch_.Generation();
  return listedGeneration_ != 0 && generation == listedGeneration_ &&
         std::chrono::steady_clock::now() - listedAt_ < kFullListingInterval;
}

void HidrawBackend::SetNodeOpener(NodeOpener opener) {
  std::lock_guard<std::mutex> lock(mutex_);
  opener_ = std::move(opener);
}

size_t HidrawBackend::DescriptorParseCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return parseCount_;
}

bool HidrawBackend::SplitPath(const std::string& path, std::string& name, bool& hasSuffix) const {
  const std::string prefix = devRoot_ + "/hidraw";
  if (path.compare(0, prefix.size(), prefix) != 0) return false;
  const size_t hash = path.find('#', prefix.size());
  const size_t end = hash == std::string::npos ? path.size() : hash;
  const size_t digits = end - prefix.size();
  if (digits == 0 || digits > 9) return false;
  for (size_t i = prefix.size(); i < end; ++i) {
    if (path[i] < '0' || path[i] > '9') return false;
  }
  name = path.substr(devRoot_.size() + 1, end - devRoot_.size() - 1);
  hasSuffix = hash != std::string::npos;
  return true;
}

std::shared_ptr<const HidrawNode> HidrawBackend::NodeLocked(const std::string& name,
                                                            const HidrawIdentity& identity) {
  const auto cached = nodes_.find(name);
  if (cached != nodes_.end() && cached->second->identity == identity) return cached->second;

  HidrawIdentity complete = identity;
  if (complete.uevent.empty() && !CompleteHidrawIdentity(sysfsRoot_, name, complete)) {
    return nullptr;  // removed while being read
  }
  HidUevent uevent;
  if (!ParseHidUevent(complete.uevent, uevent)) {
    NoteUnusableLocked(name, identity, "no usable HID_ID in uevent");
    return nullptr;
  }
  HidrawDeviceFiles files;
  if (!ReadHidrawDeviceFiles(complete.devicePath, uevent.bus == kHidBusUsb, files)) {
    NoteUnusableLocked(name, identity, "report descriptor unreadable");
    return nullptr;
  }

  auto node = std::make_shared<HidrawNode>();
  node->name = name;
  node->nodePath = devRoot_ + "/" + name;
  node->identity = complete;
  node->attributes.vendorId = uevent.vendorId;
  node->attributes.productId = uevent.productId;
  node->attributes.versionNumber = files.bcdDevice;
  node->collections = ParseReportDescriptor(files.descriptor.data(), files.descriptor.size());
  ++parseCount_;
  node->numberedReports =
      std::any_of(node->collections.begin(), node->collections.end(),
                  [](const HidCollectionInfo& collection) { return collection.usesReportIds; });
  const size_t count = node->collections.size();
  if (count < 2) {
    node->paths.push_back(
        InterfacePath(node->nodePath, node->attributes, files.interfaceNumber, 0));
  } else {
    for (size_t i = 1; i <= count; ++i) {
      node->paths.push_back(
          InterfacePath(node->nodePath, node->attributes, files.interfaceNumber, i));
    }
  }
  debugOut("hidraw: %s: %s phys=%s, %zu descriptor bytes, %zu collections\n", name.c_str(),
           uevent.name.c_str(), uevent.phys.c_str(), files.descriptor.size(), count);

  nodes_[name] = node;
  return node;
}

void HidrawBackend::NoteUnusableLocked(const std::string& name, const HidrawIdentity& identity,
                                       const char* reason) {
  // The watcher lists every 100 ms; say it once per node identity.
  const auto [it, added] = unusable_.try_emplace(name, identity);
  if (!added && it->second == identity) return;
  it->second = identity;
  debugOut("hidraw: %s: %s, skipped\n", name.c_str(), reason);
}

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ListingCurrentLocked()) {
      paths = listedPaths_;
      return true;
    }
  }
  // Taken before reading, so a change during the listing makes the next one read again.
  uint64_t generation;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    generation = devWatch_.Generation();
  }
  std::vector<std::string> names;
  if (!ListHidrawNodes(sysfsRoot_, names)) {
    debugOut("hidraw: cannot list %s/class/hidraw\n", sysfsRoot_.c_str());
    return false;
  }

  std::lock_guard<std::mutex> lock(mutex_);
  std::map<std::string, std::shared_ptr<const HidrawNode>> present;
  for (const std::string& name : names) {
    HidrawIdentity identity;
    // A node whose files are gone is being removed; it is left out of this pass.
    if (!ReadHidrawIdentity(sysfsRoot_, name, identity)) continue;
    std::shared_ptr<const HidrawNode> node = NodeLocked(name, identity);
    if (!node) continue;
    for (const std::string& path : node->paths) {
      seen_.try_emplace(path, node->identity);
      paths.push_back(path);
    }
    present.emplace(name, std::move(node));
  }
  nodes_ = std::move(present);
  for (auto it = unusable_.begin(); it != unusable_.end();) {
    const bool listed = std::find(names.begin(), names.end(), it->first) != names.end();
    it = listed ? std::next(it) : unusable_.erase(it);
  }
  PruneSeenLocked(paths);
  listedPaths_ = paths;
  listedGeneration_ = generation;
  listedAt_ = std::chrono::steady_clock::now();
  return true;
}

void HidrawBackend::PruneSeenLocked(const std::vector<std::string>& listed) {
  if (seen_.size() <= kMaxSeenPaths) return;
  const std::set<std::string> keep(listed.begin(), listed.end());
  for (auto it = seen_.begin(); it != seen_.end();) {
    it = keep.count(it->first) != 0 ? std::next(it) : seen_.erase(it);
  }
}

std::shared_ptr<HidDevice> HidrawBackend::Open(const std::string& path, bool read, bool write,
                                               bool /*exclusive*/) {
  std::string name;
  bool hasSuffix = false;
  if (!SplitPath(path, name, hasSuffix)) return nullptr;

  std::shared_ptr<const HidrawNode> node;
  NodeOpener opener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    HidrawIdentity identity;
    if (!ReadHidrawIdentity(sysfsRoot_, name, identity)) return nullptr;
    node = NodeLocked(name, identity);
    opener = opener_;
  }
  if (!node) return nullptr;

  // A full path has to be one this node lists now, so a path of a device that has gone and
  // whose number was reused does not open the newcomer. A bare node path names its only
  // collection.
  size_t index = 0;
  if (hasSuffix) {
    const auto found = std::find(node->paths.begin(), node->paths.end(), path);
    if (found == node->paths.end()) return nullptr;
    index = static_cast<size_t>(found - node->paths.begin());
  } else if (node->paths.size() != 1) {
    return nullptr;
  }

  int flags = O_CLOEXEC | O_NONBLOCK;
  if (read && write) {
    flags |= O_RDWR;
  } else if (write) {
    flags |= O_WRONLY;
  } else if (read) {
    flags |= O_RDONLY;
  } else {
    flags = O_PATH | O_CLOEXEC;  // attributes and capabilities only; needs no permission
  }
  const int fd = opener ? opener(node->nodePath, flags) : open(node->nodePath.c_str(), flags);
  if (fd < 0) {
    debugOut("hidraw: cannot open %s: %s\n", node->nodePath.c_str(), std::strerror(errno));
    return nullptr;
  }
  auto device = std::make_shared<HidrawDevice>(fd, *node, index, read, write);
  if (!device->Valid()) return nullptr;

  // The node may have been replaced between reading its files and opening it.
  HidrawIdentity now;
  if (!ReadHidrawIdentity(sysfsRoot_, name, now) || !(now == node->identity)) return nullptr;

  std::lock_guard<std::mutex> lock(mutex_);
  seen_[path] = node->identity;
  return device;
}

bool HidrawBackend::IsPresent(const std::string& path) {
  std::string name;
  bool hasSuffix = false;
  if (!SplitPath(path, name, hasSuffix)) return false;
  {
    // Nothing came or went since the last listing, which had this path with the identity it
    // was first seen with.
    std::lock_guard<std::mutex> lock(mutex_);
    if (ListingCurrentLocked() &&
        std::find(listedPaths_.begin(), listedPaths_.end(), path) != listedPaths_.end()) {
      const auto seen = seen_.find(path);
      const auto node = nodes_.find(name);
      if (seen != seen_.end() && node != nodes_.end() && seen->second == node->second->identity) {
        return true;
      }
    }
  }
  struct stat st;
  if (stat((devRoot_ + "/" + name).c_str(), &st) != 0) return false;
  HidrawIdentity identity;
  if (!ReadHidrawIdentity(sysfsRoot_, name, identity)) return false;

  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = seen_.find(path);
  return it == seen_.end() || it->second == identity;
}

}  // namespace varkon
