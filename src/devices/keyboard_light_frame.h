// What the keyboard's light buffer becomes on the wire: the streamed light frame of the
// music-driven effects and the custom colour page, both placed by LED number through keyLed
// (list index -> LED number, 255 when the key is absent).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/keyboard_key_matrix.h"
#include "devices/light_buffer.h"
#include "devices/light_tables.h"

namespace varkon {

constexpr uint8_t kNoLed = 255;
// Frames and colour pages are built in buffers of this size.
constexpr size_t kKeyboardFrameBuffer = 512;
// The most LEDs a frame or page can place (3 × 170 bytes fit the buffer).
constexpr size_t kMaxKeyboardLeds = 170;

// The effects whose frames the keyboard streams (the music-driven ones).
constexpr bool StreamsLightFrames(int effect) {
  return effect == 29 || effect == 30;
}

// Bytes of a frame or page for a keyboard reporting `ledCount` LEDs (at most 170 LEDs, and no
// more than `out` holds).
size_t KeyboardFrameBytes(size_t ledCount, size_t outSize);

// The streamed frame: zero, then for every lit list index i (below 126) with keyLed[i] = L below
// the LED count, bytes 3L..3L+2 = each channel × alpha / 256. Returns the frame length (LED
// count × 3).
size_t BuildKeyboardFrame(const ColourBuffer& colours, std::span<const uint8_t> keyLed,
                          size_t ledCount, std::span<uint8_t> out);

// The custom colour page: zero, then the colour of every lit list index i with keyLed[i] = L
// below the LED count at bytes 3L..3L+2. Returns the page length (LED count × 3). Only lit keys
// are placed: the list indices without a light share the empty key's code and so its LED, and
// would overwrite that key's colour.
size_t BuildCustomColourPage(std::span<const Rgb> colours, std::span<const uint8_t> keyLed,
                             size_t ledCount, std::span<uint8_t> out);

// The colours of a page read from the keyboard, by list index: lit entry i takes the LED colour
// of keyLed[i] when that LED lies within the page; other entries are left as they are.
void ReadCustomColourPage(std::span<const uint8_t> page, std::span<const uint8_t> keyLed,
                          std::span<Rgb> colours);

}  // namespace varkon
