#include "devices/panels/headset_device.h"

#include "device/device_transport.h"
#include "devices/light_headset_frame.h"
#include "devices/light_pad_effects.h"
#include "profile/hs6533_profile_data.h"

namespace varkon {

CTarnwiseHS6533Device::CTarnwiseHS6533Device(QWidget* parent)
    : CPadLightDevice(kKindHeadset,
                      PadLightParts(kKindHeadset, LightDeviceClass::kHeadset, kHeadsetWave,
                                    std::make_unique<CHs6533Profiledata>()),
                      parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseHS6533Device::~CTarnwiseHS6533Device() {
  StopWorkers();
}

void CTarnwiseHS6533Device::LightPass(uint32_t nowMs) {
  CPadLightDevice::LightPass(nowMs);
  if (!LightControl() || static_cast<int32_t>(nowMs - nextBurstMs_) < 0) return;
  // Bursts keep to the 50 ms cadence on average over the light thread's coarser passes; after
  // a stall the next one is a whole period away rather than a run of catch-ups.
  nextBurstMs_ += kBurstPeriodMs;
  if (static_cast<int32_t>(nowMs - nextBurstMs_) >= 0) nextBurstMs_ = nowMs + kBurstPeriodMs;
  SendBurst();
}

void CTarnwiseHS6533Device::SendBurst() {
  DeviceTransport* transport = Transport();
  if (!transport) return;
  const HeadsetReports reports = BuildHeadsetReports(Engine().colours());
  // A report the headset does not take is dropped; the next burst carries a whole new frame.
  for (const HeadsetReport& report : reports) {
    if (!transport->CableChannel().SetOutputReport(report.data(), report.size())) {
      failedReports_.fetch_add(1);
    }
  }
  bursts_.fetch_add(1);
}

}  // namespace varkon
