// The run-time slots: one per supported interface, each bound to at most one interface of the
// system. The watcher thread claims and frees slots; the owner thread reads them while it
// handles arrivals and removals.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/device_catalogue.h"
#include "device/hid_types.h"

namespace varkon {

struct DeviceSlot {
  SupportedInterface row{};
  std::string path;  // bound interface, empty when none

  bool IsFree() const { return row.attached == 0 && path.empty(); }
  // Identity of the interface this slot stands for (not its binding nor its partner).
  bool SameDescriptor(const DeviceSlot& other) const;
};

class SlotTable {
 public:
  explicit SlotTable(std::vector<SupportedInterface> rows = {kSupportedInterfaces.begin(),
                                                             kSupportedInterfaces.end()});

  size_t Size() const { return size_; }
  DeviceSlot Get(size_t index) const;
  std::vector<DeviceSlot> Snapshot() const;

  // Every slot is bound (attached or holding a path).
  bool AllSlotsAttached() const;
  // Vendor, product, interface and collection number from the path match a free slot.
  bool MatchCandidate(const std::string& path) const;
  // Binds the first free slot whose six identity values equal the opened interface's.
  std::optional<size_t> ClaimSlot(const std::string& path, const HidAttributes& attributes,
                                  uint16_t usagePage, uint16_t usage);
  // Frees the slot; returns the path it held.
  std::string Release(size_t index);
  // Indices of the slots bound now, with their paths.
  std::vector<std::pair<size_t, std::string>> BoundSlots() const;

 private:
  mutable std::mutex mutex_;
  std::vector<DeviceSlot> slots_;
  const size_t size_;
};

}  // namespace varkon
