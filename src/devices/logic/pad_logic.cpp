#include "devices/logic/pad_logic.h"

#include "core/debug_out.h"
#include "device/device_transport.h"

namespace varkon {

PadLogic::PadLogic(int kind, LightEngine& engine, std::unique_ptr<CBasicProfiledata> profile)
    : DeviceLogic(kind, engine, std::move(profile)) {}

PadLogic::~PadLogic() {
  StopJobs();
}

PadLogic::ReadResult PadLogic::ReadHardware(DeviceTransport* transport, bool withInfo) {
  ReadResult result;
  if (transport == nullptr || !transport->IsOpened()) {
    result.status = kStatusNoReply;
    return result;
  }
  if (withInfo) {
    const StatusCode begin = transport->CmdBeginSession();
    const StatusCode info = transport->CmdReadDeviceInfo(result.info);
    result.infoRead = info == kStatusOk;
    result.status = FirstFailure(FirstFailure(begin, info), transport->CmdEndSession());
  }
  std::array<uint8_t, 1> active{};
  StatusCode status = transport->CmdReadSettings(0, active);
  if (status == kStatusOk) {
    status = transport->CmdReadSettings(static_cast<uint16_t>(active[0] * kPadReadStride),
                                        result.record);
  }
  result.recordRead = status == kStatusOk;
  result.status = FirstFailure(result.status, status);
  return result;
}

void PadLogic::Read(std::function<void()> refresh) {
  Jobs().Post([this, post = Poster(), transport = Transport(),
               refresh = std::move(refresh)](const StopEvent&) {
    ReadResult result = ReadHardware(transport, true);
    post([this, result, refresh] {
      lastStatus_ = result.status;
      infoRead_ = infoRead_ || result.infoRead;
      if (result.infoRead) TakeFirmwareVersion(result.info.data(), result.info.size());
      LoadNameLists();
      // The device's own bytes come from what it holds; the lighting from the profile.
      if (result.recordRead) record_ = DecodePadRecord(result.record, NameLists().lightModeValues);
      LoadProfile();
      if (refresh) refresh();
      if (result.status != kStatusNoReply) WriteLightRecord(0);
    });
  });
}

void PadLogic::Resync(std::function<void(int)> done) {
  Jobs().Post(
      [this, post = Poster(), transport = Transport(), done = std::move(done)](const StopEvent&) {
        ReadResult result = ReadHardware(transport, false);
        post([this, result, done] {
          lastStatus_ = result.status;
          if (!result.recordRead) {
            debugOut("device kind %d: the settings were not read again (%s)\n", Kind(),
                     StatusCodeName(result.status));
            if (done) done(-1);
            return;
          }
          LoadNameLists();
          record_ = DecodePadRecord(result.record, NameLists().lightModeValues);
          SetLightParams(LightStateOfRecord(record_, GetLightState()));
          SaveProfile();
          ApplyProfile();
          if (done) done(record_[pad_record::kProfile]);
        });
      });
}

int PadLogic::ApplyProfile() {
  const int result = DeviceLogic::ApplyProfile();
  PutLightState(record_, GetLightState());
  return result;
}

void PadLogic::WriteLightRecord(int slot, std::function<void(StatusCode)> done) {
  // The record's lighting is always what the engine plays (a game flash included).
  PutLightState(record_, GetLightState());
  const PadRecord wire = EncodePadRecord(record_, NameLists().lightModeValues);
  const auto offset = static_cast<uint16_t>(slot * kPadRecordStride);
  Jobs().Post([this, post = Poster(), transport = Transport(), wire, offset,
               done = std::move(done)](const StopEvent&) {
    StatusCode status = kStatusNoReply;
    if (transport != nullptr && transport->IsOpened()) {
      const StatusCode begin = transport->CmdBeginSession();
      const StatusCode write = transport->CmdWriteSettings(offset, wire);
      status = FirstFailure(FirstFailure(begin, write), transport->CmdEndSession());
    }
    post([this, status, done] {
      lastStatus_ = status;
      if (done) done(status);
    });
  });
}

}  // namespace varkon
