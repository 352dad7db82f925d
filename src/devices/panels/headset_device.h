// The headset's device object and panel. Its lights follow the preview: every frame of the
// light engine goes to the headset as a burst of 12 output reports at the paint cadence, from
// the light thread, whether or not the window is shown (the lights are on the user's head).
#pragma once

#include <atomic>
#include <cstdint>

#include "devices/panels/pad_light_device.h"

namespace varkon {

inline constexpr const char* kTarnwiseHS6533DeviceTag = "TarnwiseHS6533Device";

class CTarnwiseHS6533Device : public CPadLightDevice {
  Q_OBJECT

 public:
  // The preview's paint cadence: one burst per 50 ms.
  static constexpr uint32_t kBurstPeriodMs = 50;

  explicit CTarnwiseHS6533Device(QWidget* parent = nullptr);
  ~CTarnwiseHS6533Device() override;

  // The headset needs every frame, seen or not.
  bool StreamsLightFrames() const override { return true; }
  // Bursts sent since the start.
  uint32_t Bursts() const { return bursts_.load(); }
  // Reports the headset did not take (it was going, or gone).
  uint32_t FailedReports() const { return failedReports_.load(); }

 protected:
  void LightPass(uint32_t nowMs) override;

 private:
  void SendBurst();

  // Light thread only.
  uint32_t nextBurstMs_ = 0;
  std::atomic<uint32_t> bursts_{0};
  std::atomic<uint32_t> failedReports_{0};
};

}  // namespace varkon
