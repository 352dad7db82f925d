#include "devices/logic/mouse_record.h"

#include <algorithm>

#include "profile/name_files.h"

namespace varkon {

namespace mr = mouse_record;

namespace {

constexpr uint8_t kMaxLevel = 4;

void PutWord(MouseRecord& record, size_t at, uint16_t value) {
  record[at] = static_cast<uint8_t>(value);
  record[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

MouseRecord EncodeMouseRecord(const MouseRecordContent& content,
                              std::span<const int> effectValues) {
  MouseRecord record{};
  const LightState& light = content.light;
  record[mr::kProfile] = content.byte0;
  const uint8_t position = light.mode < kMouseRecordEffects ? light.mode : 0;
  record[mr::kEffect] =
      position < effectValues.size() ? static_cast<uint8_t>(effectValues[position]) : position;
  record[mr::kBrightness] = light.brightness;
  record[mr::kSpeed] = static_cast<uint8_t>(light.speed > kMaxLevel ? 0 : kMaxLevel - light.speed);
  record[mr::kDirection] = light.direction;
  record[mr::kMulticolour] = light.multicolour;
  record[mr::kRed] = light.red;
  record[mr::kGreen] = light.green;
  record[mr::kBlue] = light.blue;
  record[mr::kReportRate] = static_cast<uint8_t>(content.reportRate);
  record[mr::kSelectedStage] = static_cast<uint8_t>(content.selectedStage);
  const size_t stages = std::min(content.stages.size(), kMouseStageCount);
  for (size_t i = 0; i < stages; ++i) {
    const std::array<uint8_t, 9> bytes = content.stages[i].ToBytes();
    std::copy(bytes.begin(), bytes.end(), record.begin() + mr::kStages + 9 * i);
  }
  record[mr::kThird] = content.third;
  PutWord(record, mr::kScreenWidth, content.screenWidth);
  PutWord(record, mr::kScreenHeight, content.screenHeight);
  const auto selected =
      std::find_if(content.corrections.begin(), content.corrections.end(),
                   [](const CorrectionEntry& entry) { return entry.select != 0; });
  if (selected != content.corrections.end()) {
    record[mr::kCorrectMinSq] = selected->minSq;
    record[mr::kCorrectPixThresh] = selected->pixThresh;
  }
  return record;
}

DecodedMouseRecord DecodeMouseRecord(std::span<const uint8_t> record, const LightState& current,
                                     std::span<const int> effectValues) {
  DecodedMouseRecord decoded;
  decoded.light = current;
  if (record.size() < kMouseRecordSize) return decoded;
  LightState& light = decoded.light;
  const uint8_t code = record[mr::kEffect];
  const int position =
      ModePositionOfValue(std::vector<int>(effectValues.begin(), effectValues.end()), code);
  light.mode = position >= 0 ? static_cast<uint8_t>(position) : code;
  light.brightness = record[mr::kBrightness];
  const uint8_t speedByte = record[mr::kSpeed];
  light.speed = static_cast<uint8_t>(speedByte > kMaxLevel ? 0 : kMaxLevel - speedByte);
  light.multicolour = record[mr::kMulticolour];
  light.red = record[mr::kRed];
  light.green = record[mr::kGreen];
  light.blue = record[mr::kBlue];
  decoded.selectedStage = record[mr::kSelectedStage];
  return decoded;
}

}  // namespace varkon
