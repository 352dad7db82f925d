#include "editors/light_control_states.h"

#include <cstdint>
#include <initializer_list>

namespace varkon {

namespace {

constexpr const char* kGroupNames[kLightGroupCount] = {
    "lighteffect_layout",
    "deng_7color_check",
    "deng_color_layout",
    "colorpallet_layout",
    "deng_light_layout",
    "deng_speed_layout",
    "deng_fx_layout",
    "light_color_layout",
    "lightcustom_layout",
    "light_combo_ZZCCmodeSelectLayout",
    "light_combo_AudiomodeSelectLayout",
    "deng_same_mode",
};

// The seven groups every row of a table enables or disables, in the order of a row's columns.
constexpr LightGroup kColumns[] = {
    LightGroup::kEffect,     LightGroup::kMulticolour, LightGroup::kColour,   LightGroup::kPalette,
    LightGroup::kBrightness, LightGroup::kSpeed,       LightGroup::kDirection};

// What a row does beyond its columns.
enum Extra : unsigned {
  kSame = 1u << 0,                 // the apply-to-all button is offered
  kSpeedHidden = 1u << 1,          // the speed group is hidden as well
  kColourBlockDisabled = 1u << 2,  // the whole colour block is disabled
  kZzccShown = 1u << 3,
  kCustomShown = 1u << 4,
  kMusic = 1u << 5,  // the music combo is shown and the colour block shows its music page
};

enum class Direction { kDefault, kClockwise, kDownUp, kOutsideInside, kUpDown };

// Modes 0-63 as bits; no table names a higher mode.
constexpr uint64_t Modes(std::initializer_list<int> modes) {
  uint64_t bits = 0;
  for (int mode : modes) bits |= uint64_t{1} << mode;
  return bits;
}
constexpr uint64_t ModeRange(int first, int last) {
  uint64_t bits = 0;
  for (int mode = first; mode <= last; ++mode) bits |= uint64_t{1} << mode;
  return bits;
}

struct ModeRow {
  uint64_t modes;
  const char* columns;  // one letter per entry of kColumns: E enabled, D disabled
  unsigned extras;
  Direction direction;
};

// The row of the modes no row names.
constexpr ModeRow kOtherMode = {0, "EDDDDDD", 0, Direction::kDefault};

constexpr ModeRow kKeyboardRows[] = {
    {Modes({1, 2}), "EEEEEEE", 0, Direction::kDefault},
    {Modes({3, 19}), "EEEEEEE", 0, Direction::kClockwise},
    {Modes({4}), "EDDDEED", kColourBlockDisabled | kSame, Direction::kDefault},
    {Modes({5, 34}), "EEEEEED", kSame, Direction::kDefault},
    {Modes({6, 23, 31}), "EEEEEDD", kSame, Direction::kDefault},
    {ModeRange(7, 10) | ModeRange(13, 15) | Modes({25, 33}), "EEEEEED", 0, Direction::kDefault},
    {Modes({16}), "EEEEEDD", 0, Direction::kDefault},
    {Modes({11, 26}), "EDDDEED", kColourBlockDisabled, Direction::kDefault},
    {Modes({12}), "EDDDEEE", 0, Direction::kDownUp},
    {Modes({17}), "EDDDEED", kSpeedHidden | kZzccShown | kColourBlockDisabled, Direction::kDefault},
    {Modes({18, 22}), "EDDDEDE", kColourBlockDisabled, Direction::kOutsideInside},
    {Modes({20}), "EDEEEDD", kSpeedHidden | kCustomShown, Direction::kDefault},
    {Modes({21}), "EDDDDDD", kSame, Direction::kDefault},
    {Modes({27}), "EDDDEED", 0, Direction::kDefault},
    {Modes({29}), "EEEEEDE", kSpeedHidden | kMusic, Direction::kDefault},
    {Modes({30}), "EDDDEDD", kColourBlockDisabled, Direction::kDefault},
    {Modes({32}), "EEEEEEE", 0, Direction::kUpDown},
};

constexpr ModeRow kMouseRows[] = {
    {Modes({0, 5}), "EEEEEEE", 0, Direction::kDefault},
    {Modes({1}), "EDDDEED", 0, Direction::kDefault},
    {Modes({2, 4, 6}), "EEEEEED", 0, Direction::kDefault},
    {Modes({3}), "EDEEEDD", 0, Direction::kDefault},
    {Modes({7, 8}), "EDDDEED", 0, Direction::kDefault},
    {Modes({10}), "EDDDDDD", 0, Direction::kDefault},
    {Modes({11}), "EEEEEDE", kSpeedHidden | kMusic, Direction::kDefault},
};

// The mouse pad and the headset.
constexpr ModeRow kPadRows[] = {
    {Modes({0}), "EEEEEEE", 0, Direction::kDefault},
    {Modes({1}), "EDDDEED", kSame, Direction::kDefault},
    {Modes({2, 4}), "EEEEEED", kSame, Direction::kDefault},
    {Modes({3}), "EDEEEDD", kSame, Direction::kDefault},
    {Modes({8}), "EDDDDDD", kSame, Direction::kDefault},
};

// Kind 5 sets six groups (not the direction) and nothing else.
constexpr ModeRow kKind5Rows[] = {
    {Modes({0, 2, 3}), "EEEEEE", 0, Direction::kDefault},
    {Modes({1}), "EDEEED", 0, Direction::kDefault},
    {Modes({4}), "EDDDEE", 0, Direction::kDefault},
};
constexpr ModeRow kKind5Other = {0, "EDDDDD", 0, Direction::kDefault};

template <size_t N>
const ModeRow& FindRow(const ModeRow (&rows)[N], int mode, const ModeRow& other) {
  if (mode < 0 || mode >= 64) return other;
  for (const ModeRow& row : rows) {
    if (row.modes & (uint64_t{1} << mode)) return row;
  }
  return other;
}

DirectionTextIds KeyboardTexts(Direction direction) {
  switch (direction) {
    case Direction::kClockwise:
      return {"light_set_clockwise_text", "light_set_anticlockwise_text"};
    case Direction::kDownUp:
      return {"light_set_down_to_up_text", "light_set_up_to_down_text"};
    case Direction::kOutsideInside:
      return {"light_set_outside_to_inside_text", "light_set_inside_to_outside_text"};
    case Direction::kUpDown:
      return {"light_set_up_to_down_text", "light_set_down_to_up_text"};
    case Direction::kDefault:
      break;
  }
  return {"light_set_right_to_left_text", "light_set_left_to_right_text"};
}

void ApplyColumns(const ModeRow& row, LightControlStates& states) {
  for (size_t i = 0; row.columns[i] != '\0' && i < std::size(kColumns); ++i) {
    states[kColumns[i]].enabled = row.columns[i] == 'E';
  }
}

enum class Family { kNone, kKeyboard, kMouse, kPad, kKind5 };

Family FamilyOf(int deviceKind) {
  switch (deviceKind) {
    case 1:
    case 9:  // the keyboard through its receiver
      return Family::kKeyboard;
    case 2:
    case 6:  // the mouse through its receiver
      return Family::kMouse;
    case 3:
    case 4:
    case 7:
      return Family::kPad;
    case 5:
      return Family::kKind5;
    default:
      return Family::kNone;
  }
}

}  // namespace

const char* LightGroupControlName(LightGroup group) {
  const auto index = static_cast<size_t>(group);
  return index < kLightGroupCount ? kGroupNames[index] : "";
}

LightControlStates LightControlStatesFor(int deviceKind, int mode, bool multiDevice) {
  LightControlStates states;
  const Family family = FamilyOf(deviceKind);
  if (family == Family::kNone) return states;
  if (family == Family::kKind5) {
    ApplyColumns(FindRow(kKind5Rows, mode, kKind5Other), states);
    return states;
  }

  // What every row of the other tables starts from.
  states[LightGroup::kDirection].enabled = true;
  states[LightGroup::kSpeed].visible = true;
  states[LightGroup::kSameMode].visible = false;
  states[LightGroup::kMusic].visible = false;
  states.colourPage = kFixedColourPage;
  if (family == Family::kKeyboard) {
    states[LightGroup::kCustom].visible = false;
    states[LightGroup::kZzcc].visible = false;
    states[LightGroup::kColourBlock].enabled = true;
  }

  const ModeRow* row = &kOtherMode;
  switch (family) {
    case Family::kKeyboard:
      row = &FindRow(kKeyboardRows, mode, kOtherMode);
      states.directionTexts = KeyboardTexts(row->direction);
      break;
    case Family::kMouse:
      row = &FindRow(kMouseRows, mode, kOtherMode);
      states.directionTexts =
          DirectionTextIds{"light_set_down_to_up_text", "light_set_up_to_down_text"};
      break;
    default:
      row = &FindRow(kPadRows, mode, kOtherMode);
      break;
  }
  ApplyColumns(*row, states);
  if (row->extras & kSpeedHidden) states[LightGroup::kSpeed].visible = false;
  if (row->extras & kColourBlockDisabled) states[LightGroup::kColourBlock].enabled = false;
  if (row->extras & kZzccShown) states[LightGroup::kZzcc].visible = true;
  if (row->extras & kCustomShown) states[LightGroup::kCustom].visible = true;
  if (row->extras & kMusic) {
    states[LightGroup::kMusic].visible = true;
    states.colourPage = kMusicColourPage;
  }
  // The mouse offers no apply-to-all button at all.
  if ((row->extras & kSame) && multiDevice && family != Family::kMouse) {
    states[LightGroup::kSameMode].visible = true;
  }
  return states;
}

}  // namespace varkon
