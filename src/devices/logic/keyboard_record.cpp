#include "devices/logic/keyboard_record.h"

#include "profile/name_files.h"

namespace varkon {

namespace kr = keyboard_record;

KeyboardRecord EncodeKeyboardRecord(const KeyboardRecord& lastRead, const LightState& light,
                                    const KeyboardSystemWords& system,
                                    std::span<const int> effectValues, uint8_t recordByte0) {
  KeyboardRecord record = lastRead;
  record[kr::kProfile] = recordByte0;
  if (light.mode == kFirstStreamedEffect || light.mode == kSecondStreamedEffect) {
    record[kr::kEffect] = kStreamedEffectCode;
  } else if (light.mode < effectValues.size()) {
    record[kr::kEffect] = static_cast<uint8_t>(effectValues[light.mode]);
  } else {
    record[kr::kEffect] = light.mode;
  }
  record[kr::kBrightness] = light.brightness;
  record[kr::kSpeed] =
      static_cast<uint8_t>(light.speed > kMaxLightLevel ? 0 : kMaxLightLevel - light.speed);
  record[kr::kDirection] = light.direction;
  record[kr::kMulticolour] = light.multicolour;
  record[kr::kRed] = light.red;
  record[kr::kGreen] = light.green;
  record[kr::kBlue] = light.blue;
  record[kr::kCleared] = 0;
  record[kr::kZzcc] = light.zzccLedMode;
  record[kr::kWFlag] = static_cast<uint8_t>(system.WFlag());
  record[kr::kKey6Flag] = static_cast<uint8_t>(system.Key6Flag());
  record[kr::kWinFlag] = static_cast<uint8_t>(system.WinFlag());
  record[kr::kPollingRate] = static_cast<uint8_t>(system.PollingRate());
  record[kr::kCustomGroup] = light.customGroup;
  return record;
}

DecodedKeyboardRecord DecodeKeyboardRecord(const KeyboardRecord& record, const LightState& current,
                                           std::span<const int> effectValues) {
  DecodedKeyboardRecord decoded;
  LightState& light = decoded.light;
  light = current;
  const uint8_t code = record[kr::kEffect];
  if (code == kStreamedEffectCode) {
    decoded.effectKept = true;
  } else {
    const int position =
        ModePositionOfValue(std::vector<int>(effectValues.begin(), effectValues.end()), code);
    light.mode = position >= 0 ? static_cast<uint8_t>(position) : code;
  }
  light.brightness = record[kr::kBrightness];
  const uint8_t speedByte = record[kr::kSpeed];
  light.speed = static_cast<uint8_t>(speedByte > kMaxLightLevel ? 0 : kMaxLightLevel - speedByte);
  light.direction = record[kr::kDirection];
  light.multicolour = record[kr::kMulticolour];
  light.red = record[kr::kRed];
  light.green = record[kr::kGreen];
  light.blue = record[kr::kBlue];
  light.zzccLedMode = record[kr::kZzcc];
  light.customGroup = record[kr::kCustomGroup];
  decoded.wFlag = record[kr::kWFlag];
  decoded.key6Flag = record[kr::kKey6Flag];
  decoded.winFlag = record[kr::kWinFlag];
  return decoded;
}

}  // namespace varkon
