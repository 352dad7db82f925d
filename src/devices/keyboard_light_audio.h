// The keyboard's music effects: the beat counter that starts the music ripple, the seven music
// styles of effect 29 and the audio-driven twinkle of effect 30, all driven by the 25 band
// levels of the audio input.
#pragma once

#include <cstdint>
#include <span>

#include "devices/keyboard_light_fx.h"

namespace varkon {

// The key the music ripple starts from.
constexpr size_t kMusicRippleKey = 51;
// The beat total at which a ripple starts.
constexpr int64_t kMusicBeatThreshold = 71;

// Music style 2's beat counter. Each level set adds 25 − a × 25 / 600 to a running total, where a
// is the mean over the 25 levels of 600 − v × 600 / 2000 (500 instead when v × 600 / 2000 exceeds
// 600); when the total reaches 71 it restarts at 0 and a ripple starts. Missing levels count as
// 0, negative ones as 0. Not thread-safe: one caller.
class MusicBeatCounter {
 public:
  // Adds one level set; true when a ripple is due.
  bool Add(std::span<const int32_t> levels);
  int64_t total() const { return total_; }
  void Reset() { total_ = 0; }

 private:
  int64_t total_ = 0;
};

// Music styles of effect 29.
enum class MusicStyle : uint8_t {
  kBars = 0,         // spectrum bars rising from the bottom row, background behind
  kCentreMeter = 1,  // each row a level meter spreading from the middle column
  kRipple = 2,       // rings from the middle of the board on the beat
  kRainbowBars = 3,  // spectrum bars in the wheel's colours, no user colours
  kPulse = 4,        // the whole board from background to foreground with the loudness
  kWaterfall = 5,    // the spectrum flowing down the rows, one row per level set
  kPeakBars = 6,     // spectrum bars with falling peak markers
};

// Band level 0-255 (full scale 2000 and above gives 255).
uint8_t BandIntensity(int32_t level);
// The band shown in matrix column c (the 25 bands spread over 23 columns).
constexpr size_t BandOfColumn(size_t column) {
  return column * kAudioBands / kKeyboardColumns;
}
// Bar height 0-6 of a band level.
uint8_t BandHeight(int32_t level);

// Effect 29: one step of the music style of the inputs' music-light setting (styles above 6 show
// style 0).
void StepMusic(KeyboardPass& pass);
// Effect 30: sparkles at random keys, more the louder the music; all keys fade.
void StepAudioTwinkle(KeyboardPass& pass);

}  // namespace varkon
