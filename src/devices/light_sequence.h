// The custom light sequence: the user's ordered list of steps, each a light mode with its own
// colour, brightness and speed, shown for its duration. The list and the current step belong to
// the device object; the pass counter, shared phase, blink state and step timer are shared by all
// device objects of one class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "devices/light_buffer.h"
#include "devices/light_state.h"

namespace varkon {

// The class-wide state of the sequence player.
class SequenceShared {
 public:
  struct Values {
    uint8_t counter = 0;
    uint8_t phase = 0;
    uint8_t colourIndex = 0;  // wheel position of a multicolour breathing step
    uint8_t blinkOn = 0;
    uint8_t blinkHue = 0;
    uint32_t blinkLastMs = 0;
    uint32_t stepStartMs = 0;
    bool stepStarted = false;  // false: the timer starts at the next pass
  };

  Values Get() const;
  // Restarts the step timer at the next pass (a new sequence was taken).
  void RestartTimer();

 private:
  friend class LightSequence;
  mutable std::mutex mutex_;
  Values values_;
};

// A device object's sequence; thread-safe (the editor replaces it while the light thread plays).
class LightSequence {
 public:
  explicit LightSequence(SequenceShared& shared) : shared_(&shared) {}

  // Takes a new list, sets the current step to 0 and restarts the step timer.
  void Set(std::vector<LightSequenceStep> steps);
  std::vector<LightSequenceStep> Steps() const;
  size_t step() const;
  size_t length() const;

  // One pass of the player at `nowMs`: renders into `out` when due. `deviceSpeed` is the
  // device's own speed level (the blink period follows it). An empty list turns the lights off.
  void Pass(uint32_t nowMs, uint8_t deviceSpeed, ColourBuffer& out);

 private:
  SequenceShared* shared_;
  mutable std::mutex mutex_;  // the list and the current step
  std::vector<LightSequenceStep> steps_;
  size_t step_ = 0;
};

}  // namespace varkon
