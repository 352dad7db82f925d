#include "emulator/emulated_device.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace varkon::emulated {

EmulatedHidDevice::EmulatedHidDevice(std::shared_ptr<DeviceRecord> record, size_t interface,
                                     size_t collection, bool writable,
                                     std::shared_ptr<ReportQueue> queue)
    : record_(std::move(record)),
      interface_(interface),
      collection_(collection),
      writable_(writable),
      queue_(std::move(queue)) {}

EmulatedHidDevice::~EmulatedHidDevice() {
  // Replies still queued for this handle will never be read; give back their claims now.
  if (queue_) queue_->Cancel();
}

const HidCollectionInfo& EmulatedHidDevice::Collection() const {
  return record_->Interfaces()[interface_].collections[collection_];
}

HidIoResult EmulatedHidDevice::Read(uint8_t* buffer, size_t length, size_t& bytesRead,
                                    int timeoutMs) {
  bytesRead = 0;
  if (cancelled_.load()) return HidIoResult::Cancelled;
  if (!queue_ || !record_->Alive()) return HidIoResult::Failed;
  return queue_->Pop(buffer, length, bytesRead, timeoutMs);
}

HidIoResult EmulatedHidDevice::Write(const uint8_t* buffer, size_t length, size_t& bytesWritten,
                                     int timeoutMs) {
  bytesWritten = 0;
  const HidIoResult result = Send(buffer, length);
  if (result == HidIoResult::Ok) bytesWritten = length;
  return result;
}

bool EmulatedHidDevice::SetOutputReport(const uint8_t* buffer, size_t length) {
  return Send(buffer, length) == HidIoResult::Ok;
}

void EmulatedHidDevice::Cancel() {
  cancelled_.store(true);
  if (queue_) queue_->Cancel();
}

// The collection must declare an output report with this id, at least `length` bytes long
// counting the id byte.
bool EmulatedHidDevice::TakesOutputReport(uint8_t reportId, size_t length) const {
  bool declared = false;
  uint64_t bits = 0;
  for (const HidReportField& field : Collection().fields) {
    if (field.kind != HidReportKind::Output || field.reportId != reportId) continue;
    declared = true;
    bits = std::max<uint64_t>(bits, field.bitOffset + uint64_t{field.bitSize} * field.count);
  }
  return declared && length <= 1 + (bits + 7) / 8;
}

HidIoResult EmulatedHidDevice::Send(const uint8_t* buffer, size_t length) {
  if (cancelled_.load()) return HidIoResult::Cancelled;
  if (!record_->Alive() || !writable_ || buffer == nullptr || length == 0) {
    return HidIoResult::Failed;
  }
  const uint8_t reportId = buffer[0];
  if (!TakesOutputReport(reportId, length)) return HidIoResult::Failed;

  const std::shared_ptr<VendorFirmware>& firmware = record_->Interfaces()[interface_].firmware;
  if (!firmware) return HidIoResult::Ok;
  if (reportId != kPacketReportId) {
    // An output report is written synchronously over the interrupt endpoint: the writer waits
    // the link's time for each one.
    const std::chrono::milliseconds latency = record_->ReplyLatency();
    if (latency.count() > 0) std::this_thread::sleep_for(latency);
    return firmware->ReceiveOutput(buffer, length) ? HidIoResult::Ok : HidIoResult::Failed;
  }

  const Clock::time_point sent = Clock::now();
  FirmwareResult result = firmware->Receive(buffer, length);
  if (result.unplug) {
    record_->Kill();
    return HidIoResult::Ok;
  }
  if (result.hasReply) {
    // The link's own latency comes on top of any delay a fault adds.
    const Clock::time_point due =
        sent + std::chrono::milliseconds(result.delayMs) + record_->ReplyLatency();
    record_->Post(interface_, collection_, result.reply.data(), result.reply.size(), due,
                  std::move(result.claim), queue_.get());
  }
  return HidIoResult::Ok;
}

}  // namespace varkon::emulated
