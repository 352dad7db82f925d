// The registry of plugged emulated devices: what is listed, what can be opened, and where input
// reports go. Thread-safe. Paths look like "emu:keyboard#vid_320f&pid_5055&mi_01&col04"; the
// "&colNN" part is there only when the interface has more than one top-level collection.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "emulator/device_record.h"

namespace varkon {

struct EmulatedPath {
  std::string path;
  uint64_t generation = 0;  // changes with every plug
};

class EmulatedBus {
 public:
  EmulatedBus() = default;
  // Unplugs everything, so handles still open fail from then on.
  ~EmulatedBus();
  EmulatedBus(const EmulatedBus&) = delete;
  EmulatedBus& operator=(const EmulatedBus&) = delete;

  // False, and nothing changed, when a device of that name is plugged already.
  bool Plug(const EmulatedDeviceLayout& layout);
  // Ends every wait on the device's open handles at once. False when it was not plugged.
  bool Unplug(const std::string& name);
  // False too after the device unplugged itself.
  bool IsPlugged(const std::string& name) const;
  uint64_t Generation(const std::string& name) const;  // 0 when not plugged

  // Lists the device's collections last to first (interfaces keep their order). Kept across
  // replugs.
  void SetReverseCollections(const std::string& name, bool reverse);

  // Every interface path of the plugged devices, collection by collection, in plug order.
  std::vector<EmulatedPath> List() const;
  // The generation of the plugged device that has `path`; false when none has.
  bool Lookup(const std::string& path, uint64_t& generation) const;
  // Null when no plugged device has `path`.
  std::shared_ptr<HidDevice> Open(const std::string& path, bool read, bool write,
                                  uint64_t& generation);

  // Queues an input report on every open reader of a collection (0-based, descriptor order).
  // False when the device, interface or collection is absent.
  bool SendInputReport(const std::string& name, uint8_t interfaceNumber, size_t collection,
                       const uint8_t* report, size_t length);
  // Open handles with read access on that collection.
  size_t ReaderCount(const std::string& name, uint8_t interfaceNumber, size_t collection) const;

 private:
  using RecordPtr = std::shared_ptr<emulated::DeviceRecord>;

  // The live record of `name`; null when none. The caller holds mutex_.
  RecordPtr LiveLocked(const std::string& name) const;
  bool FindPathLocked(const std::string& path, RecordPtr& record, size_t& interface,
                      size_t& collection) const;
  static bool FindInterface(const RecordPtr& record, uint8_t number, size_t& index);

  mutable std::mutex mutex_;
  std::vector<RecordPtr> devices_;  // plug order; records that unplugged themselves stay until
                                    // the next Plug or Unplug of their name
  std::map<std::string, bool> reversed_;
  std::atomic<uint64_t> nextGeneration_{1};
};

}  // namespace varkon
