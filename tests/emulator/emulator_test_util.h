// Hand-built vendor packets and a request/reply helper over an emulated handle.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "device/command_packet.h"
#include "device/hid_backend.h"
#include "emulator/emulated_rig.h"

namespace varkon::test {

inline PacketBytes Request(uint8_t command, uint8_t length = 0, uint16_t offset = 0,
                           const std::vector<uint8_t>& payload = {}) {
  PacketBytes packet{};
  packet[0] = kPacketReportId;
  packet[kPacketCommand] = command;
  packet[kPacketLength] = length;
  packet[kPacketOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
  packet[kPacketOffsetHigh] = static_cast<uint8_t>(offset >> 8);
  for (size_t i = 0; i < payload.size() && i < kPacketPayloadSize; ++i) {
    packet[kPacketPayloadOffset + i] = payload[i];
  }
  SealPacket(packet.data());
  return packet;
}

inline bool Send(HidDevice& device, const PacketBytes& request) {
  size_t written = 0;
  return device.Write(request.data(), request.size(), written, 1000) == HidIoResult::Ok &&
         written == request.size();
}

inline HidIoResult ReadReport(HidDevice& device, PacketBytes& reply, int timeoutMs = 1000) {
  reply.fill(0);
  size_t got = 0;
  return device.Read(reply.data(), reply.size(), got, timeoutMs);
}

// Writes the request and reads one reply. False when either step fails.
inline bool Transact(HidDevice& device, const PacketBytes& request, PacketBytes& reply,
                     int timeoutMs = 1000) {
  return Send(device, request) && ReadReport(device, reply, timeoutMs) == HidIoResult::Ok;
}

inline std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13);
  return bytes;
}

inline std::vector<uint8_t> ReplyData(const PacketBytes& reply, size_t length) {
  return std::vector<uint8_t>(reply.begin() + kPacketPayloadOffset,
                              reply.begin() + kPacketPayloadOffset + length);
}

inline bool ChecksumValid(const PacketBytes& packet) {
  return PacketChecksum(packet.data()) == (packet[1] | packet[2] << 8);
}

inline std::chrono::milliseconds Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

// A rig with the identity plugged and its configuration collection opened for both directions.
class RigTest : public ::testing::Test {
 protected:
  std::shared_ptr<HidDevice> OpenConfig(EmulatedKind kind) {
    rig.Plug(kind);
    return rig.Backend().Open(EmulatedRig::ConfigPath(kind), true, true, false);
  }

  // Writes `data` into an area with `command`, in chunks of at most `chunk` bytes.
  void WriteChunked(HidDevice& device, uint8_t command, uint16_t start,
                    const std::vector<uint8_t>& data, size_t chunk = kPacketPayloadSize) {
    for (size_t done = 0; done < data.size(); done += chunk) {
      const size_t length = std::min(chunk, data.size() - done);
      std::vector<uint8_t> part(data.begin() + done, data.begin() + done + length);
      PacketBytes reply;
      ASSERT_TRUE(Transact(
          device,
          Request(command, static_cast<uint8_t>(length), static_cast<uint16_t>(start + done), part),
          reply));
      ASSERT_EQ(reply[kPacketStatus], 0x00) << "chunk at " << done;
    }
  }

  std::vector<uint8_t> ReadChunked(HidDevice& device, uint8_t command, uint16_t start, size_t size,
                                   size_t chunk = kPacketPayloadSize) {
    std::vector<uint8_t> data;
    for (size_t done = 0; done < size; done += chunk) {
      const size_t length = std::min(chunk, size - done);
      PacketBytes reply;
      if (!Transact(
              device,
              Request(command, static_cast<uint8_t>(length), static_cast<uint16_t>(start + done)),
              reply) ||
          reply[kPacketStatus] != 0x00) {
        return {};
      }
      const std::vector<uint8_t> part = ReplyData(reply, length);
      data.insert(data.end(), part.begin(), part.end());
    }
    return data;
  }

  EmulatedRig rig;
};

}  // namespace varkon::test
