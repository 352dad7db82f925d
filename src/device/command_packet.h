// The 64-byte vendor report exchanged with every device of the family, in both directions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varkon {

constexpr size_t kPacketSize = 64;
constexpr uint8_t kPacketReportId = 0x04;
constexpr size_t kPacketPayloadOffset = 8;
constexpr size_t kPacketPayloadSize = kPacketSize - kPacketPayloadOffset;  // 56

// Byte positions.
enum PacketByte : size_t {
  kPacketChecksumLow = 1,
  kPacketChecksumHigh = 2,
  kPacketCommand = 3,
  kPacketLength = 4,
  kPacketOffsetLow = 5,
  kPacketOffsetHigh = 6,
  kPacketStatus = 7,
};

// Command bytes.
enum Command : uint8_t {
  kCmdBeginSession = 0x01,
  kCmdEndSession = 0x02,
  kCmdReadDeviceInfo = 0x03,
  kCmdReadSettings = 0x05,
  kCmdWriteSettings = 0x06,
  kCmdReadKeyTable = 0x07,
  kCmdWriteKeyTable = 0x09,
  kCmdReadColourTable = 0x0A,
  kCmdWriteColourTable = 0x0B,
  kCmdStreamLightFrame = 0x12,
  kCmdWriteMacroMemory = 0x15,
  kCmdWriteRecoilMemory = 0x17,
  kCmdReadStatus = 0x1A,
  kCmdReadKeyBytes = 0x1B,
  kCmdLightControlOn = 0x1C,
  kCmdWriteKeyTableB = 0x27,
  kCmdWriteKeyTableC = 0x28,
  kCmdQueryOnline = 0xAA,
};

// Command byte a receiver puts in its reply when it cannot reach the device behind it.
constexpr uint8_t kReplyUnreachable = 0xAA;
// Reply status bytes that mean failure; anything else is success.
constexpr uint8_t kStatusErrorFF = 0xFF;
constexpr uint8_t kStatusErrorFE = 0xFE;

constexpr size_t kDeviceInfoSize = 34;
constexpr size_t kStatusBlockSize = 6;
constexpr size_t kTablePageSize = 512;
constexpr size_t kMaxTableSize = 512;

using PacketBytes = std::array<uint8_t, kPacketSize>;

// Sum of bytes 3..63 as unsigned bytes, truncated to 16 bits.
inline uint16_t PacketChecksum(const uint8_t* packet) {
  uint32_t sum = 0;
  for (size_t i = kPacketCommand; i < kPacketSize; ++i) sum += packet[i];
  return static_cast<uint16_t>(sum);
}

// Stores the checksum little-endian in bytes 1-2; call after every other byte is filled in.
inline void SealPacket(uint8_t* packet) {
  const uint16_t sum = PacketChecksum(packet);
  packet[kPacketChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
  packet[kPacketChecksumHigh] = static_cast<uint8_t>(sum >> 8);
}

inline uint16_t PacketOffset(const uint8_t* packet) {
  return static_cast<uint16_t>(packet[kPacketOffsetLow] | (packet[kPacketOffsetHigh] << 8));
}

}  // namespace varkon
