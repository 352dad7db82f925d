// An open handle on one collection of an emulated interface. Behaves as a hidraw handle: its
// own queue and copy of every input report of the collection, vendor requests answered by the
// interface's firmware on the spot, their replies readable after the device's reply latency.
#pragma once

#include <atomic>
#include <memory>

#include "device/hid_backend.h"
#include "emulator/device_record.h"
#include "emulator/report_queue.h"

namespace varkon::emulated {

class EmulatedHidDevice final : public HidDevice {
 public:
  // `queue` is null for a handle opened without read access.
  EmulatedHidDevice(std::shared_ptr<DeviceRecord> record, size_t interface, size_t collection,
                    bool writable, std::shared_ptr<ReportQueue> queue);
  ~EmulatedHidDevice() override;

  const HidAttributes& Attributes() const override { return record_->Attributes(); }
  const HidCollectionInfo& Collection() const override;
  HidIoResult Read(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs) override;
  HidIoResult Write(const uint8_t* buffer, size_t length, size_t& bytesWritten,
                    int timeoutMs) override;
  bool SetOutputReport(const uint8_t* buffer, size_t length) override;
  void Cancel() override;

 private:
  // Hands one output report to the firmware and queues its reply.
  HidIoResult Send(const uint8_t* buffer, size_t length);
  bool TakesOutputReport(uint8_t reportId, size_t length) const;

  const std::shared_ptr<DeviceRecord> record_;
  const size_t interface_;
  const size_t collection_;
  const bool writable_;
  const std::shared_ptr<ReportQueue> queue_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace varkon::emulated
