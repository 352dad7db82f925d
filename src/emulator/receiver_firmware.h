// The 2.4 GHz receiver: passes every request on to the mouse firmware and its reply back, or
// answers "unreachable" (command 0xAA, byte 8 = 0) while the mouse sleeps or is out of range.
// Memory and light state are the mouse's.
#pragma once

#include <atomic>
#include <memory>

#include "emulator/vendor_firmware.h"

namespace varkon {

class ReceiverFirmware final : public VendorFirmware {
 public:
  explicit ReceiverFirmware(std::shared_ptr<VendorFirmware> mouse);

  void SetReachable(bool reachable) { reachable_.store(reachable); }
  bool Reachable() const { return reachable_.load(); }
  VendorFirmware& Mouse() { return *mouse_; }

  bool LightControlOn() const override;
  uint32_t LightFramePackets() const override;
  uint32_t LightFrames() const override;
  std::vector<uint8_t> LastLightFrame() const override;
  std::vector<uint8_t> Memory(MemoryArea area) const override;
  size_t MemorySize(MemoryArea area) const override;
  void SetMemory(MemoryArea area, size_t offset, const std::vector<uint8_t>& bytes) override;
  bool OwnsMemory() const override { return false; }

 protected:
  void Answer(const PacketBytes& request, FirmwareResult& result) override;

 private:
  const std::shared_ptr<VendorFirmware> mouse_;
  std::atomic<bool> reachable_{true};
};

}  // namespace varkon
