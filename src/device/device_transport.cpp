#include "device/device_transport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "core/debug_out.h"

namespace varkon {

namespace {

constexpr uint32_t kAddressSpace = 0x10000;  // offsets travel as 16 bits

// Counts a transaction as in flight for as long as it runs.
class InFlightScope {
 public:
  explicit InFlightScope(std::atomic<int>& count) : count_(count) { count_.fetch_add(1); }
  ~InFlightScope() { count_.fetch_sub(1); }

 private:
  std::atomic<int>& count_;
};

PacketBytes MakePacket(uint8_t command, uint8_t length, uint16_t offset) {
  PacketBytes packet{};
  packet[0] = kPacketReportId;
  packet[kPacketCommand] = command;
  packet[kPacketLength] = length;
  packet[kPacketOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
  packet[kPacketOffsetHigh] = static_cast<uint8_t>(offset >> 8);
  return packet;
}

StatusCode StatusOfReply(const PacketBytes& reply) {
  if (reply[kPacketStatus] == kStatusErrorFF) return kStatusDeviceFF;
  if (reply[kPacketStatus] == kStatusErrorFE) return kStatusDeviceFE;
  return kStatusOk;
}

}  // namespace

DeviceTransport::DeviceTransport(HidBackend* backend)
    : cableChannel_(backend), receiverChannel_(backend) {}

void DeviceTransport::SetMode(int kind) {
  const bool receiver = kind == kTransportModeReceiver;
  receiverMode_.store(receiver);
  chunkSize_.store(receiver ? kReceiverChunkSize : kCableChunkSize);
}

bool DeviceTransport::SetTableSize(uint16_t size) {
  if (size > kMaxTableSize) return false;
  tableSize_.store(size);
  return true;
}

void DeviceTransport::SetPacketObserver(PacketObserver observer) {
  std::lock_guard<std::mutex> lock(observerMutex_);
  observer_ = std::move(observer);
}

StatusCode DeviceTransport::Transact(const uint8_t* request, size_t length, uint8_t* reply,
                                     size_t replyLength, size_t& bytesRead) {
  return Exchange(request, length, reply, replyLength, bytesRead,
                  {kCableTimeoutMs, kReceiverTimeoutMs}, true);
}

StatusCode DeviceTransport::TransactFast(const uint8_t* request, size_t length, uint8_t* reply,
                                         size_t replyLength, size_t& bytesRead) {
  return Exchange(request, length, reply, replyLength, bytesRead,
                  {kCableTimeoutMs, kFastReceiverTimeoutMs}, false);
}

StatusCode DeviceTransport::Exchange(const uint8_t* request, size_t length, uint8_t* reply,
                                     size_t replyLength, size_t& bytesRead, Timeouts timeouts,
                                     bool dump) {
  InFlightScope inFlight(inFlight_);
  bytesRead = 0;
  if (!opened_.load() || request == nullptr) return kStatusNoReply;

  PacketBytes out{};
  std::memcpy(out.data(), request, std::min(length, kPacketSize));
  if (dump) debugHexDump("命令", out.data(), out.size());

  PacketBytes in{};
  size_t got = 0;
  StatusCode result;
  {
    // One lock over the write and its reply reads: no other request may reach the channel
    // between them, or the replies of two transactions could be taken for each other.
    std::lock_guard<std::mutex> lock(transactionLock_);
    PacketObserver observer;
    {
      std::lock_guard<std::mutex> observerLock(observerMutex_);
      observer = observer_;
    }
    const bool receiver = receiverMode_.load();
    HidChannel& channel = receiver ? receiverChannel_ : cableChannel_;
    const int timeout = receiver ? timeouts.receiver : timeouts.cable;

    if (observer) observer(true, out.data(), out.size());
    size_t written = 0;
    if (channel.Write(out.data(), out.size(), written, timeout) != 1) {
      result = kStatusWriteFailed;
    } else {
      result = channel.Read(in.data(), in.size(), got, timeout) == 1 ? kStatusOk : kStatusNoReply;
      if (result == kStatusOk && observer) observer(false, in.data(), in.size());
      // A failed read ends the transaction at once: waiting a second time would double the
      // time-out for a device that does not answer.
      if (result == kStatusOk && in[kPacketCommand] != out[kPacketCommand]) {
        if (receiver && in[kPacketCommand] == kReplyUnreachable) {
          result = kStatusUnreachable;
        } else {
          // A stale or foreign reply: take the next one as it comes.
          in.fill(0);
          result =
              channel.Read(in.data(), in.size(), got, timeout) == 1 ? kStatusOk : kStatusNoReply;
          if (result == kStatusOk && observer) observer(false, in.data(), in.size());
        }
      }
    }
  }
  if (reply != nullptr && result != kStatusWriteFailed) {
    const size_t copy = std::min({replyLength, in.size(), got});
    std::memcpy(reply, in.data(), copy);
    bytesRead = copy;
  }
  if (dump && result != kStatusWriteFailed) debugHexDump("返回", in.data(), in.size());
  return result;
}

StatusCode DeviceTransport::ExchangeUnder(ChunkLock lock, const PacketBytes& packet,
                                          PacketBytes& reply, bool fast) {
  size_t got = 0;
  const auto run = [&] {
    return fast ? TransactFast(packet.data(), packet.size(), reply.data(), reply.size(), got)
                : Transact(packet.data(), packet.size(), reply.data(), reply.size(), got);
  };
  switch (lock) {
    case ChunkLock::Command: {
      std::lock_guard<std::mutex> guard(commandLock_);
      return run();
    }
    case ChunkLock::Light: {
      std::lock_guard<std::mutex> guard(lightLock_);
      return run();
    }
    case ChunkLock::None:
      break;
  }
  return run();
}

StatusCode DeviceTransport::SinglePacket(uint8_t command, uint8_t length, uint16_t offset,
                                         std::span<uint8_t> readInto) {
  PacketBytes packet = MakePacket(command, length, offset);
  SealPacket(packet.data());
  PacketBytes reply{};
  const StatusCode result = ExchangeUnder(ChunkLock::Command, packet, reply, false);
  if (result != kStatusOk) return result;
  const StatusCode status = StatusOfReply(reply);
  if (status != kStatusOk) return status;
  const size_t copy = std::min(readInto.size(), kPacketPayloadSize);
  // Commands without data read into an empty span, whose data() may be null.
  if (copy > 0) std::memcpy(readInto.data(), reply.data() + kPacketPayloadOffset, copy);
  return kStatusOk;
}

StatusCode DeviceTransport::ChunkedRead(uint8_t command, uint32_t start,
                                        std::span<uint8_t> destination, size_t total) {
  if (start + total > kAddressSpace) return kStatusWriteFailed;
  const uint8_t chunkSize = chunkSize_.load();
  for (size_t r = 0; r < total;) {
    const size_t n = std::min<size_t>(chunkSize, total - r);
    PacketBytes packet =
        MakePacket(command, static_cast<uint8_t>(n), static_cast<uint16_t>(start + r));
    SealPacket(packet.data());
    PacketBytes reply{};
    StatusCode result = ExchangeUnder(ChunkLock::Command, packet, reply, false);
    if (result == kStatusOk) result = StatusOfReply(reply);
    if (result != kStatusOk) return result;
    if (r < destination.size()) {
      const size_t copy = std::min(n, destination.size() - r);
      std::memcpy(destination.data() + r, reply.data() + kPacketPayloadOffset, copy);
    }
    r += n;
  }
  return kStatusOk;
}

StatusCode DeviceTransport::ChunkedWrite(uint8_t command, uint32_t start,
                                         std::span<const uint8_t> source, size_t total,
                                         ChunkLock lock, uint8_t chunkSize, bool fast,
                                         bool dropWhileBusy) {
  if (start + total > kAddressSpace) return kStatusWriteFailed;
  for (size_t r = 0; r < total;) {
    const size_t n = std::min<size_t>(chunkSize, total - r);
    if (dropWhileBusy && Busy()) {
      // A live frame never queues behind other traffic; the next frame replaces this one.
      debugOut("放弃灯光数据\n");
      droppedChunks_.fetch_add(1);
      r += n;
      continue;
    }
    PacketBytes packet =
        MakePacket(command, static_cast<uint8_t>(n), static_cast<uint16_t>(start + r));
    if (r < source.size()) {
      std::memcpy(packet.data() + kPacketPayloadOffset, source.data() + r,
                  std::min(n, source.size() - r));
    }
    SealPacket(packet.data());
    PacketBytes reply{};
    StatusCode result = ExchangeUnder(lock, packet, reply, fast);
    if (result == kStatusOk) result = StatusOfReply(reply);
    if (result != kStatusOk) return result;
    r += n;
  }
  return kStatusOk;
}

StatusCode DeviceTransport::WriteTable(uint8_t command, int page, std::span<const uint8_t> table) {
  if (page != 0) return kStatusBadTablePage;
  return ChunkedWrite(command, 0, table, tableSize_.load(), ChunkLock::Command, chunkSize_.load(),
                      false, false);
}

StatusCode DeviceTransport::CmdBeginSession() {
  return SinglePacket(kCmdBeginSession, 0, 0, {});
}

StatusCode DeviceTransport::CmdEndSession() {
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return SinglePacket(kCmdEndSession, 0, 0, {});
}

StatusCode DeviceTransport::CmdReadDeviceInfo(std::span<uint8_t> info) {
  return ChunkedRead(kCmdReadDeviceInfo, 0, info, kDeviceInfoSize);
}

StatusCode DeviceTransport::CmdReadSettings(uint16_t offset, std::span<uint8_t> data) {
  return ChunkedRead(kCmdReadSettings, offset, data, data.size());
}

StatusCode DeviceTransport::CmdWriteSettings(uint16_t offset, std::span<const uint8_t> data) {
  return ChunkedWrite(kCmdWriteSettings, offset, data, data.size(), ChunkLock::Command,
                      chunkSize_.load(), false, false);
}

StatusCode DeviceTransport::CmdReadKeyTable(std::span<uint8_t> table) {
  return ChunkedRead(kCmdReadKeyTable, 0, table, tableSize_.load());
}

StatusCode DeviceTransport::CmdWriteKeyTable(int page, std::span<const uint8_t> table) {
  return WriteTable(kCmdWriteKeyTable, page, table);
}

StatusCode DeviceTransport::CmdWriteKeyTableB(int page, std::span<const uint8_t> table) {
  return WriteTable(kCmdWriteKeyTableB, page, table);
}

StatusCode DeviceTransport::CmdWriteKeyTableC(int page, std::span<const uint8_t> table) {
  return WriteTable(kCmdWriteKeyTableC, page, table);
}

StatusCode DeviceTransport::CmdReadColourTable(int index, std::span<uint8_t> data) {
  if (index < 0) return kStatusWriteFailed;
  return ChunkedRead(kCmdReadColourTable, static_cast<uint32_t>(index) * kTablePageSize, data,
                     data.size());
}

StatusCode DeviceTransport::CmdWriteColourTable(int index, std::span<const uint8_t> data) {
  if (index < 0) return kStatusWriteFailed;
  return ChunkedWrite(kCmdWriteColourTable, static_cast<uint32_t>(index) * kTablePageSize, data,
                      data.size(), ChunkLock::Light, chunkSize_.load(), false, false);
}

StatusCode DeviceTransport::CmdStreamLightFrame(std::span<const uint8_t> frame) {
  return ChunkedWrite(kCmdStreamLightFrame, 0, frame, frame.size(), ChunkLock::Light,
                      chunkSize_.load(), true, true);
}

StatusCode DeviceTransport::CmdWriteMacroMemory(std::span<const uint8_t> image) {
  return ChunkedWrite(kCmdWriteMacroMemory, 0, image, image.size(), ChunkLock::Command,
                      chunkSize_.load(), false, false);
}

StatusCode DeviceTransport::CmdWriteRecoilMemory(std::span<const uint8_t> image) {
  return ChunkedWrite(kCmdWriteRecoilMemory, 0, image, image.size(), ChunkLock::None,
                      kCableChunkSize, false, false);
}

StatusCode DeviceTransport::CmdReadStatus(std::span<uint8_t> status) {
  return SinglePacket(kCmdReadStatus, static_cast<uint8_t>(kStatusBlockSize), 0,
                      status.first(std::min(status.size(), kStatusBlockSize)));
}

StatusCode DeviceTransport::CmdReadKeyBytes(std::span<uint8_t> bytes) {
  return ChunkedRead(kCmdReadKeyBytes, 0, bytes, tableSize_.load() / 3);
}

StatusCode DeviceTransport::CmdLightControlOn() {
  return SinglePacket(kCmdLightControlOn, 0, 0, {});
}

bool DeviceTransport::CmdQueryOnline() {
  bool online = false;
  QueryOnline(online);
  return online;
}

StatusCode DeviceTransport::QueryOnline(bool& online) {
  online = false;
  if (!receiverMode_.load()) {
    online = true;
    return kStatusOk;
  }
  PacketBytes packet = MakePacket(kCmdQueryOnline, 0, 0);
  SealPacket(packet.data());
  PacketBytes reply{};
  StatusCode result = ExchangeUnder(ChunkLock::Command, packet, reply, false);
  if (result == kStatusOk) result = StatusOfReply(reply);
  online = result == kStatusOk && reply[kPacketPayloadOffset] == 0xFF;
  return result;
}

}  // namespace varkon
