// The mouse's DPI scale: its sensor, step, slider range and minimum, from its device
// information, and the conversion between a stage's slider step and the DPI it stands for.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace varkon {

// Sensors whose steps above 48 are 200 DPI apart, whatever their step.
inline constexpr uint16_t kWideStepSensor = 0x3325;
inline constexpr int kWideStepStart = 48;
inline constexpr int kWideStepDpi = 200;
inline constexpr int kWideStepTypedFrom = 5000;

struct MouseDpiScale {
  uint16_t sensor = 0;
  uint8_t step = 0;        // DPI per slider step
  uint16_t sliderMax = 0;  // the slider's last step
  uint16_t minimum = 0;    // DPI of step 0
};

// Bytes 9-10 (sensor), 11 (step), 12-13 (slider maximum) and 14-15 (minimum) of the device
// information, little-endian; a shorter block leaves the missing values 0.
MouseDpiScale DpiScaleFromInfo(std::span<const uint8_t> info);

// The DPI a slider step shows.
int DpiOfStep(const MouseDpiScale& scale, int step);

// The slider step of a typed DPI: blank or non-numeric text counts as 0 and a value below the
// minimum as the minimum; the step is kept within the slider (0 … slider maximum, when the mouse
// gave one). A mouse that reports step 0 gets step 0 for every value.
int StepOfDpi(const MouseDpiScale& scale, int dpi);
int StepOfTypedDpi(const MouseDpiScale& scale, const std::string& text);

}  // namespace varkon
