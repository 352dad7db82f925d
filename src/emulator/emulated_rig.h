// A ready-made emulated setup: one bus, its backend, and one firmware per physical device. The
// mouse's cable identity and the receiver reach the same mouse firmware.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "emulator/emulated_backend.h"
#include "emulator/emulated_bus.h"
#include "emulator/emulated_kind.h"
#include "emulator/receiver_firmware.h"
#include "emulator/reply_latency.h"
#include "emulator/vendor_firmware.h"

namespace varkon {

class EmulatedRig {
 public:
  EmulatedRig();
  ~EmulatedRig();
  EmulatedRig(const EmulatedRig&) = delete;
  EmulatedRig& operator=(const EmulatedRig&) = delete;

  EmulatedBus& Bus() { return bus_; }
  HidBackend& Backend() { return backend_; }

  // Milliseconds a cable identity takes to answer a vendor packet; the receiver takes
  // kReceiverLatencyFactor times as long. 0 (the default) answers at once. Applies from the
  // next plug of an identity.
  void SetCableLatency(int milliseconds);
  int CableLatency() const { return cableLatencyMs_.load(); }

  void Plug(EmulatedKind kind);    // idempotent
  void Unplug(EmulatedKind kind);  // ends every wait on its open devices at once
  bool IsPlugged(EmulatedKind kind) const;
  // Lists the kind's collections in reverse order (col04 before col03 ...).
  void SetReverseCollections(EmulatedKind kind, bool reverse);

  // Receiver → the receiver model; mouse → the mouse model.
  VendorFirmware& Firmware(EmulatedKind kind);
  ReceiverFirmware& Receiver() { return *receiver_; }
  // The receiver's link: false = the mouse sleeps or is out of range.
  void SetMouseReachable(bool reachable);

  // An input report on the identity's col03: report id 3, the value little-endian. No effect
  // on the headset, which has no notice collection, or on an unplugged identity.
  void SendNotice(EmulatedKind kind, uint16_t value);

  // Path of the collection that speaks the vendor protocol, and of the notice collection.
  static std::string ConfigPath(EmulatedKind kind);
  static std::string NoticePath(EmulatedKind kind);

  // One identity's firmware memory as one line of JSON: {area: hex, ...} as the memory file
  // keeps it, plus "streamedFrames" (light frames completed) and "lastFrame" (hex of the last
  // one). The receiver shows the mouse's memory, which it reaches.
  std::string MemoryJson(EmulatedKind kind) const;

  // Every firmware memory as JSON (hex strings per area). False when writing failed.
  bool SaveMemory(const std::string& path) const;
  // False, and nothing changed, on a missing, corrupt or mis-sized file.
  bool LoadMemory(const std::string& path);

 private:
  std::shared_ptr<VendorFirmware> FirmwarePtr(EmulatedKind kind) const;

  std::atomic<int> cableLatencyMs_{0};
  EmulatedBus bus_;
  EmulatedBackend backend_{bus_};
  std::shared_ptr<VendorFirmware> keyboard_;
  std::shared_ptr<VendorFirmware> mouse_;
  std::shared_ptr<VendorFirmware> pad_;
  std::shared_ptr<VendorFirmware> headset_;
  std::shared_ptr<ReceiverFirmware> receiver_;
};

}  // namespace varkon
