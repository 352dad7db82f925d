// A transport opened on an emulated device, for the protocol tests.
#pragma once

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "device/device_transport.h"
#include "emulator/emulated_rig.h"

namespace varkon::test {

inline std::string ConfigPath(EmulatedKind kind) {
  switch (kind) {
    case EmulatedKind::Keyboard:
      return "emu:keyboard#vid_320f&pid_5055&mi_01&col04";
    case EmulatedKind::Mouse:
      return "emu:mouse#vid_320f&pid_50ef&mi_01&col04";
    case EmulatedKind::Receiver:
      return "emu:receiver#vid_320f&pid_221d&mi_01&col04";
    case EmulatedKind::Pad:
      return "emu:pad#vid_320f&pid_1004&mi_01&col04";
    case EmulatedKind::Headset:
      return "emu:headset#vid_0c76&pid_1630&mi_03";
  }
  return {};
}

// Opens `transport` on the configuration interface of `kind` the way the device manager does:
// receiver identities on the receiver channel with mode 2, keyboard and mouse cables with mode 1,
// mouse pad and headset without a mode.
inline bool OpenOn(DeviceTransport& transport, EmulatedKind kind) {
  const bool receiver = kind == EmulatedKind::Receiver;
  HidChannel& channel = receiver ? transport.ReceiverChannel() : transport.CableChannel();
  if (!channel.Open(ConfigPath(kind), true, true, true, false)) return false;
  transport.SetOpened(true);
  if (receiver) transport.SetMode(kTransportModeReceiver);
  if (kind == EmulatedKind::Keyboard || kind == EmulatedKind::Mouse) {
    transport.SetMode(kTransportModeCable);
  }
  return true;
}

class Stopwatch {
 public:
  std::chrono::milliseconds Elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_);
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace varkon::test
