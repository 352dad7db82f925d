#include "emulator/device_record.h"

#include <algorithm>
#include <cstdio>

namespace varkon::emulated {

namespace {

std::string PathFor(const std::string& name, const HidAttributes& attributes, uint8_t interface,
                    size_t collection, size_t collectionCount) {
  char identity[64];
  std::snprintf(identity, sizeof(identity), "#vid_%04x&pid_%04x&mi_%02x", attributes.vendorId,
                attributes.productId, interface);
  std::string path = "emu:" + name + identity;
  if (collectionCount > 1) {
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), "&col%02zu", collection + 1);
    path += suffix;
  }
  return path;
}

}  // namespace

DeviceRecord::DeviceRecord(const EmulatedDeviceLayout& layout, uint64_t generation)
    : name_(layout.name),
      attributes_(layout.attributes),
      generation_(generation),
      replyLatency_(std::max(layout.replyLatencyMs, 0)) {
  for (const EmulatedInterfaceLayout& interfaceLayout : layout.interfaces) {
    InterfaceRecord record;
    record.number = interfaceLayout.number;
    record.firmware = interfaceLayout.firmware;
    record.collections =
        ParseReportDescriptor(interfaceLayout.descriptor.data(), interfaceLayout.descriptor.size());
    for (size_t c = 0; c < record.collections.size(); ++c) {
      record.paths.push_back(
          PathFor(name_, attributes_, record.number, c, record.collections.size()));
    }
    record.readers.resize(record.collections.size());
    interfaces_.push_back(std::move(record));
  }
}

void DeviceRecord::Kill() {
  std::lock_guard<std::mutex> lock(mutex_);
  alive_.store(false);
  for (InterfaceRecord& interface : interfaces_) {
    for (auto& readers : interface.readers) {
      for (auto& weak : readers) {
        if (auto queue = weak.lock()) queue->Kill();
      }
      readers.clear();
    }
  }
}

bool DeviceRecord::AddReader(size_t interface, size_t collection,
                             const std::shared_ptr<ReportQueue>& queue) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!alive_.load() || interface >= interfaces_.size() ||
      collection >= interfaces_[interface].readers.size()) {
    return false;
  }
  auto& readers = interfaces_[interface].readers[collection];
  std::erase_if(readers, [](const std::weak_ptr<ReportQueue>& weak) { return weak.expired(); });
  readers.push_back(queue);
  return true;
}

void DeviceRecord::Post(size_t interface, size_t collection, const uint8_t* report, size_t length,
                        Clock::time_point due, ReplyClaim claim, const ReportQueue* writer) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!alive_.load() || interface >= interfaces_.size() ||
      collection >= interfaces_[interface].readers.size()) {
    return;
  }
  for (auto& weak : interfaces_[interface].readers[collection]) {
    auto queue = weak.lock();
    if (!queue) continue;
    if (queue.get() == writer) {
      queue->Push(report, length, due, std::move(claim));
    } else {
      queue->Push(report, length, due, ReplyClaim());
    }
  }
}

size_t DeviceRecord::ReaderCount(size_t interface, size_t collection) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (interface >= interfaces_.size() || collection >= interfaces_[interface].readers.size()) {
    return 0;
  }
  size_t count = 0;
  for (auto& weak : interfaces_[interface].readers[collection]) count += weak.expired() ? 0 : 1;
  return count;
}

}  // namespace varkon::emulated
