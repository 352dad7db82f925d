// The per-device protocol object: frames requests as 64-byte packets, runs each request/reply
// transaction on the active channel (cable or 2.4 GHz receiver) with time-outs and reply
// matching, splits long transfers into chunks, and turns the answer into a StatusCode.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

#include "device/command_packet.h"
#include "device/hid_channel.h"
#include "device/status_code.h"

namespace varkon {

constexpr int kCableTimeoutMs = 1000;
constexpr int kReceiverTimeoutMs = 5000;
constexpr int kFastReceiverTimeoutMs = 500;
constexpr uint8_t kCableChunkSize = 56;
constexpr uint8_t kReceiverChunkSize = 24;
constexpr uint16_t kDefaultTableSize = 512;

// Device kinds that SetMode understands: 2 selects the receiver, anything else the cable.
constexpr int kTransportModeCable = 1;
constexpr int kTransportModeReceiver = 2;

class DeviceTransport {
 public:
  // Sees every packet exchanged: outgoing requests and incoming replies (64 bytes each).
  using PacketObserver = std::function<void(bool outgoing, const uint8_t* packet, size_t size)>;

  explicit DeviceTransport(HidBackend* backend = nullptr);
  DeviceTransport(const DeviceTransport&) = delete;
  DeviceTransport& operator=(const DeviceTransport&) = delete;

  void SetMode(int kind);
  bool SetTableSize(uint16_t size);
  uint16_t TableSize() const { return tableSize_.load(); }
  uint8_t ChunkSize() const { return chunkSize_.load(); }
  bool ReceiverMode() const { return receiverMode_.load(); }
  bool IsOpened() const { return opened_.load(); }
  void SetOpened(bool opened) { opened_.store(opened); }
  // True while any transaction is in flight; light frames are dropped meanwhile.
  bool Busy() const { return inFlight_.load() > 0; }

  HidChannel& CableChannel() { return cableChannel_; }
  HidChannel& ReceiverChannel() { return receiverChannel_; }
  HidChannel& ActiveChannel() { return ReceiverMode() ? receiverChannel_ : cableChannel_; }

  // Held by the owner while it opens or switches a channel, so no transaction runs meanwhile.
  std::mutex& TransactionLock() { return transactionLock_; }
  // Guards the receiver input channel when this object holds a device's two input channels.
  std::mutex& InputLock() { return inputLock_; }

  void SetPacketObserver(PacketObserver observer);

  // One request/reply exchange. `request` is zero-padded to 64 bytes; the reply goes to `reply`
  // (at most replyLength bytes).
  StatusCode Transact(const uint8_t* request, size_t length, uint8_t* reply, size_t replyLength,
                      size_t& bytesRead);
  // The same with a shorter receiver time-out and no diagnostic dump (live light frames).
  StatusCode TransactFast(const uint8_t* request, size_t length, uint8_t* reply, size_t replyLength,
                          size_t& bytesRead);

  // Commands. Reads copy at most the destination's size; writes send the stated length, with
  // bytes beyond the data given sent as zero.
  StatusCode CmdBeginSession();
  StatusCode CmdEndSession();
  StatusCode CmdReadDeviceInfo(std::span<uint8_t> info);  // 34 bytes
  StatusCode CmdReadSettings(uint16_t offset, std::span<uint8_t> data);
  StatusCode CmdWriteSettings(uint16_t offset, std::span<const uint8_t> data);
  StatusCode CmdReadKeyTable(std::span<uint8_t> table);  // TableSize() bytes
  StatusCode CmdWriteKeyTable(int page, std::span<const uint8_t> table);
  StatusCode CmdWriteKeyTableB(int page, std::span<const uint8_t> table);
  StatusCode CmdWriteKeyTableC(int page, std::span<const uint8_t> table);
  StatusCode CmdReadColourTable(int index, std::span<uint8_t> data);
  StatusCode CmdWriteColourTable(int index, std::span<const uint8_t> data);
  StatusCode CmdStreamLightFrame(std::span<const uint8_t> frame);
  StatusCode CmdWriteMacroMemory(std::span<const uint8_t> image);
  StatusCode CmdWriteRecoilMemory(std::span<const uint8_t> image);
  StatusCode CmdReadStatus(std::span<uint8_t> status);   // 6 bytes
  StatusCode CmdReadKeyBytes(std::span<uint8_t> bytes);  // TableSize() / 3 bytes
  StatusCode CmdLightControlOn();
  // Receiver mode: asks whether the device behind the receiver answers. Cable: true, nothing sent.
  bool CmdQueryOnline();
  // The same, with the transaction's status: a receiver that does not answer at all is told
  // apart from one that answers "offline".
  StatusCode QueryOnline(bool& online);

  // Light-frame chunks dropped because another transaction was in flight.
  uint32_t DroppedFrameChunks() const { return droppedChunks_.load(); }

 private:
  enum class ChunkLock { Command, Light, None };
  struct Timeouts {
    int cable;
    int receiver;
  };

  StatusCode Exchange(const uint8_t* request, size_t length, uint8_t* reply, size_t replyLength,
                      size_t& bytesRead, Timeouts timeouts, bool dump);
  StatusCode SinglePacket(uint8_t command, uint8_t length, uint16_t offset,
                          std::span<uint8_t> readInto);
  StatusCode ChunkedRead(uint8_t command, uint32_t start, std::span<uint8_t> destination,
                         size_t total);
  StatusCode ChunkedWrite(uint8_t command, uint32_t start, std::span<const uint8_t> source,
                          size_t total, ChunkLock lock, uint8_t chunkSize, bool fast,
                          bool dropWhileBusy);
  StatusCode WriteTable(uint8_t command, int page, std::span<const uint8_t> table);
  StatusCode ExchangeUnder(ChunkLock lock, const PacketBytes& packet, PacketBytes& reply,
                           bool fast);

  HidChannel cableChannel_;
  HidChannel receiverChannel_;
  std::mutex transactionLock_;
  std::mutex inputLock_;
  std::mutex commandLock_;
  std::mutex lightLock_;
  std::atomic<uint16_t> tableSize_{kDefaultTableSize};
  std::atomic<int> inFlight_{0};
  std::atomic<bool> opened_{false};
  std::atomic<bool> receiverMode_{false};
  std::atomic<uint8_t> chunkSize_{kReceiverChunkSize};
  std::atomic<uint32_t> droppedChunks_{0};
  std::mutex observerMutex_;
  PacketObserver observer_;
};

}  // namespace varkon
