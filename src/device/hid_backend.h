// The operating-system side of HID access: listing interface paths and opening one of them.
// Implemented over Linux hidraw and over the emulated bus; HidChannel sits on top of either.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device/hid_types.h"

namespace varkon {

struct HidCollectionInfo;

enum class HidIoResult { Ok, TimedOut, Cancelled, Failed };

constexpr int kHidWaitForever = -1;

// One opened interface: a single top-level collection of a device's HID interface.
// Read and Write may run on two threads at once; Cancel may come from a third.
class HidDevice {
 public:
  virtual ~HidDevice() = default;

  virtual const HidAttributes& Attributes() const = 0;
  virtual const HidCollectionInfo& Collection() const = 0;

  // Waits for one input report that belongs to this collection and copies at most `length`
  // bytes of it, report id first (0 when the collection uses no ids). `timeoutMs` may be
  // kHidWaitForever.
  virtual HidIoResult Read(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs) = 0;
  // Sends one output report; buffer[0] is the report id (0 when none).
  virtual HidIoResult Write(const uint8_t* buffer, size_t length, size_t& bytesWritten,
                            int timeoutMs) = 0;
  // Sends one output report without waiting on the interrupt pipe's queue (the headset's light
  // frames). False when the device refused it.
  virtual bool SetOutputReport(const uint8_t* buffer, size_t length) = 0;

  // Ends every wait in Read and Write at once; later calls fail. Used when the channel closes.
  virtual void Cancel() = 0;
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // Lists the interface paths present now, one per top-level collection. False only when the
  // listing itself failed.
  virtual bool Enumerate(std::vector<std::string>& paths) = 0;

  // Opens the interface at `path`. Null when it is absent or cannot be opened with the asked
  // access. `exclusive` asks other openers to be kept to reading, where the platform can.
  virtual std::shared_ptr<HidDevice> Open(const std::string& path, bool read, bool write,
                                          bool exclusive) = 0;

  // Liveness: true while the interface at `path` is still present and still belongs to the same
  // physical device it belonged to when it was first listed or opened.
  virtual bool IsPresent(const std::string& path) = 0;
};

// Dispatches by path: paths that start with "emu:" go to the emulated backend, all others to
// the platform backend. Listing returns the platform's paths followed by the emulated ones.
class CompositeHidBackend final : public HidBackend {
 public:
  CompositeHidBackend(HidBackend* platform, HidBackend* emulated)
      : platform_(platform), emulated_(emulated) {}
  bool Enumerate(std::vector<std::string>& paths) override;
  std::shared_ptr<HidDevice> Open(const std::string& path, bool read, bool write,
                                  bool exclusive) override;
  bool IsPresent(const std::string& path) override;

 private:
  HidBackend* For(const std::string& path) const;
  HidBackend* platform_;
  HidBackend* emulated_;
};

// The backend a HidChannel uses when it is given none. Set once by the program at start-up;
// until then it is the platform backend.
HidBackend& DefaultHidBackend();
void SetDefaultHidBackend(HidBackend* backend);

}  // namespace varkon
