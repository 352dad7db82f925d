// One plugged emulated device as the bus keeps it: its interfaces, their parsed collections and
// the queues of every handle open on them. Open handles keep the record alive after unplugging,
// so a stale handle fails instead of reaching a later plug of the same identity.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_types.h"
#include "device/report_descriptor.h"
#include "emulator/report_queue.h"
#include "emulator/vendor_firmware.h"

namespace varkon {

struct EmulatedInterfaceLayout {
  uint8_t number = 0;
  std::vector<uint8_t> descriptor;
  // Takes the interface's output reports; null: they are accepted and dropped.
  std::shared_ptr<VendorFirmware> firmware;
};

struct EmulatedDeviceLayout {
  std::string name;  // the part of the path after "emu:"
  HidAttributes attributes;
  std::vector<EmulatedInterfaceLayout> interfaces;
  // How long after its request a vendor reply becomes readable, on top of any fault delay.
  int replyLatencyMs = 0;
};

namespace emulated {

struct InterfaceRecord {
  uint8_t number = 0;
  std::shared_ptr<VendorFirmware> firmware;
  std::vector<HidCollectionInfo> collections;                    // in descriptor order
  std::vector<std::string> paths;                                // one per collection
  std::vector<std::vector<std::weak_ptr<ReportQueue>>> readers;  // per collection
};

class DeviceRecord {
 public:
  DeviceRecord(const EmulatedDeviceLayout& layout, uint64_t generation);

  const std::string& Name() const { return name_; }
  const HidAttributes& Attributes() const { return attributes_; }
  uint64_t Generation() const { return generation_; }
  std::chrono::milliseconds ReplyLatency() const { return replyLatency_; }
  const std::vector<InterfaceRecord>& Interfaces() const { return interfaces_; }

  bool Alive() const { return alive_.load(); }
  // Unplugs: every queue of an open handle is killed, which ends its waits at once.
  void Kill();

  // False when the device is already gone.
  bool AddReader(size_t interface, size_t collection, const std::shared_ptr<ReportQueue>& queue);
  // Queues `report` for every reader of the collection; `writer`'s copy carries `claim`.
  void Post(size_t interface, size_t collection, const uint8_t* report, size_t length,
            Clock::time_point due, ReplyClaim claim, const ReportQueue* writer);
  size_t ReaderCount(size_t interface, size_t collection);

 private:
  const std::string name_;
  const HidAttributes attributes_;
  const uint64_t generation_;
  const std::chrono::milliseconds replyLatency_;
  std::vector<InterfaceRecord> interfaces_;  // readers guarded by mutex_, the rest fixed
  std::mutex mutex_;
  std::atomic<bool> alive_{true};
};

}  // namespace emulated
}  // namespace varkon
