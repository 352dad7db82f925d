// One opened HID interface: its path, identity, capabilities and report items, with whole-report
// reads and writes that time out and that a Close from another thread ends at once. The same
// type lists the interfaces present (the path list).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "device/hid_types.h"
#include "device/report_descriptor.h"

namespace varkon {

// Device paths longer than this are refused rather than cut short.
constexpr size_t kMaxHidPathLength = 259;

class HidChannel {
 public:
  // `backend` null means DefaultHidBackend() at the time of each call.
  explicit HidChannel(HidBackend* backend = nullptr);
  HidChannel(const HidChannel&) = delete;
  HidChannel& operator=(const HidChannel&) = delete;
  ~HidChannel();

  // Path list.
  bool Enumerate();
  std::optional<std::string> NextPath();
  void FreePaths();
  size_t PathCount() const { return paths_.size(); }

  bool Open(const std::string& path, bool read, bool write, bool overlapped, bool exclusive);
  bool Reopen();
  void Close();
  bool IsOpen() const;
  // Ends a read or write waiting on another thread now; the open handle fails from then on (used
  // when its reader stops, just before the channel closes or the program ends).
  void CancelWaits();

  // 1 on success, 0 on failure (time-out, cancel, device error, closed channel).
  int Read(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs);
  int Write(const uint8_t* buffer, size_t length, size_t& bytesWritten, int timeoutMs);
  // Sends an output report outside the interrupt-write path (headset light frames).
  bool SetOutputReport(const uint8_t* buffer, size_t length);

  // Decodes a received input report into InputItems(); returns the decoder status.
  int32_t UnpackInputReport(const uint8_t* report, size_t length);
  std::vector<HidDataItem> InputItems() const;

  std::string Path() const;
  HidCaps Caps() const;
  HidAttributes Attributes() const;
  int InterfaceNumber() const;
  int CollectionNumber() const;
  size_t ItemCount(HidReportKind kind) const;
  bool ReadBusy() const { return readBusy_.load(); }
  bool WriteBusy() const { return writeBusy_.load(); }

 private:
  HidBackend& Backend() const;
  std::shared_ptr<HidDevice> CurrentDevice() const;
  void ClearCapabilitiesLocked();

  HidBackend* backend_;
  std::vector<std::string> paths_;
  uint32_t pathCursor_ = 0;

  mutable std::mutex mutex_;  // guards everything below except the busy flags
  bool wantRead_ = false;
  bool wantWrite_ = false;
  bool overlapped_ = false;
  bool exclusive_ = false;
  std::shared_ptr<HidDevice> device_;
  std::string path_;
  HidCaps caps_;
  HidAttributes attributes_;
  HidCollectionInfo collection_;
  std::vector<uint8_t> reports_[kHidReportKindCount];
  std::vector<HidDataItem> items_[kHidReportKindCount];
  int interfaceNumber_ = 0;
  int collectionNumber_ = 0;

  std::atomic<bool> readBusy_{false};
  std::atomic<bool> writeBusy_{false};
};

}  // namespace varkon
