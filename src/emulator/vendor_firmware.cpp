#include "emulator/vendor_firmware.h"

#include <algorithm>
#include <cstring>

#include "core/debug_out.h"

namespace varkon {

VendorFirmware::VendorFirmware(FirmwareImage image)
    : name_(std::move(image.name)),
      commands_(image.commands),
      takesFrameReports_(image.takesFrameReports),
      areas_(std::move(image.areas)) {}

FirmwareResult VendorFirmware::Receive(const uint8_t* report, size_t length) {
  PacketBytes request{};
  if (report != nullptr) std::memcpy(request.data(), report, std::min(length, kPacketSize));

  std::lock_guard<std::mutex> lock(accountMutex_);
  if (unreadReplies_->load() > 0) interleaveViolations_.fetch_add(1);
  FirmwareResult result = Process(request);
  if (result.hasReply && result.delayMs <= 0 && !result.unplug) {
    result.claim = ReplyClaim(unreadReplies_);
  }
  return result;
}

FirmwareResult VendorFirmware::Relay(const PacketBytes& request) {
  std::lock_guard<std::mutex> lock(accountMutex_);
  return Process(request);
}

FirmwareResult VendorFirmware::Process(const PacketBytes& request) {
  Record(request);
  FirmwareResult result;
  Fault fault;
  const bool faulted = TakeFault(request, fault);
  if (faulted) {
    switch (fault.kind) {
      case FaultKind::NoReply:
        return result;
      case FaultKind::UnplugMidTransfer:
        result.unplug = true;
        return result;
      case FaultKind::StatusFF:
      case FaultKind::StatusFE:
        result.hasReply = true;
        result.reply =
            ReplyFor(request, fault.kind == FaultKind::StatusFF ? kStatusErrorFF : kStatusErrorFE);
        SealPacket(result.reply.data());
        return result;
      case FaultKind::WrongCommand:
      case FaultKind::LateReply:
        break;
    }
  }

  const uint8_t command = request[kPacketCommand];
  if (command == kCmdBeginSession) beginCount_.fetch_add(1);
  if (command == kCmdEndSession) endCount_.fetch_add(1);
  Answer(request, result);

  if (faulted && result.hasReply) {
    if (fault.kind == FaultKind::WrongCommand) {
      result.reply[kPacketCommand] = fault.echoCommand;
      SealPacket(result.reply.data());
    } else {
      result.delayMs = std::max(result.delayMs, std::max(fault.delayMs, 1));
    }
  }
  return result;
}

void VendorFirmware::Record(const PacketBytes& request) {
  if (PacketChecksum(request.data()) !=
      (request[kPacketChecksumLow] | (request[kPacketChecksumHigh] << 8))) {
    badChecksums_.fetch_add(1);
  }
  requestCount_.fetch_add(1);
  if (requests_.size() >= kRequestLogLimit) requests_.pop_front();
  requests_.push_back(request);
}

bool VendorFirmware::TakeFault(const PacketBytes& request, Fault& fault) {
  const int command = request[kPacketCommand];
  const int offset = PacketOffset(request.data());
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->times == 0) continue;
    if (it->command != -1 && it->command != command) continue;
    if (it->offset != -1 && it->offset != offset) continue;
    fault = *it;
    debugOut("emulator: %s fault %d on command 0x%02x offset %d\n", name_.c_str(),
             static_cast<int>(it->kind), command, offset);
    if (it->times > 0 && --it->times == 0) faults_.erase(it);
    return true;
  }
  return false;
}

bool VendorFirmware::ReceiveOutput(const uint8_t* report, size_t length) {
  if (!takesFrameReports_ || report == nullptr || length < 3 || report[0] == kPacketReportId) {
    return false;
  }
  const size_t dataLength = std::min(length, kPacketSize) - 1;
  std::vector<uint8_t> data(report + 1, report + 1 + dataLength);
  {
    std::lock_guard<std::mutex> lock(memoryMutex_);
    lastFrameReports_[{report[1], report[2]}] = std::move(data);
  }
  frameReports_.fetch_add(1);
  return true;
}

void VendorFirmware::InjectFault(const Fault& fault) {
  if (fault.times == 0) return;
  std::lock_guard<std::mutex> lock(accountMutex_);
  faults_.push_back(fault);
}

void VendorFirmware::ClearFaults() {
  std::lock_guard<std::mutex> lock(accountMutex_);
  faults_.clear();
}

std::vector<PacketBytes> VendorFirmware::Requests() const {
  std::lock_guard<std::mutex> lock(accountMutex_);
  return std::vector<PacketBytes>(requests_.begin(), requests_.end());
}

void VendorFirmware::ClearRequests() {
  std::lock_guard<std::mutex> lock(accountMutex_);
  requests_.clear();
}

bool VendorFirmware::LightControlOn() const {
  return lightControlOn_.load();
}
uint32_t VendorFirmware::LightFramePackets() const {
  return lightFramePackets_.load();
}
uint32_t VendorFirmware::LightFrames() const {
  return lightFrames_.load();
}

std::vector<uint8_t> VendorFirmware::LastLightFrame() const {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  return lastFrame_;
}

std::vector<uint8_t> VendorFirmware::LastFrameReport(uint8_t target, uint8_t reg) const {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  const auto it = lastFrameReports_.find({target, reg});
  return it == lastFrameReports_.end() ? std::vector<uint8_t>() : it->second;
}

std::map<std::pair<uint8_t, uint8_t>, std::vector<uint8_t>> VendorFirmware::LastFrameReports()
    const {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  return lastFrameReports_;
}

std::vector<uint8_t> VendorFirmware::Memory(MemoryArea area) const {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  return areas_[static_cast<size_t>(area)];
}

size_t VendorFirmware::MemorySize(MemoryArea area) const {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  return areas_[static_cast<size_t>(area)].size();
}

void VendorFirmware::SetMemory(MemoryArea area, size_t offset, const std::vector<uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  std::vector<uint8_t>& memory = areas_[static_cast<size_t>(area)];
  if (offset >= memory.size()) return;
  const size_t count = std::min(bytes.size(), memory.size() - offset);
  std::copy_n(bytes.begin(), count, memory.begin() + static_cast<std::ptrdiff_t>(offset));
}

void VendorFirmware::SetKeyTable(MemoryArea table, const std::vector<uint8_t>& entries) {
  if (table != MemoryArea::KeyTableA && table != MemoryArea::KeyTableB &&
      table != MemoryArea::KeyTableC) {
    return;
  }
  SetMemory(table, 0, entries);
}

MemoryImage VendorFirmware::Snapshot() const {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  return areas_;
}

bool VendorFirmware::Restore(const MemoryImage& image) {
  std::lock_guard<std::mutex> lock(memoryMutex_);
  for (size_t i = 0; i < areas_.size(); ++i) {
    if (image[i].size() != areas_[i].size()) return false;
  }
  areas_ = image;
  return true;
}

}  // namespace varkon
