#include "devices/logic/pad_record.h"

#include <algorithm>

namespace varkon {

namespace {

uint8_t ReversedSpeed(uint8_t speed) {
  return static_cast<uint8_t>(speed > 4 ? 0 : 4 - speed);
}

}  // namespace

void PutLightState(PadRecord& record, const LightState& light) {
  using namespace pad_record;
  record[kMode] = light.mode;
  record[kBrightness] = light.brightness;
  record[kSpeed] = light.speed;
  record[kMulticolour] = light.multicolour;
  record[kRed] = light.red;
  record[kGreen] = light.green;
  record[kBlue] = light.blue;
}

PadRecord EncodePadRecord(const PadRecord& record, std::span<const int> modeValues) {
  PadRecord wire = record;
  const uint8_t mode = record[pad_record::kMode];
  if (mode < modeValues.size()) wire[pad_record::kMode] = static_cast<uint8_t>(modeValues[mode]);
  wire[pad_record::kSpeed] = ReversedSpeed(record[pad_record::kSpeed]);
  return wire;
}

PadRecord DecodePadRecord(std::span<const uint8_t> wire, std::span<const int> modeValues) {
  PadRecord record{};
  std::copy_n(wire.begin(), std::min(wire.size(), record.size()), record.begin());
  const auto match = std::find(modeValues.begin(), modeValues.end(), record[pad_record::kMode]);
  if (match != modeValues.end()) {
    record[pad_record::kMode] = static_cast<uint8_t>(match - modeValues.begin());
  }
  record[pad_record::kSpeed] = ReversedSpeed(record[pad_record::kSpeed]);
  return record;
}

LightState LightStateOfRecord(const PadRecord& record, const LightState& current) {
  using namespace pad_record;
  LightState light = current;
  light.mode = record[kMode];
  light.brightness = std::min<uint8_t>(record[kBrightness], 4);
  light.speed = record[kSpeed];
  light.multicolour = record[kMulticolour] != 0 ? 1 : 0;
  light.red = record[kRed];
  light.green = record[kGreen];
  light.blue = record[kBlue];
  return light;
}

}  // namespace varkon
