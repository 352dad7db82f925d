#include "emulator/emulated_rig.h"

#include <vector>

#include <json/writer.h>

#include "core/json_file.h"
#include "emulator/emulated_identities.h"
#include "emulator/firmware_images.h"
#include "emulator/memory_file.h"

namespace varkon {

EmulatedRig::EmulatedRig()
    : keyboard_(std::make_shared<VendorFirmware>(KeyboardImage())),
      mouse_(std::make_shared<VendorFirmware>(MouseImage())),
      pad_(std::make_shared<VendorFirmware>(PadImage())),
      headset_(std::make_shared<VendorFirmware>(HeadsetImage())),
      receiver_(std::make_shared<ReceiverFirmware>(mouse_)) {}

EmulatedRig::~EmulatedRig() {
  for (EmulatedKind kind : AllEmulatedKinds()) Unplug(kind);
}

void EmulatedRig::SetCableLatency(int milliseconds) {
  cableLatencyMs_.store(milliseconds < 0 ? 0 : milliseconds);
}

void EmulatedRig::Plug(EmulatedKind kind) {
  EmulatedDeviceLayout layout = EmulatedLayout(kind, FirmwarePtr(kind));
  layout.replyLatencyMs = ReplyLatencyMs(kind, cableLatencyMs_.load());
  bus_.Plug(layout);
}

void EmulatedRig::Unplug(EmulatedKind kind) {
  bus_.Unplug(EmulatedKindName(kind));
}

bool EmulatedRig::IsPlugged(EmulatedKind kind) const {
  return bus_.IsPlugged(EmulatedKindName(kind));
}

void EmulatedRig::SetReverseCollections(EmulatedKind kind, bool reverse) {
  bus_.SetReverseCollections(EmulatedKindName(kind), reverse);
}

VendorFirmware& EmulatedRig::Firmware(EmulatedKind kind) {
  return *FirmwarePtr(kind);
}

void EmulatedRig::SetMouseReachable(bool reachable) {
  receiver_->SetReachable(reachable);
}

void EmulatedRig::SendNotice(EmulatedKind kind, uint16_t value) {
  if (kind == EmulatedKind::Headset) return;
  const uint8_t report[3] = {0x03, static_cast<uint8_t>(value & 0xFF),
                             static_cast<uint8_t>(value >> 8)};
  bus_.SendInputReport(EmulatedKindName(kind), VendorInterfaceNumber(kind), kNoticeCollection,
                       report, sizeof(report));
}

std::string EmulatedRig::ConfigPath(EmulatedKind kind) {
  return EmulatedVendorPath(kind, kind == EmulatedKind::Headset ? 0 : kConfigCollection);
}

std::string EmulatedRig::NoticePath(EmulatedKind kind) {
  return kind == EmulatedKind::Headset ? std::string()
                                       : EmulatedVendorPath(kind, kNoticeCollection);
}

std::string EmulatedRig::MemoryJson(EmulatedKind kind) const {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, FirmwareMemoryView(*FirmwarePtr(kind)));
}

bool EmulatedRig::SaveMemory(const std::string& path) const {
  const std::vector<const VendorFirmware*> firmwares = {keyboard_.get(), mouse_.get(), pad_.get(),
                                                        headset_.get()};
  return WriteJsonFileChecked(path, MemoryDocument(firmwares));
}

bool EmulatedRig::LoadMemory(const std::string& path) {
  const std::vector<VendorFirmware*> firmwares = {keyboard_.get(), mouse_.get(), pad_.get(),
                                                  headset_.get()};
  return ApplyMemoryDocument(ReadJsonFile(path), firmwares);
}

std::shared_ptr<VendorFirmware> EmulatedRig::FirmwarePtr(EmulatedKind kind) const {
  switch (kind) {
    case EmulatedKind::Keyboard:
      return keyboard_;
    case EmulatedKind::Mouse:
      return mouse_;
    case EmulatedKind::Receiver:
      return receiver_;
    case EmulatedKind::Pad:
      return pad_;
    case EmulatedKind::Headset:
      return headset_;
  }
  return keyboard_;
}

}  // namespace varkon
