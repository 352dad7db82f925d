#include "editors/light_editor_actions.h"

#include <cctype>

namespace varkon {

namespace {

// Byte `index` (0-3) of `word`.
uint8_t ByteOf(uint32_t word, int index) {
  return static_cast<uint8_t>(word >> (8 * index));
}

uint32_t WithByte(uint32_t word, int index, uint8_t value) {
  const int shift = 8 * index;
  return (word & ~(uint32_t{0xFF} << shift)) | uint32_t{value} << shift;
}

// Word 1: multicolour, red, green, blue.
constexpr int kMulticolourByte = 0;
int ComponentByte(ColourComponent component) {
  switch (component) {
    case ColourComponent::kRed:
      return 1;
    case ColourComponent::kGreen:
      return 2;
    case ColourComponent::kBlue:
      break;
  }
  return 3;
}

}  // namespace

LightWords SetLightMode(LightWords words, uint8_t mode) {
  words[0] = WithByte(words[0], 0, mode);
  return words;
}

LightWords SetLightBrightness(LightWords words, uint8_t level) {
  words[0] = WithByte(words[0], 1, level);
  return words;
}

LightWords SetLightSpeed(LightWords words, uint8_t level) {
  words[0] = WithByte(words[0], 2, level);
  return words;
}

LightWords SetLightDirection(LightWords words, bool forward) {
  words[0] = WithByte(words[0], 3, forward ? 1 : 0);
  return words;
}

LightWords SetLightMulticolour(LightWords words, bool on) {
  words[1] = WithByte(words[1], kMulticolourByte, on ? 1 : 0);
  return words;
}

LightWords SetLightColourComponent(LightWords words, ColourComponent component, uint8_t value) {
  words[1] = WithByte(words[1], ComponentByte(component), value);
  return SetLightMulticolour(words, false);
}

LightWords SetLightColour(LightWords words, uint32_t rgb) {
  words = SetLightColourComponent(words, ColourComponent::kRed, ByteOf(rgb, 2));
  words = SetLightColourComponent(words, ColourComponent::kGreen, ByteOf(rgb, 1));
  return SetLightColourComponent(words, ColourComponent::kBlue, ByteOf(rgb, 0));
}

LightWords SetLightCustomTable(LightWords words, uint8_t table) {
  words[3] = WithByte(words[3], 0, table);
  return words;
}

LightWords SetLightZzccMode(LightWords words, uint8_t mode) {
  words[2] = WithByte(words[2], 3, mode);
  return words;
}

uint8_t LightMode(const LightWords& words) {
  return ByteOf(words[0], 0);
}
uint8_t LightBrightness(const LightWords& words) {
  return ByteOf(words[0], 1);
}
uint8_t LightSpeed(const LightWords& words) {
  return ByteOf(words[0], 2);
}
bool LightForward(const LightWords& words) {
  return ByteOf(words[0], 3) != 0;
}
bool LightMulticolour(const LightWords& words) {
  return ByteOf(words[1], kMulticolourByte) != 0;
}
uint8_t LightColourComponent(const LightWords& words, ColourComponent component) {
  return ByteOf(words[1], ComponentByte(component));
}
uint32_t LightFixedColour(const LightWords& words) {
  return 0xFF000000u | uint32_t{LightColourComponent(words, ColourComponent::kRed)} << 16 |
         uint32_t{LightColourComponent(words, ColourComponent::kGreen)} << 8 |
         LightColourComponent(words, ColourComponent::kBlue);
}
uint8_t LightCustomTable(const LightWords& words) {
  return ByteOf(words[3], 0);
}
uint8_t LightZzccMode(const LightWords& words) {
  return ByteOf(words[2], 3);
}

ColourEditValue ReadColourEdit(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  // Saturates instead of overflowing: any value above 255 is 255 anyway.
  int value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > 255) value = 256;
  }
  if (negative) value = 0;
  ColourEditValue result;
  result.value = static_cast<uint8_t>(value > 255 ? 255 : value);
  result.shown = std::to_string(result.value);
  return result;
}

ColourEditResult ApplyColourEdit(const LightWords& words, ColourComponent component,
                                 std::string_view text) {
  ColourEditResult result;
  result.edit = ReadColourEdit(text);
  result.words = SetLightColourComponent(words, component, result.edit.value);
  return result;
}

uint32_t AudioLight::ModeWord() const {
  return uint32_t{mode} | uint32_t{background[0]} << 8 | uint32_t{background[1]} << 16 |
         uint32_t{background[2]} << 24;
}

uint32_t AudioLight::ForegroundWord() const {
  return uint32_t{foreground[0]} | uint32_t{foreground[1]} << 8 | uint32_t{foreground[2]} << 16 |
         uint32_t{multicolour ? 1u : 0u} << 24;
}

AudioLight AudioLight::FromWords(uint32_t modeWord, uint32_t foregroundWord,
                                 bool editingForeground) {
  AudioLight light;
  light.mode = ByteOf(modeWord, 0);
  light.background = {ByteOf(modeWord, 1), ByteOf(modeWord, 2), ByteOf(modeWord, 3)};
  light.foreground = {ByteOf(foregroundWord, 0), ByteOf(foregroundWord, 1),
                      ByteOf(foregroundWord, 2)};
  light.multicolour = ByteOf(foregroundWord, 3) != 0;
  light.editingForeground = editingForeground;
  return light;
}

}  // namespace varkon
