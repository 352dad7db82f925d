// The Linux backend: lists and opens HID interfaces through hidraw nodes. Each top-level
// collection of a node's report descriptor is one interface path, for example
// "/dev/hidraw3#vid_320f&pid_5055&mi_01&col04" (the "&col" part only when the interface has more
// than one top-level collection).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/dev_change_watch.h"
#include "device/hid_backend.h"
#include "device/hidraw_sysfs.h"

namespace varkon {

struct HidrawNode;

class HidrawBackend final : public HidBackend {
 public:
  // Opens the device node with the given open(2) flags; returns the descriptor or -1.
  using NodeOpener = std::function<int(const std::string& nodePath, int flags)>;

  // An empty `sysfsRoot` means $VARKON_SYSFS_ROOT when set, else "/sys"; an empty `devRoot`
  // means "/dev". The node of hidrawN is <devRoot>/hidrawN.
  explicit HidrawBackend(std::string sysfsRoot = "", std::string devRoot = "");

  // Replaces `paths` with one path per top-level collection of every readable node, in node
  // order. A node's descriptor is parsed once per device identity; later passes only read each
  // node's class link. While nothing changed in the device folder (inotify) the last listing is
  // returned as it is, and read afresh at least every kFullListingInterval.
  bool Enumerate(std::vector<std::string>& paths) override;

  // Opens the node non-blocking for the asked access (neither read nor write opens it for its
  // attributes only). `exclusive` is ignored: hidraw cannot keep other openers to reading.
  std::shared_ptr<HidDevice> Open(const std::string& path, bool read, bool write,
                                  bool exclusive) override;

  // True while the node exists in sysfs and under the device root and still has the identity it
  // had when this backend first listed the path or last opened it. For a path never seen, only
  // the node's existence is checked.
  bool IsPresent(const std::string& path) override;

  // Replaces open(2) for device nodes (tests hand out socket pairs); null restores open(2).
  void SetNodeOpener(NodeOpener opener);

  // Descriptors parsed so far; grows by one per new node identity.
  size_t DescriptorParseCount() const;

  const std::string& SysfsRoot() const { return sysfsRoot_; }
  const std::string& DevRoot() const { return devRoot_; }

 private:
  // The node name ("hidraw3") of a path under the device root, and whether a "#..." part follows.
  bool SplitPath(const std::string& path, std::string& name, bool& hasSuffix) const;
  // The cached node for this identity, read and parsed when the cache has another or none.
  std::shared_ptr<const HidrawNode> NodeLocked(const std::string& name,
                                               const HidrawIdentity& identity);
  void NoteUnusableLocked(const std::string& name, const HidrawIdentity& identity,
                          const char* reason);
  void PruneSeenLocked(const std::vector<std::string>& listed);

  static constexpr std::chrono::milliseconds kFullListingInterval{1000};

  // True while the last full listing still stands: no change seen since, and not too old.
  bool ListingCurrentLocked();

  const std::string sysfsRoot_;
  const std::string devRoot_;

  mutable std::mutex mutex_;                                        // guards everything below
  std::map<std::string, std::shared_ptr<const HidrawNode>> nodes_;  // by node name
  std::map<std::string, HidrawIdentity> seen_;      // identity per path when first listed or opened
  std::map<std::string, HidrawIdentity> unusable_;  // skipped nodes, by node name
  NodeOpener opener_;
  size_t parseCount_ = 0;
  DevChangeWatch devWatch_;
  uint64_t listedGeneration_ = 0;  // change generation of the last full listing; 0 none
  std::chrono::steady_clock::time_point listedAt_;
  std::vector<std::string> listedPaths_;
};

}  // namespace varkon
