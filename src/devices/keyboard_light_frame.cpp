#include "devices/keyboard_light_frame.h"

#include <algorithm>

namespace varkon {
namespace {

// LED number of list index i when it lies within `leds` LEDs, or -1.
int LedOf(std::span<const uint8_t> keyLed, size_t i, size_t leds) {
  if (i >= keyLed.size()) return -1;
  const uint8_t led = keyLed[i];
  return led != kNoLed && led < leds ? led : -1;
}

}  // namespace

size_t KeyboardFrameBytes(size_t ledCount, size_t outSize) {
  const size_t leds = std::min({ledCount, kMaxKeyboardLeds, outSize / 3});
  return 3 * leds;
}

size_t BuildKeyboardFrame(const ColourBuffer& colours, std::span<const uint8_t> keyLed,
                          size_t ledCount, std::span<uint8_t> out) {
  const size_t bytes = KeyboardFrameBytes(ledCount, out.size());
  std::fill(out.begin(), out.begin() + bytes, uint8_t{0});
  const size_t keys = std::min(kKeyboardLitKeys, colours.size());
  for (size_t i = 0; i < keys; ++i) {
    const int led = LedOf(keyLed, i, bytes / 3);
    if (led < 0) continue;
    const LightColour c = colours.Get(i);
    uint8_t* p = &out[3 * static_cast<size_t>(led)];
    p[0] = ScaleChannel(c.r, c.a);
    p[1] = ScaleChannel(c.g, c.a);
    p[2] = ScaleChannel(c.b, c.a);
  }
  return bytes;
}

size_t BuildCustomColourPage(std::span<const Rgb> colours, std::span<const uint8_t> keyLed,
                             size_t ledCount, std::span<uint8_t> out) {
  const size_t bytes = KeyboardFrameBytes(ledCount, out.size());
  std::fill(out.begin(), out.begin() + bytes, uint8_t{0});
  const size_t keys = std::min(kKeyboardLitKeys, colours.size());
  for (size_t i = 0; i < keys; ++i) {
    const int led = LedOf(keyLed, i, bytes / 3);
    if (led < 0) continue;
    uint8_t* p = &out[3 * static_cast<size_t>(led)];
    p[0] = colours[i].r;
    p[1] = colours[i].g;
    p[2] = colours[i].b;
  }
  return bytes;
}

void ReadCustomColourPage(std::span<const uint8_t> page, std::span<const uint8_t> keyLed,
                          std::span<Rgb> colours) {
  const size_t leds = std::min(page.size() / 3, kMaxKeyboardLeds);
  const size_t keys = std::min(kKeyboardLitKeys, colours.size());
  for (size_t i = 0; i < keys; ++i) {
    const int led = LedOf(keyLed, i, leds);
    if (led < 0) continue;
    const uint8_t* p = &page[3 * static_cast<size_t>(led)];
    colours[i] = {p[0], p[1], p[2]};
  }
}

}  // namespace varkon
