// The per-light colour buffer: one record of red, green, blue and alpha per light cell, written by
// the light thread and read by the painter and the frame builders. Each record is one 32-bit
// atomic (red in the low byte, then green, blue, alpha), so it is always written and read whole.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/light_tables.h"

namespace varkon {

// The most lights any device has (the keyboard's 170 keys).
constexpr size_t kMaxLights = 170;

struct LightColour {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 0;  // intensity; the colour bytes are never pre-multiplied

  constexpr LightColour() = default;
  constexpr LightColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
      : r(red), g(green), b(blue), a(alpha) {}
  constexpr LightColour(Rgb c, uint8_t alpha) : r(c.r), g(c.g), b(c.b), a(alpha) {}

  // red | green << 8 | blue << 16 | alpha << 24 (the value SetLightColour takes).
  constexpr uint32_t Pack() const {
    return uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16 | uint32_t{a} << 24;
  }
  static constexpr LightColour Unpack(uint32_t v) {
    return LightColour(static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                       static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24));
  }
  friend constexpr bool operator==(const LightColour&, const LightColour&) = default;
};

class ColourBuffer {
 public:
  explicit ColourBuffer(size_t count = 0) { Resize(count); }
  ColourBuffer(const ColourBuffer&) = delete;
  ColourBuffer& operator=(const ColourBuffer&) = delete;

  size_t size() const { return count_.load(std::memory_order_relaxed); }
  // Sets the light count (at most kMaxLights) and zeroes every record.
  void Resize(size_t count);

  // Writes outside the light count are ignored (false); reads outside it give 0.
  bool Set(size_t index, LightColour colour) { return SetRaw(index, colour.Pack()); }
  bool SetRaw(size_t index, uint32_t value);
  LightColour Get(size_t index) const { return LightColour::Unpack(GetRaw(index)); }
  uint32_t GetRaw(size_t index) const;
  // Every light gets `colour`.
  void Fill(LightColour colour);
  // Copies up to out.size() records; returns how many were copied.
  size_t Snapshot(std::span<uint32_t> out) const;
  // How many writes fell outside the light count and were dropped (the steps never make one).
  uint32_t rejectedWrites() const { return rejected_.load(std::memory_order_relaxed); }

 private:
  std::atomic<size_t> count_{0};
  std::atomic<uint32_t> rejected_{0};
  std::array<std::atomic<uint32_t>, kMaxLights> records_{};
};

// channel × alpha / 256, rounding down.
constexpr uint8_t ScaleChannel(uint8_t channel, uint8_t alpha) {
  return static_cast<uint8_t>((channel * alpha) >> 8);
}

// The value handed to an on-screen light cell: red | blue << 8 | green << 16.
constexpr uint32_t ButtonColourValue(LightColour c) {
  return uint32_t{c.r} | uint32_t{c.b} << 8 | uint32_t{c.g} << 16;
}

// What the painter gives one light cell.
struct PreviewCell {
  uint32_t value = 0;  // ButtonColourValue
  uint8_t alpha = 0;
  bool show = true;
};
constexpr PreviewCell MakePreviewCell(LightColour c) {
  return {ButtonColourValue(c), c.a, true};
}

// The hardware frame: three bytes per light (channel × alpha / 256, in buffer order) for the
// first min(lights, out.size() / 3) lights. Returns the number of bytes written.
size_t BuildHardwareFrame(const ColourBuffer& colours, std::span<uint8_t> out);

}  // namespace varkon
