// The lighting editor's actions on a device's light state. The state travels as five 32-bit
// words, low byte first: word 0 mode, brightness, speed, direction; word 1 multicolour, red,
// green, blue; word 2's high byte the ZZCC mode; word 3's low byte the custom colour table;
// word 4 the sound sensitivity. Each action changes what it names and leaves every other byte
// as it was; the colour actions also switch multicolour off, since a colour the user picks is
// meant to be seen.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace varkon {

using LightWords = std::array<uint32_t, 5>;

enum class ColourComponent { kRed, kGreen, kBlue };

LightWords SetLightMode(LightWords words, uint8_t mode);
LightWords SetLightBrightness(LightWords words, uint8_t level);
LightWords SetLightSpeed(LightWords words, uint8_t level);
// Forward is "deng_FXL_check" (direction 1), backward "deng_FXR_check" (0).
LightWords SetLightDirection(LightWords words, bool forward);
LightWords SetLightMulticolour(LightWords words, bool on);
LightWords SetLightColourComponent(LightWords words, ColourComponent component, uint8_t value);
// The red, green and blue bytes of `rgb` (0xAARRGGBB or 0xRRGGBB; the alpha is ignored).
LightWords SetLightColour(LightWords words, uint32_t rgb);
LightWords SetLightCustomTable(LightWords words, uint8_t table);
LightWords SetLightZzccMode(LightWords words, uint8_t mode);

uint8_t LightMode(const LightWords& words);
uint8_t LightBrightness(const LightWords& words);
uint8_t LightSpeed(const LightWords& words);
bool LightForward(const LightWords& words);
bool LightMulticolour(const LightWords& words);
uint8_t LightColourComponent(const LightWords& words, ColourComponent component);
// The fixed colour as an opaque 0xFFRRGGBB.
uint32_t LightFixedColour(const LightWords& words);
uint8_t LightCustomTable(const LightWords& words);
uint8_t LightZzccMode(const LightWords& words);

// A colour edit's text read as the component's value: a decimal number, leading blanks and a
// sign allowed, read up to the first other character; above 255 it is 255, below 0 or without
// digits it is 0. `shown` is the value's decimal text, which the edit then shows.
struct ColourEditValue {
  uint8_t value = 0;
  std::string shown;
};
ColourEditValue ReadColourEdit(std::string_view text);

// The colour edit action: the component takes the edit's value and multicolour goes off.
struct ColourEditResult {
  LightWords words{};
  ColourEditValue edit;
};
ColourEditResult ApplyColourEdit(const LightWords& words, ColourComponent component,
                                 std::string_view text);

// The music-lighting settings as two words: the first holds the music mode and the background
// red, green, blue; the second the foreground red, green, blue and the multicolour flag.
struct AudioLight {
  uint8_t mode = 0;
  std::array<uint8_t, 3> background{};  // red, green, blue
  std::array<uint8_t, 3> foreground{};
  bool multicolour = false;
  bool editingForeground = false;  // the colour controls show the foreground colour

  uint32_t ModeWord() const;
  uint32_t ForegroundWord() const;
  static AudioLight FromWords(uint32_t modeWord, uint32_t foregroundWord, bool editingForeground);
  friend bool operator==(const AudioLight&, const AudioLight&) = default;
};

// The music mode in which both music colours are unused.
inline constexpr uint8_t kAudioModeWithoutColours = 3;

}  // namespace varkon
