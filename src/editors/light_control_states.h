// Which parts of the lighting editor a light mode uses: for every group of controls whether it
// is enabled and shown, which page the colour block shows and which texts the two direction
// checks carry. Each device kind has its own table of modes; a mode the table does not list
// uses only the effect group.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace varkon {

// The groups of the lighting editor, each a named control of the panel's skin.
enum class LightGroup : size_t {
  kEffect,       // "lighteffect_layout"
  kMulticolour,  // "deng_7color_check"
  kColour,       // "deng_color_layout"
  kPalette,      // "colorpallet_layout"
  kBrightness,   // "deng_light_layout"
  kSpeed,        // "deng_speed_layout"
  kDirection,    // "deng_fx_layout"
  kColourBlock,  // "light_color_layout"
  kCustom,       // "lightcustom_layout": the keyboard's per-key colours
  kZzcc,         // "light_combo_ZZCCmodeSelectLayout"
  kMusic,        // "light_combo_AudiomodeSelectLayout"
  kSameMode,     // "deng_same_mode": apply the lighting to every device
};
inline constexpr size_t kLightGroupCount = 12;

// The skin name of a group's control.
const char* LightGroupControlName(LightGroup group);

// What a mode does to one group; an empty member leaves that side of the group as it is.
struct LightGroupState {
  std::optional<bool> enabled;
  std::optional<bool> visible;
  friend bool operator==(const LightGroupState&, const LightGroupState&) = default;
};

// The language text ids of the two direction checks, "deng_FXL_check" (direction 1) first.
struct DirectionTextIds {
  std::string forward;
  std::string backward;
  friend bool operator==(const DirectionTextIds&, const DirectionTextIds&) = default;
};

// Pages of "light_color_tablayout".
inline constexpr int kFixedColourPage = 0;
inline constexpr int kMusicColourPage = 1;

struct LightControlStates {
  std::array<LightGroupState, kLightGroupCount> groups{};
  std::optional<int> colourPage;  // "light_color_tablayout"
  std::optional<DirectionTextIds> directionTexts;

  const LightGroupState& operator[](LightGroup group) const {
    return groups[static_cast<size_t>(group)];
  }
  LightGroupState& operator[](LightGroup group) { return groups[static_cast<size_t>(group)]; }
};

// The control states of `mode` on a device of `deviceKind` (1 keyboard, 2 mouse, 3 mouse pad,
// 4 and 7 headset, 5; a keyboard or mouse reached through its receiver, 9 and 6, is a keyboard
// or mouse). The apply-to-all button is shown only where the mode offers it and the panel is in
// multi-device mode. A kind without a table changes nothing.
LightControlStates LightControlStatesFor(int deviceKind, int mode, bool multiDevice);

}  // namespace varkon
