// Base of the firmware models: the memory areas a device keeps, the vendor command protocol over
// them, injected faults and the counters tests read. Thread-safe.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/command_packet.h"
#include "emulator/firmware_types.h"

namespace varkon {

using MemoryImage = std::array<std::vector<uint8_t>, kMemoryAreaCount>;

// Initial contents and behaviour of one firmware model.
struct FirmwareImage {
  std::string name;
  MemoryImage areas;               // each area at its full size
  std::bitset<256> commands;       // command bytes answered; any other answers status 0xFF
  bool takesFrameReports = false;  // records output reports with ids other than 4 (headset)
};

class VendorFirmware {
 public:
  explicit VendorFirmware(FirmwareImage image);
  virtual ~VendorFirmware() = default;
  VendorFirmware(const VendorFirmware&) = delete;
  VendorFirmware& operator=(const VendorFirmware&) = delete;

  const std::string& Name() const { return name_; }

  // A vendor request from the host (report id 4; shorter reports are zero-padded, longer ones
  // cut to 64 bytes).
  FirmwareResult Receive(const uint8_t* report, size_t length);
  // A request passed on by a receiver: recorded, checked and answered like Receive; the
  // interleave account stays with the receiver.
  FirmwareResult Relay(const PacketBytes& request);
  // Any other output report. False when this firmware does not take it.
  bool ReceiveOutput(const uint8_t* report, size_t length);

  // Several faults may be active; the first one matching a request fires.
  void InjectFault(const Fault& fault);
  void ClearFaults();

  // Every request received, in order (the newest 65536 are kept).
  std::vector<PacketBytes> Requests() const;
  void ClearRequests();
  // Requests received since the start (not reset by ClearRequests).
  uint32_t RequestCount() const { return requestCount_.load(); }
  // Requests that arrived while an in-time reply to an earlier request was still unread by the
  // handle that wrote that request.
  uint32_t InterleaveViolations() const { return interleaveViolations_.load(); }
  uint32_t BadChecksums() const { return badChecksums_.load(); }
  uint32_t BeginCount() const { return beginCount_.load(); }
  uint32_t EndCount() const { return endCount_.load(); }

  virtual bool LightControlOn() const;
  // Stored light-frame chunks, and frames completed (a chunk reaching the LED count × 3).
  virtual uint32_t LightFramePackets() const;
  virtual uint32_t LightFrames() const;
  virtual std::vector<uint8_t> LastLightFrame() const;

  // Output reports other than the vendor one (the headset's light reports, id 0xFF).
  uint32_t FrameReportCount() const { return frameReports_.load(); }
  // The data bytes (after the id) of the last such report for (byte1, byte2); empty if none.
  std::vector<uint8_t> LastFrameReport(uint8_t target, uint8_t reg) const;
  // The last such report of every (byte1, byte2) seen.
  std::map<std::pair<uint8_t, uint8_t>, std::vector<uint8_t>> LastFrameReports() const;

  virtual std::vector<uint8_t> Memory(MemoryArea area) const;
  virtual size_t MemorySize(MemoryArea area) const;
  // Copies what fits of `bytes` into the area from `offset`; nothing beyond the area's end.
  virtual void SetMemory(MemoryArea area, size_t offset, const std::vector<uint8_t>& bytes);
  // Replaces a key table's contents from its start (entries of 3 bytes each).
  void SetKeyTable(MemoryArea table, const std::vector<uint8_t>& entries);

  // Whole memories, for saving. A model that keeps no memory of its own (the receiver) says so.
  virtual bool OwnsMemory() const { return true; }
  MemoryImage Snapshot() const;
  // False, and nothing changed, unless every area has exactly its current size.
  bool Restore(const MemoryImage& image);

 protected:
  // Answers a request that no fault dropped. The base class runs the memory protocol.
  virtual void Answer(const PacketBytes& request, FirmwareResult& result);
  // A reply that echoes the request's command, length and offset, with `status`.
  static PacketBytes ReplyFor(const PacketBytes& request, uint8_t status);

 private:
  static constexpr size_t kRequestLogLimit = 65536;
  static constexpr size_t kFrameBufferSize = 512;

  // Records the request and applies faults; the caller holds accountMutex_.
  FirmwareResult Process(const PacketBytes& request);
  bool TakeFault(const PacketBytes& request, Fault& fault);
  void Record(const PacketBytes& request);
  void AnswerLocked(const PacketBytes& request, PacketBytes& reply);
  bool ReadArea(MemoryArea area, const PacketBytes& request, PacketBytes& reply) const;
  bool WriteArea(MemoryArea area, const PacketBytes& request);
  bool StreamFrameChunk(const PacketBytes& request);

  const std::string name_;
  const std::bitset<256> commands_;
  const bool takesFrameReports_;

  // Requests, faults and the interleave account. Taken before memoryMutex_.
  mutable std::mutex accountMutex_;
  std::deque<PacketBytes> requests_;
  std::vector<Fault> faults_;
  std::shared_ptr<std::atomic<int>> unreadReplies_ = std::make_shared<std::atomic<int>>(0);

  mutable std::mutex memoryMutex_;
  MemoryImage areas_;
  std::array<uint8_t, kFrameBufferSize> frameBuffer_{};
  std::vector<uint8_t> lastFrame_;
  std::map<std::pair<uint8_t, uint8_t>, std::vector<uint8_t>> lastFrameReports_;
  std::atomic<bool> lightControlOn_{false};

  std::atomic<uint32_t> interleaveViolations_{0};
  std::atomic<uint32_t> badChecksums_{0};
  std::atomic<uint32_t> requestCount_{0};
  std::atomic<uint32_t> beginCount_{0};
  std::atomic<uint32_t> endCount_{0};
  std::atomic<uint32_t> lightFramePackets_{0};
  std::atomic<uint32_t> lightFrames_{0};
  std::atomic<uint32_t> frameReports_{0};
};

}  // namespace varkon
