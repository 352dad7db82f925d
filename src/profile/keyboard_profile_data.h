// Keyboard members of a device section: system options ("SystemStages"), the Fn-layer flag and
// the custom per-key colour groups ("CustomLightMode").
#pragma once

#include <cstdint>
#include <vector>

#include "profile/profile_data.h"

namespace varkon {

// The six 16-bit keyboard options packed in three words (high half << 16 | low half).
struct KeyboardSystemWords {
  uint32_t word0 = 0;  // RepeatDelay << 16 | Repeat
  uint32_t word1 = 0;  // PollingRate << 16 | Key6Flag
  uint32_t word2 = 0;  // WinFlag << 16 | WFlag
  uint32_t extra = 0;  // kept with the words, never persisted

  uint16_t Repeat() const { return static_cast<uint16_t>(word0); }
  uint16_t RepeatDelay() const { return static_cast<uint16_t>(word0 >> 16); }
  uint16_t Key6Flag() const { return static_cast<uint16_t>(word1); }
  uint16_t PollingRate() const { return static_cast<uint16_t>(word1 >> 16); }
  uint16_t WFlag() const { return static_cast<uint16_t>(word2); }
  uint16_t WinFlag() const { return static_cast<uint16_t>(word2 >> 16); }
  static uint32_t Pack(uint16_t low, uint16_t high) {
    return static_cast<uint32_t>(high) << 16 | low;
  }

  friend bool operator==(const KeyboardSystemWords&, const KeyboardSystemWords&) = default;
};

// One colour of a custom colour group: bytes red, green, blue, alpha.
struct CustomColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;

  friend bool operator==(const CustomColor&, const CustomColor&) = default;
};

class CKeyboardProfiledata : public CBasicProfiledata {
 public:
  // Groups and colours per group beyond these are refused (the keyboard has at most 170 keys).
  static constexpr int kMaxCustomGroups = 256;
  static constexpr int kMaxCustomColors = 512;

  // Stores the words and sets the six "SystemStages" members (other members stay).
  void SetKeyboardSystem(const KeyboardSystemWords& words);
  // Rebuilt from "SystemStages" (each member's low 16 bits); all 0 without it; extra is 0.
  KeyboardSystemWords GetKeyboardSystem();

  void SetFnKeysetFlag(uint8_t flag);
  uint8_t GetFnKeysetFlag() const;  // 0 or 1

  // Writes "CustomLightMode"/"LightColorInfo"[group][i] for each colour i.
  void SetCustomColors(const std::vector<CustomColor>& colors, int group);
  // `count` colours of the group; null elements (or a missing group) are written into the
  // section as all-zero colour objects and returned as zero. Empty for a refused group/count.
  std::vector<CustomColor> GetCustomColors(int group, int count);

  void SetCustomGroupIndex(int index);
  int GetCustomGroupIndex();

 private:
  KeyboardSystemWords system_;
  std::vector<CustomColor> customColors_;
  int customGroupIndex_ = 0;
};

}  // namespace varkon
