#include "devices/keyboard_light_effects.h"

#include "devices/keyboard_light_audio.h"
#include "devices/keyboard_light_fronts.h"
#include "devices/keyboard_light_patterns.h"
#include "devices/keyboard_light_reactive.h"
#include "devices/keyboard_light_sparkle.h"

namespace varkon {
namespace {

void StepWideWave(KeyboardPass& pass) {
  StepColumnWave(pass, 7);
}
void StepNarrowWave(KeyboardPass& pass) {
  StepColumnWave(pass, 2);
}
void StepGradientBreathing(KeyboardPass& pass) {
  StepRandomBreathing(pass, 2);
}
void StepColumnBreathing(KeyboardPass& pass) {
  StepRandomBreathing(pass, 1);
}

}  // namespace

KeyboardBaseStep KeyboardBaseStepOf(int effect) {
  switch (effect) {
    case 4:
      return KeyboardBaseStep::kSpectrum;
    case 5:
      return KeyboardBaseStep::kBreathing;
    case 6:
      return KeyboardBaseStep::kStatic;
    case 21:
      return KeyboardBaseStep::kOff;
    case 26:
      return KeyboardBaseStep::kBreathingFourColours;
    case 27:  // stepped like blink (every pass), colours from the four-colour list
      return KeyboardBaseStep::kBlinkFourColours;
    case 34:  // the keyboard's blink, the one synchronised lighting maps to the others' blink
      return KeyboardBaseStep::kBlink;
    default:
      return KeyboardBaseStep::kNone;
  }
}

KeyboardStepFn KeyboardOwnStep(int effect) {
  switch (effect) {
    case 1:
      return StepWideWave;
    case 2:
      return StepNarrowWave;
    case 3:
      return StepSnake;
    case 7:
      return StepPressFade;
    case 8:
      return StepPressRipple;
    case 9:
      return StepPressCross;
    case 10:
      return StepTwinkle;
    case 11:
      return StepColourCycle;
    case 12:
      return StepRowWave;
    case 13:
      return StepCentreWave;
    case 14:
      return StepSlantedWave;
    case 15:
      return StepGradientBreathing;
    case 16:
      return StepBounceSweep;
    case 17:
      return StepColourSweep;
    case 18:
      return StepDiagonalRainbow;
    case 19:
      return StepRain;
    case 20:
      return StepCustomColours;
    case 25:
      return StepPressHold;
    case 29:
      return StepMusic;
    case 30:
      return StepAudioTwinkle;
    case 32:
      return StepFillSweep;
    case 33:
      return StepColumnBreathing;
    default:
      return nullptr;
  }
}

bool KeyboardHasStep(int effect) {
  return KeyboardOwnStep(effect) != nullptr ||
         KeyboardBaseStepOf(effect) != KeyboardBaseStep::kNone;
}

void SeedKeyboardEffect(int effect, KeyboardPass& pass) {
  switch (effect) {
    case 13:
      StartCentreWave(pass.fx);
      break;
    case 15:
      StartGradientBreathing(pass.fx);
      break;
    case 16:
      StartBounceSweep(pass.fx);
      break;
    case kKeyboardCustomColourEffect:
      StepCustomColours(pass);
      break;
    case 33:
      StartColumnBreathing(pass.fx);
      break;
    default:
      SeedWheelPositions(pass.fx);
      break;
  }
}

}  // namespace varkon
