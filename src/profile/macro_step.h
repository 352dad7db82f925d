// One step of a macro ("Events" element of a macro or recoil file) and its 4-byte device
// encoding.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <json/value.h>

namespace varkon {

// Type codes of a step.
inline constexpr int kStepMouseButton = 1;  // "Button" = button bit (0x01 left … 0x10 forward)
inline constexpr int kStepMoveX = 4;        // "Button" = distance; "down" = left, "up" = right
inline constexpr int kStepMoveY = 5;        // "Button" = distance; "down" = up, "up" = down
inline constexpr int kStepModifier = 9;     // "Button" = modifier bit (0x01 left Ctrl …)
inline constexpr int kStepKey = 10;         // "Button" = HID usage code

struct MacroStep {
  bool down = false;  // "Action" is "down"; any other text is a release
  int type = 0;       // "Type"
  int button = 0;     // "Button"
  int64_t delay = 0;  // "Delay": milliseconds to wait after the step
};

// Device form of a step: delay low byte, delay high byte, type with bit 7 for "down", button.
using MacroEvent = std::array<uint8_t, 4>;

// The value of a leading decimal number (after blanks, with an optional sign), saturated to
// the type's range; 0 when the text does not start with a number.
int64_t LeadingDecimal64(const std::string& text);
int LeadingDecimal(const std::string& text);

// A "Delay" member: decimal text ("300") or, as in recoil files, a number; anything else 0.
int64_t StepDelay(const Json::Value& delay);

// Reads a step; members of the wrong type (or a step that is not an object) read as 0.
MacroStep ReadMacroStep(const Json::Value& step);
// The macro-file form: "Action", "Type", "Button" and "Delay" as decimal text.
Json::Value MacroStepJson(const MacroStep& step);

// Bytes 0-1: the delay's low 16 bits, little-endian; byte 2: low 8 bits of "Type", bit 7 set
// for "down"; byte 3: low 8 bits of "Button".
MacroEvent EncodeMacroStep(const MacroStep& step);
MacroEvent EncodeMacroStep(const Json::Value& step);

}  // namespace varkon
