#include "emulator/receiver_firmware.h"

#include <algorithm>
#include <utility>

#include "emulator/firmware_images.h"

namespace varkon {

ReceiverFirmware::ReceiverFirmware(std::shared_ptr<VendorFirmware> mouse)
    : VendorFirmware(ReceiverImage()), mouse_(std::move(mouse)) {}

void ReceiverFirmware::Answer(const PacketBytes& request, FirmwareResult& result) {
  if (!reachable_.load()) {
    result.hasReply = true;
    result.reply.fill(0);
    result.reply[0] = kPacketReportId;
    result.reply[kPacketCommand] = kReplyUnreachable;
    SealPacket(result.reply.data());
    return;
  }
  FirmwareResult relayed = mouse_->Relay(request);
  result.hasReply = relayed.hasReply;
  result.reply = relayed.reply;
  result.delayMs = std::max(result.delayMs, relayed.delayMs);
  result.unplug = result.unplug || relayed.unplug;
}

bool ReceiverFirmware::LightControlOn() const {
  return mouse_->LightControlOn();
}
uint32_t ReceiverFirmware::LightFramePackets() const {
  return mouse_->LightFramePackets();
}
uint32_t ReceiverFirmware::LightFrames() const {
  return mouse_->LightFrames();
}
std::vector<uint8_t> ReceiverFirmware::LastLightFrame() const {
  return mouse_->LastLightFrame();
}

std::vector<uint8_t> ReceiverFirmware::Memory(MemoryArea area) const {
  return mouse_->Memory(area);
}

size_t ReceiverFirmware::MemorySize(MemoryArea area) const {
  return mouse_->MemorySize(area);
}

void ReceiverFirmware::SetMemory(MemoryArea area, size_t offset,
                                 const std::vector<uint8_t>& bytes) {
  mouse_->SetMemory(area, offset, bytes);
}

}  // namespace varkon
