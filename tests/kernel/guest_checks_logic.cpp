// The keyboard's device logic over hidraw: a full read of the keyboard, then a profile written
// to it, checked by reading the keyboard's memory back and by a second logic object's read.
#include <chrono>
#include <vector>

#include "core/call_queue.h"
#include "device/device_transport.h"
#include "devices/key_assignment.h"
#include "devices/logic/keyboard_logic.h"
#include "emulator/firmware_images.h"
#include "kernel/guest_checks.h"

namespace varkon::ktest {

namespace {

using namespace std::chrono_literals;

// Runs the owner's queue until the logic's worker is idle and nothing is left to run.
bool Settle(KeyboardLogic& logic, CallQueue& owner) {
  for (int i = 0; i < 600; ++i) {
    owner.RunPending();
    if (logic.Jobs().WaitIdle(100ms) && owner.RunPending() == 0 && logic.Jobs().Pending() == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string CheckKeyboardLogic(HidrawBackend& backend, const std::string& resources,
                               const std::string& userRoot) {
  const std::string path = ConfigPathOf(backend, 0x5055);
  DeviceTransport transport(&backend);
  if (path.empty() || !transport.CableChannel().Open(path, true, true, true, false)) {
    return "cannot open the keyboard";
  }
  transport.SetOpened(true);
  transport.SetMode(kTransportModeCable);

  CallQueue owner;
  KeyboardLightEngine engine;
  KeyboardLogic logic(engine);
  logic.SetPost([&owner](std::function<void()> call) { owner.Post(std::move(call)); });
  logic.SetTransport(&transport);
  if (!logic.SetFolders(userRoot, resources, "keyboard", 0)) return "cannot set the folders";
  logic.LoadNameLists();
  logic.Read();
  if (!Settle(logic, owner)) return "the read did not settle";
  if (!logic.Discovered()) return "the read did not discover the keyboard";
  if (logic.KeyCount() != static_cast<int>(KeyboardKeyCount())) {
    return "read " + std::to_string(logic.KeyCount()) + " keys, the keyboard has " +
           std::to_string(KeyboardKeyCount());
  }
  const std::vector<uint8_t> factory =
      KeyboardImage().areas[static_cast<size_t>(MemoryArea::Settings)];
  if (logic.GetLightState().mode != factory[1] || logic.GetLightState().red != factory[6]) {
    return "the light state read is not the keyboard's";
  }

  // A profile with other lighting and one remapped key goes to the keyboard.
  LightState state = logic.GetLightState();
  state.mode = 6;
  state.brightness = 2;
  state.red = 0x12;
  state.green = 0x34;
  state.blue = 0x56;
  logic.SetLightParams(state);
  std::vector<KeyAssignmentRecord> keys = logic.Keys();
  const int listIndex = 5;
  keys[listIndex].main.code = {kAssignKeyboard, 0, 0x29};
  logic.SetKeys(keys);
  logic.SaveProfile();
  int result = -100;
  logic.WriteProfileToDevice([&result](int r) { result = r; });
  if (!Settle(logic, owner)) return "the profile write did not settle";
  if (result != 0) return "writing the profile gave " + std::to_string(result);

  std::vector<uint8_t> record(32);
  if (transport.CmdReadSettings(0, record) != kStatusOk) return "reading the record back failed";
  if (record[1] != 6 || record[2] != 2 || record[6] != 0x12 || record[8] != 0x56) {
    return "the keyboard's record does not hold the profile's lighting";
  }
  if (!logic.Maps().Has(listIndex)) return "remapped key has no position";
  const size_t position = logic.Maps().keyPosition[listIndex];
  transport.SetTableSize(kKeyTableSize);
  std::vector<uint8_t> table(kKeyTableSize);
  if (transport.CmdReadKeyTable(table) != kStatusOk) return "reading key table A back failed";
  if (table[3 * position] != kAssignKeyboard || table[3 * position + 2] != 0x29) {
    return "key table A does not hold the remapped key";
  }

  // A second logic object reads the same from the keyboard.
  KeyboardLightEngine otherEngine;
  KeyboardLogic again(otherEngine);
  again.SetPost([&owner](std::function<void()> call) { owner.Post(std::move(call)); });
  again.SetTransport(&transport);
  if (!again.SetFolders(userRoot, resources, "keyboard", 0)) return "cannot set the folders";
  again.LoadNameLists();
  again.Read();
  if (!Settle(again, owner)) return "the second read did not settle";
  if (again.GetLightState().mode != 6 || again.GetLightState().green != 0x34) {
    return "a second read does not see the written lighting";
  }
  logic.StopJobs();
  again.StopJobs();
  return "";
}

}  // namespace varkon::ktest
