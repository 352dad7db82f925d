#include "devices/logic/mouse_dpi.h"

#include <algorithm>

#include "profile/macro_step.h"

namespace varkon {

namespace {

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
  if (at + 1 >= bytes.size()) return 0;
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool WideSteps(const MouseDpiScale& scale) {
  return scale.sensor == kWideStepSensor;
}

}  // namespace

MouseDpiScale DpiScaleFromInfo(std::span<const uint8_t> info) {
  MouseDpiScale scale;
  scale.sensor = Word(info, 9);
  scale.step = info.size() > 11 ? info[11] : 0;
  scale.sliderMax = Word(info, 12);
  scale.minimum = Word(info, 14);
  return scale;
}

int DpiOfStep(const MouseDpiScale& scale, int step) {
  if (WideSteps(scale) && step > kWideStepStart) {
    return scale.minimum + kWideStepStart * scale.step + (step - kWideStepStart) * kWideStepDpi;
  }
  return scale.minimum + step * scale.step;
}

int StepOfDpi(const MouseDpiScale& scale, int dpi) {
  const int64_t value = std::max<int64_t>(dpi, scale.minimum);
  int64_t step = 0;
  if (WideSteps(scale) && value > kWideStepTypedFrom) {
    step = (value - scale.minimum - kWideStepTypedFrom) / kWideStepDpi + kWideStepStart;
  } else if (scale.step != 0) {
    // A step of 0 in the device information would divide by zero.
    step = (value - scale.minimum) / scale.step;
  }
  step = std::max<int64_t>(step, 0);
  if (scale.sliderMax > 0) step = std::min<int64_t>(step, scale.sliderMax);
  return static_cast<int>(step);
}

int StepOfTypedDpi(const MouseDpiScale& scale, const std::string& text) {
  return StepOfDpi(scale, LeadingDecimal(text));
}

}  // namespace varkon
