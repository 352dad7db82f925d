// Reduces the companion program's spectrum frames to the band levels of the music effects:
// 25 levels for the keyboard and a 10-value block for the mouse.
//
// Each frame of 500 magnitudes (index 0 the lowest) is compared with the previous one; the
// absolute differences are grouped into bands of five bins (only the first four of each group
// count). Every band keeps a running mean and deviation that are never cleared, so each new value
// is smoothed with the old one. The statistics are updated once per device slot of the matching
// kind, and a device receives its levels at most every third frame.
//
// One reducer per process; it is fed on one thread (the thread that receives the companion's
// data) and needs no lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace varkon {

constexpr size_t kSpectrumBinCount = 500;
constexpr size_t kSpectrumPayloadBytes = kSpectrumBinCount * 4;  // the receiving buffer
constexpr size_t kKeyboardBandCount = 25;
constexpr size_t kMouseBandCount = 10;
// The count handed to FeedAudioLevels together with the levels.
constexpr int kSpectrumLevelCountArg = 500;

// Slot kinds whose devices take part (kind bytes of the device slots).
bool IsKeyboardSlotKind(uint8_t kind);  // 1 or 9
bool IsMouseSlotKind(uint8_t kind);     // 2 or 6

// Who the reducer works for in this frame.
struct SpectrumTargets {
  int keyboardSlots = 0;        // device slots of the keyboard kind, attached or not
  int mouseSlots = 0;           // device slots of the mouse kind, attached or not
  bool activeKeyboard = false;  // an active keyboard exists to take the levels
  bool activeMouse = false;     // an active mouse exists to take the levels
};

// Counts the keyboard-kind and mouse-kind slots of a slot list; the active flags stay false.
SpectrumTargets CountSpectrumSlots(std::span<const uint8_t> slotKinds);

// What one frame produced. A device is fed only when its flag is set.
struct SpectrumLevels {
  bool feedKeyboard = false;
  std::array<int32_t, kKeyboardBandCount> keyboard{};  // the 25 band means
  bool feedMouse = false;
  std::array<int32_t, kMouseBandCount> mouse{};  // means of mouse bands 1-9, then 0
};

class AudioSpectrumReducer {
 public:
  // Takes one frame of 500 magnitudes.
  SpectrumLevels ReduceFrame(std::span<const int32_t, kSpectrumBinCount> frame,
                             const SpectrumTargets& targets);

  // Takes a raw data block of 32-bit little-endian values. Only the first 2000 bytes are used;
  // a shorter block overwrites only the start of the receiving buffer, the rest keeps the
  // previous block's bytes. An empty block is ignored (nothing is fed, nothing counted).
  SpectrumLevels ReducePayload(std::span<const uint8_t> payload, const SpectrumTargets& targets);

  // Inspection (tests, diagnostics).
  int64_t KeyboardMean(size_t band) const;
  uint64_t KeyboardDeviation(size_t band) const;
  int64_t MouseMean(size_t band) const;
  uint64_t MouseDeviation(size_t band) const;
  uint32_t KeyboardFrameCounter() const { return keyboardFrames_; }
  uint32_t MouseFrameCounter() const { return mouseFrames_; }

 private:
  struct Band {
    int64_t mean = 0;
    uint64_t deviation = 0;
  };

  template <size_t N>
  void UpdateBands(std::array<Band, N>& bands);

  std::array<int32_t, kSpectrumBinCount> previous_{};
  std::array<int64_t, kSpectrumBinCount> differences_{};
  std::array<uint8_t, kSpectrumPayloadBytes> received_{};
  std::array<Band, kKeyboardBandCount> keyboardBands_{};
  std::array<Band, kMouseBandCount> mouseBands_{};
  uint32_t keyboardFrames_ = 0;
  uint32_t mouseFrames_ = 0;
};

}  // namespace varkon
