// Headset members of a device section: the eight audio values ("SystemSetStages"), the band
// gains of the built-in equaliser presets ("EQHzValueInfo") and the user's custom equalisers
// ("CustomEQHzValueInfo", "CustomEQNameInfo").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "profile/profile_data.h"

namespace varkon {

// The headset's audio settings, in their stored order.
struct HeadsetSettings {
  int32_t magicEnable = 0;    // "MagicEnable": voice changer on
  int32_t magicType = 0;      // "MagicType": voice changer kind 1-4
  int32_t eqType = 0;         // "EqType": preset 1-12, 13 custom, 0 none
  int32_t customEqIndex = 0;  // "CustomEqSeletIndex"
  int32_t micInOn = 0;        // "MicInSelect"
  int32_t micInLevel = 0;     // "MicInValue": 0-100
  int32_t monitorOn = 0;      // "MicMoniterSelect"
  int32_t monitorLevel = 0;   // "MicMoniterValue": 0-100

  friend bool operator==(const HeadsetSettings&, const HeadsetSettings&) = default;
};

class CHs6533Profiledata : public CBasicProfiledata {
 public:
  static constexpr int kBandCount = 10;
  static constexpr int kCustomPreset = 13;  // the custom slot: has no row of its own
  static constexpr int kMaxCustomEqs = 256;
  static constexpr unsigned kMaxCustomEqNames = 1024;

  void SetHeadsetSystem(const HeadsetSettings& settings);
  HeadsetSettings GetHeadsetSystem();  // all 0 without "SystemSetStages"

  // Row of "EQHzValueInfo" for a preset: 1-12 use their own row, 13 has none (-1), anything
  // else uses row 1.
  static int EqRowOfPreset(int preset);

  // Writes "value" of bands 0-9 (as many as given) into the preset's row; nothing for preset 13.
  void SetEqValues(int preset, const std::vector<int>& bands);
  // The preset's 10 gains; a missing row (or band) is written into the section as 0. Empty for
  // preset 13.
  std::vector<int> GetEqValues(int preset);

  // The same on "CustomEQHzValueInfo"[index]; a refused index writes nothing / reads empty.
  void SetCustomEqValues(int index, const std::vector<int>& bands);
  std::vector<int> GetCustomEqValues(int index);

  // "CustomEQNameInfo": one {"Name"} per custom equaliser, in row order.
  void SetCustomEqNames(const std::vector<std::string>& names);
  std::vector<std::string> GetCustomEqNames() const;

 private:
  void SetRow(const char* member, int row, const std::vector<int>& bands);
  std::vector<int> GetRow(const char* member, int row);

  HeadsetSettings settings_;
};

}  // namespace varkon
