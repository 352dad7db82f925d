#include "device/device_slot.h"

#include "device/hid_paths.h"

namespace varkon {

bool DeviceSlot::SameDescriptor(const DeviceSlot& other) const {
  const SupportedInterface& a = row;
  const SupportedInterface& b = other.row;
  return a.vendorId == b.vendorId && a.productId == b.productId &&
         a.interfaceNumber == b.interfaceNumber && a.collectionNumber == b.collectionNumber &&
         a.kind == b.kind && a.role == b.role && a.usagePage == b.usagePage && a.usage == b.usage;
}

SlotTable::SlotTable(std::vector<SupportedInterface> rows) : size_(rows.size()) {
  slots_.reserve(rows.size());
  for (SupportedInterface& row : rows) {
    row.attached = 0;
    slots_.push_back(DeviceSlot{row, {}});
  }
}

DeviceSlot SlotTable::Get(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return index < slots_.size() ? slots_[index] : DeviceSlot{};
}

std::vector<DeviceSlot> SlotTable::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slots_;
}

bool SlotTable::AllSlotsAttached() const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const DeviceSlot& slot : slots_) {
    if (slot.IsFree()) return false;
  }
  return true;
}

bool SlotTable::MatchCandidate(const std::string& path) const {
  const uint16_t vendorId = VendorIdOf(path);
  const uint16_t productId = ProductIdOf(path);
  const uint16_t interfaceNumber = InterfaceOf(path);
  const uint16_t collectionNumber = CollectionOf(path);
  std::lock_guard<std::mutex> lock(mutex_);
  for (const DeviceSlot& slot : slots_) {
    const SupportedInterface& row = slot.row;
    if (row.vendorId == vendorId && row.productId == productId &&
        row.interfaceNumber == interfaceNumber && row.collectionNumber == collectionNumber &&
        slot.IsFree()) {
      return true;
    }
  }
  return false;
}

std::optional<size_t> SlotTable::ClaimSlot(const std::string& path, const HidAttributes& attributes,
                                           uint16_t usagePage, uint16_t usage) {
  const uint16_t interfaceNumber = InterfaceOf(path);
  const uint16_t collectionNumber = CollectionOf(path);
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < slots_.size(); ++i) {
    DeviceSlot& slot = slots_[i];
    const SupportedInterface& row = slot.row;
    if (row.vendorId == attributes.vendorId && row.productId == attributes.productId &&
        row.interfaceNumber == interfaceNumber && row.collectionNumber == collectionNumber &&
        row.usagePage == usagePage && row.usage == usage && slot.IsFree()) {
      slot.row.attached = 1;
      slot.path = path;
      return i;
    }
  }
  return std::nullopt;
}

std::string SlotTable::Release(size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= slots_.size()) return {};
  std::string path = std::move(slots_[index].path);
  slots_[index].path.clear();
  slots_[index].row.attached = 0;
  return path;
}

std::vector<std::pair<size_t, std::string>> SlotTable::BoundSlots() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::pair<size_t, std::string>> bound;
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].row.attached != 0) bound.emplace_back(i, slots_[i].path);
  }
  return bound;
}

}  // namespace varkon
