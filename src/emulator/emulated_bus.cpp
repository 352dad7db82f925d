#include "emulator/emulated_bus.h"

#include <algorithm>

#include "core/debug_out.h"
#include "emulator/emulated_device.h"

namespace varkon {

EmulatedBus::~EmulatedBus() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const RecordPtr& record : devices_) record->Kill();
  devices_.clear();
}

bool EmulatedBus::Plug(const EmulatedDeviceLayout& layout) {
  // Descriptors are parsed outside the lock; a generation lost to a refused plug is harmless.
  auto record = std::make_shared<emulated::DeviceRecord>(layout, nextGeneration_.fetch_add(1));
  std::lock_guard<std::mutex> lock(mutex_);
  if (LiveLocked(layout.name)) return false;
  std::erase_if(devices_, [&](const RecordPtr& r) { return r->Name() == layout.name; });
  debugOut("emulator: %s plugged (generation %llu)\n", layout.name.c_str(),
           static_cast<unsigned long long>(record->Generation()));
  devices_.push_back(std::move(record));
  return true;
}

bool EmulatedBus::Unplug(const std::string& name) {
  std::vector<RecordPtr> removed;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const RecordPtr& record : devices_) {
      if (record->Name() == name) removed.push_back(record);
    }
    std::erase_if(devices_, [&](const RecordPtr& r) { return r->Name() == name; });
  }
  bool wasLive = false;
  for (const RecordPtr& record : removed) {
    wasLive = wasLive || record->Alive();
    record->Kill();
  }
  if (wasLive) debugOut("emulator: %s unplugged\n", name.c_str());
  return wasLive;
}

bool EmulatedBus::IsPlugged(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return LiveLocked(name) != nullptr;
}

uint64_t EmulatedBus::Generation(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const RecordPtr record = LiveLocked(name);
  return record ? record->Generation() : 0;
}

void EmulatedBus::SetReverseCollections(const std::string& name, bool reverse) {
  std::lock_guard<std::mutex> lock(mutex_);
  reversed_[name] = reverse;
}

std::vector<EmulatedPath> EmulatedBus::List() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<EmulatedPath> paths;
  for (const RecordPtr& record : devices_) {
    if (!record->Alive()) continue;
    const auto flag = reversed_.find(record->Name());
    const bool reverse = flag != reversed_.end() && flag->second;
    for (const emulated::InterfaceRecord& interface : record->Interfaces()) {
      std::vector<std::string> order = interface.paths;
      if (reverse) std::reverse(order.begin(), order.end());
      for (std::string& path : order) paths.push_back({std::move(path), record->Generation()});
    }
  }
  return paths;
}

bool EmulatedBus::Lookup(const std::string& path, uint64_t& generation) const {
  std::lock_guard<std::mutex> lock(mutex_);
  RecordPtr record;
  size_t interface = 0;
  size_t collection = 0;
  if (!FindPathLocked(path, record, interface, collection)) return false;
  generation = record->Generation();
  return true;
}

std::shared_ptr<HidDevice> EmulatedBus::Open(const std::string& path, bool read, bool write,
                                             uint64_t& generation) {
  RecordPtr record;
  size_t interface = 0;
  size_t collection = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!FindPathLocked(path, record, interface, collection)) return nullptr;
  }
  std::shared_ptr<emulated::ReportQueue> queue;
  if (read) {
    queue = std::make_shared<emulated::ReportQueue>();
    if (!record->AddReader(interface, collection, queue)) return nullptr;
  } else if (!record->Alive()) {
    return nullptr;
  }
  generation = record->Generation();
  return std::make_shared<emulated::EmulatedHidDevice>(record, interface, collection, write, queue);
}

bool EmulatedBus::SendInputReport(const std::string& name, uint8_t interfaceNumber,
                                  size_t collection, const uint8_t* report, size_t length) {
  RecordPtr record;
  size_t interface = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    record = LiveLocked(name);
  }
  if (!record || report == nullptr || !FindInterface(record, interfaceNumber, interface) ||
      collection >= record->Interfaces()[interface].collections.size()) {
    return false;
  }
  record->Post(interface, collection, report, length, emulated::Clock::now(), ReplyClaim(),
               nullptr);
  return true;
}

size_t EmulatedBus::ReaderCount(const std::string& name, uint8_t interfaceNumber,
                                size_t collection) const {
  RecordPtr record;
  size_t interface = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    record = LiveLocked(name);
  }
  if (!record || !FindInterface(record, interfaceNumber, interface)) return 0;
  return record->ReaderCount(interface, collection);
}

EmulatedBus::RecordPtr EmulatedBus::LiveLocked(const std::string& name) const {
  for (const RecordPtr& record : devices_) {
    if (record->Name() == name && record->Alive()) return record;
  }
  return nullptr;
}

bool EmulatedBus::FindPathLocked(const std::string& path, RecordPtr& record, size_t& interface,
                                 size_t& collection) const {
  for (const RecordPtr& candidate : devices_) {
    if (!candidate->Alive()) continue;
    const auto& interfaces = candidate->Interfaces();
    for (size_t i = 0; i < interfaces.size(); ++i) {
      const auto& paths = interfaces[i].paths;
      const auto it = std::find(paths.begin(), paths.end(), path);
      if (it == paths.end()) continue;
      record = candidate;
      interface = i;
      collection = static_cast<size_t>(it - paths.begin());
      return true;
    }
  }
  return false;
}

bool EmulatedBus::FindInterface(const RecordPtr& record, uint8_t number, size_t& index) {
  const auto& interfaces = record->Interfaces();
  for (size_t i = 0; i < interfaces.size(); ++i) {
    if (interfaces[i].number == number) {
      index = i;
      return true;
    }
  }
  return false;
}

}  // namespace varkon
