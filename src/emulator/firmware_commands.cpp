// The vendor command protocol over a firmware's memory areas.
#include <algorithm>

#include "emulator/vendor_firmware.h"

namespace varkon {

namespace {

constexpr size_t kLedCountByte = 5;

size_t Index(MemoryArea area) {
  return static_cast<size_t>(area);
}

// Chunk bounds: at most one payload, and entirely inside an area of `size` bytes.
bool ChunkFits(const PacketBytes& request, size_t size) {
  const size_t length = request[kPacketLength];
  const size_t offset = PacketOffset(request.data());
  return length <= kPacketPayloadSize && offset <= size && length <= size - offset;
}

}  // namespace

PacketBytes VendorFirmware::ReplyFor(const PacketBytes& request, uint8_t status) {
  PacketBytes reply{};
  reply[0] = kPacketReportId;
  reply[kPacketCommand] = request[kPacketCommand];
  reply[kPacketLength] = request[kPacketLength];
  reply[kPacketOffsetLow] = request[kPacketOffsetLow];
  reply[kPacketOffsetHigh] = request[kPacketOffsetHigh];
  reply[kPacketStatus] = status;
  return reply;
}

void VendorFirmware::Answer(const PacketBytes& request, FirmwareResult& result) {
  result.hasReply = true;
  result.reply = ReplyFor(request, 0x00);
  if (commands_.test(request[kPacketCommand])) {
    std::lock_guard<std::mutex> lock(memoryMutex_);
    AnswerLocked(request, result.reply);
  } else {
    result.reply[kPacketStatus] = kStatusErrorFF;
  }
  SealPacket(result.reply.data());
}

void VendorFirmware::AnswerLocked(const PacketBytes& request, PacketBytes& reply) {
  bool ok = true;
  switch (request[kPacketCommand]) {
    case kCmdBeginSession:
    case kCmdEndSession:
      break;
    case kCmdLightControlOn:
      lightControlOn_.store(true);
      break;
    case kCmdQueryOnline:
      reply[kPacketPayloadOffset] = 0xFF;
      break;
    case kCmdReadDeviceInfo:
      ok = ReadArea(MemoryArea::DeviceInfo, request, reply);
      break;
    case kCmdReadSettings:
      ok = ReadArea(MemoryArea::Settings, request, reply);
      break;
    case kCmdWriteSettings:
      ok = WriteArea(MemoryArea::Settings, request);
      break;
    case kCmdReadKeyTable:
      ok = ReadArea(MemoryArea::KeyTableA, request, reply);
      break;
    case kCmdWriteKeyTable:
      ok = WriteArea(MemoryArea::KeyTableA, request);
      break;
    case kCmdWriteKeyTableB:
      ok = WriteArea(MemoryArea::KeyTableB, request);
      break;
    case kCmdWriteKeyTableC:
      ok = WriteArea(MemoryArea::KeyTableC, request);
      break;
    case kCmdReadColourTable:
      ok = ReadArea(MemoryArea::ColourTables, request, reply);
      break;
    case kCmdWriteColourTable:
      ok = WriteArea(MemoryArea::ColourTables, request);
      break;
    case kCmdWriteMacroMemory:
      ok = WriteArea(MemoryArea::MacroMemory, request);
      break;
    case kCmdWriteRecoilMemory:
      ok = WriteArea(MemoryArea::RecoilMemory, request);
      break;
    case kCmdReadStatus:
      ok = ReadArea(MemoryArea::Status, request, reply);
      break;
    case kCmdReadKeyBytes:
      ok = ReadArea(MemoryArea::LedTable, request, reply);
      break;
    case kCmdStreamLightFrame:
      ok = StreamFrameChunk(request);
      break;
    default:
      ok = false;
      break;
  }
  if (!ok) {
    std::fill(reply.begin() + kPacketPayloadOffset, reply.end(), 0);
    reply[kPacketStatus] = kStatusErrorFF;
  }
}

bool VendorFirmware::ReadArea(MemoryArea area, const PacketBytes& request,
                              PacketBytes& reply) const {
  const std::vector<uint8_t>& memory = areas_[Index(area)];
  if (!ChunkFits(request, memory.size())) return false;
  const size_t offset = PacketOffset(request.data());
  std::copy_n(memory.begin() + static_cast<std::ptrdiff_t>(offset), request[kPacketLength],
              reply.begin() + kPacketPayloadOffset);
  return true;
}

bool VendorFirmware::WriteArea(MemoryArea area, const PacketBytes& request) {
  std::vector<uint8_t>& memory = areas_[Index(area)];
  if (!ChunkFits(request, memory.size())) return false;
  const size_t offset = PacketOffset(request.data());
  std::copy_n(request.begin() + kPacketPayloadOffset, request[kPacketLength],
              memory.begin() + static_cast<std::ptrdiff_t>(offset));
  return true;
}

bool VendorFirmware::StreamFrameChunk(const PacketBytes& request) {
  if (!ChunkFits(request, frameBuffer_.size())) return false;
  const size_t offset = PacketOffset(request.data());
  const size_t length = request[kPacketLength];
  std::copy_n(request.begin() + kPacketPayloadOffset, length,
              frameBuffer_.begin() + static_cast<std::ptrdiff_t>(offset));
  lightFramePackets_.fetch_add(1);

  const std::vector<uint8_t>& info = areas_[Index(MemoryArea::DeviceInfo)];
  const size_t ledCount = info.size() > kLedCountByte ? info[kLedCountByte] : 0;
  const size_t frameSize = std::min(ledCount * 3, frameBuffer_.size());
  if (length > 0 && offset + length >= frameSize) {
    lastFrame_.assign(frameBuffer_.begin(),
                      frameBuffer_.begin() + static_cast<std::ptrdiff_t>(frameSize));
    lightFrames_.fetch_add(1);
  }
  return true;
}

}  // namespace varkon
