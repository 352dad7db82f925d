#include "devices/logic/mouse_hardware.h"

#include "core/debug_out.h"
#include "device/device_transport.h"
#include "devices/logic/mouse_key_maps.h"
#include "profile/macro_library_image.h"

namespace varkon {

namespace {

constexpr size_t kButtonCountByte = 5;
constexpr size_t kMacroUnitsByte = 6;

}  // namespace

bool MouseHardware::Reachable(bool* asleep) const {
  if (asleep) *asleep = false;
  if (transport_ == nullptr || !transport_->IsOpened()) return false;
  if (transport_->ReceiverMode() && !transport_->CmdQueryOnline()) {
    if (asleep) *asleep = true;
    return false;
  }
  return true;
}

MouseReadResult MouseHardware::Read() {
  MouseReadResult result;
  result.opened = transport_ != nullptr && transport_->IsOpened();
  if (!Reachable(&result.asleep)) {
    result.status = result.asleep ? kStatusUnreachable : kStatusNoReply;
    return result;
  }
  result.status = transport_->CmdBeginSession();
  const StatusCode info = transport_->CmdReadDeviceInfo(result.info);
  result.status = FirstFailure(result.status, info);
  if (info == kStatusOk) {
    result.scale = DpiScaleFromInfo(result.info);
    result.buttonCount = result.info[kButtonCountByte];
    const size_t tableBytes = static_cast<size_t>(result.buttonCount) * 3;
    if (result.buttonCount >= kNoMousePosition ||
        !transport_->SetTableSize(static_cast<uint16_t>(tableBytes))) {
      debugOut("mouse: %d buttons reported, the layout is not read\n", result.buttonCount);
      result.status = FirstFailure(result.status, kStatusDeviceFF);
    } else {
      result.layout.assign(tableBytes, 0);
      const StatusCode layout = transport_->CmdReadKeyTable(result.layout);
      result.layoutRead = layout == kStatusOk;
      result.status = FirstFailure(result.status, layout);
    }
  }
  result.status = FirstFailure(result.status, transport_->CmdEndSession());

  StatusCode status = kStatusOk;
  result.recordRead = ReadRecord(result.record, result.activeProfile, status);
  result.status = FirstFailure(result.status, status);
  return result;
}

StatusCode MouseHardware::Prepare(std::array<uint8_t, kDeviceInfoSize>* info) const {
  bool asleep = false;
  if (!Reachable(&asleep)) return asleep ? kStatusUnreachable : kStatusNoReply;
  return info ? transport_->CmdReadDeviceInfo(*info) : kStatusOk;
}

StatusCode MouseHardware::InSession(const std::function<StatusCode()>& transfer) {
  transport_->CmdBeginSession();
  const StatusCode status = transfer();
  transport_->CmdEndSession();
  return status;
}

bool MouseHardware::ReadRecord(std::array<uint8_t, kMouseRecordSize>& record, int& activeProfile,
                               StatusCode& status) {
  status = Prepare(nullptr);
  if (status != kStatusOk) return false;
  uint8_t active = 0;
  status = transport_->CmdReadSettings(0, std::span<uint8_t>(&active, 1));
  if (status != kStatusOk) return false;
  status = transport_->CmdReadSettings(static_cast<uint16_t>(active * kMouseRecordStride), record);
  if (status != kStatusOk) return false;
  activeProfile = active;
  return true;
}

int MouseHardware::WriteMacros(const std::string& folder, const std::vector<int>& macroNumbers) {
  std::array<uint8_t, kDeviceInfoSize> info{};
  if (Prepare(&info) != kStatusOk) return -1;
  std::vector<uint8_t> image;
  const int built = BuildLibraryMacroImage(folder, macroNumbers, info[kMacroUnitsByte], image);
  if (built != 0) return built;
  if (image.empty()) return 0;
  const StatusCode status = InSession([&] { return transport_->CmdWriteMacroMemory(image); });
  return status == kStatusOk ? 0 : -1;
}

StatusCode MouseHardware::WriteRecoil(const std::vector<uint8_t>& image) {
  std::array<uint8_t, kDeviceInfoSize> info{};
  const StatusCode ready = Prepare(&info);
  if (ready != kStatusOk) return ready;
  return InSession([&] { return transport_->CmdWriteRecoilMemory(image); });
}

StatusCode MouseHardware::WriteKeyTable(const std::vector<uint8_t>& table) {
  std::array<uint8_t, kDeviceInfoSize> info{};
  const StatusCode ready = Prepare(&info);
  if (ready != kStatusOk) return ready;
  return InSession([&] { return transport_->CmdWriteKeyTable(0, table); });
}

StatusCode MouseHardware::WriteRecord(const MouseRecord& record) {
  const StatusCode ready = Prepare(nullptr);
  if (ready != kStatusOk) return ready;
  return InSession([&] { return transport_->CmdWriteSettings(0, record); });
}

}  // namespace varkon
