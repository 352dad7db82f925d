// Plain records shared by the firmware models: memory areas, injected faults and the outcome of
// one request.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "device/command_packet.h"

namespace varkon {

enum class MemoryArea {
  DeviceInfo,
  Settings,
  KeyTableA,
  KeyTableB,
  KeyTableC,
  LedTable,
  ColourTables,
  MacroMemory,
  RecoilMemory,
  Status,
};

constexpr int kMemoryAreaCount = 10;

// Name of an area in saved memory files ("deviceInfo", "keyTableA", ...).
const char* MemoryAreaName(MemoryArea area);

enum class FaultKind { NoReply, WrongCommand, StatusFF, StatusFE, LateReply, UnplugMidTransfer };

// A misbehaviour the firmware shows on matching requests. NoReply, StatusFF, StatusFE and
// UnplugMidTransfer drop the request unexecuted; WrongCommand and LateReply execute it and
// alter only the reply.
struct Fault {
  FaultKind kind = FaultKind::NoReply;
  int command = -1;            // command byte it applies to; -1 every command
  int offset = -1;             // start offset of the chunk it applies to; -1 any chunk
  int times = 1;               // how many matching packets it fires on; -1 always
  uint8_t echoCommand = 0x00;  // WrongCommand: the command byte put in the reply instead
  int delayMs = 0;             // LateReply: the reply is delivered this long after the request
};

// A reply's share of its firmware's count of in-time replies not yet read by the handle that
// asked. The share is given back when the reply is read or thrown away (destroyed).
class ReplyClaim {
 public:
  ReplyClaim() = default;
  explicit ReplyClaim(std::shared_ptr<std::atomic<int>> counter);
  ReplyClaim(ReplyClaim&& other) noexcept;
  ReplyClaim& operator=(ReplyClaim&& other) noexcept;
  ReplyClaim(const ReplyClaim&) = delete;
  ReplyClaim& operator=(const ReplyClaim&) = delete;
  ~ReplyClaim() { Release(); }

  bool Held() const { return counter_ != nullptr; }
  void Release();

 private:
  std::shared_ptr<std::atomic<int>> counter_;
};

// What the firmware does with one request.
struct FirmwareResult {
  bool hasReply = false;
  PacketBytes reply{};
  int delayMs = 0;      // the reply becomes visible this long after the request
  bool unplug = false;  // the device drops off the bus instead of replying
  ReplyClaim claim;     // held by in-time replies only
};

}  // namespace varkon
