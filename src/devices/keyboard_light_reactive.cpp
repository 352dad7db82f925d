#include "devices/keyboard_light_reactive.h"

#include <algorithm>

namespace varkon {
namespace {

constexpr uint8_t kRippleHueSpread = 6;
constexpr int kModePressFade = 7;
constexpr int kModePressRipple = 8;
constexpr int kModePressCross = 9;
constexpr int kModePressHold = 25;

uint8_t RandomHue(KeyboardFx& fx) {
  return static_cast<uint8_t>(fx.Random() % kWheelSize);
}

uint8_t Gap(uint8_t a, uint8_t b) {
  return a > b ? a - b : b - a;
}

template <typename Fn>
void ForEachPressed(const KeyboardLightInputs::KeyEvents& events, Fn fn) {
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    if (KeyboardLightInputs::KeyEvents::Has(events.pressed, key)) fn(key);
  }
}

bool AnyPressed(const KeyboardLightInputs::KeyEvents& events) {
  return (events.pressed[0] | events.pressed[1]) != 0;
}

void StepRipples(KeyboardPass& pass, bool cross, int mode) {
  KeyboardFx& fx = pass.fx;
  const auto events = pass.inputs.TakeKeyEvents();
  DecayKeyLevels(fx, mode);
  if (AnyPressed(events)) {
    ForEachPressed(events, [&](size_t key) { StartRipple(fx, key, cross, RandomHue(fx)); });
  }
  GrowRipples(fx);
  RenderKeyLevels(pass);
}

}  // namespace

uint8_t RippleDistance(const KeyboardRipple& ripple, KeyCell cell) {
  const uint8_t dr = Gap(cell.row, ripple.row);
  const uint8_t dc = Gap(cell.column, ripple.column);
  if (ripple.cross) return dr == 0 || dc == 0 ? static_cast<uint8_t>(dr + dc) : 255;
  return static_cast<uint8_t>(std::max(dr, dc) + std::min(dr, dc) / 2);
}

void StartRipple(KeyboardFx& fx, size_t key, bool cross, uint8_t hue) {
  if (!IsLitKey(key)) return;
  KeyboardRipple* slot = nullptr;
  for (KeyboardRipple& r : fx.ripples) {
    if (!r.active) {
      slot = &r;
      break;
    }
  }
  if (slot == nullptr) {
    // All in use: the ripple started longest ago has the largest radius.
    slot = &*std::max_element(fx.ripples.begin(), fx.ripples.end(),
                              [](const auto& a, const auto& b) { return a.radius < b.radius; });
  }
  const KeyCell cell = kKeyCells[key];
  *slot = {cell.row, cell.column, 0, hue, cross, true};
}

void GrowRipples(KeyboardFx& fx) {
  for (KeyboardRipple& ripple : fx.ripples) {
    if (!ripple.active) continue;
    const uint8_t radius = ripple.radius;
    const uint8_t hue = static_cast<uint8_t>((ripple.hue + radius * kRippleHueSpread) % kWheelSize);
    // Per row only a few column gaps can lie at the radius: dc = R − dr / 2 (dc ≥ dr),
    // dc = 2 (R − dr) or one more (dc < dr); a cross also has dc = R on its own row and dc = 0.
    for (uint8_t row = 0; row < kKeyboardRows; ++row) {
      const int dr = Gap(row, ripple.row);
      if (dr > radius) continue;
      const int candidates[] = {radius - dr / 2, 2 * (radius - dr), 2 * (radius - dr) + 1, 0};
      for (int dc : candidates) {
        for (int side : {-1, 1}) {
          const int column = ripple.column + side * dc;
          if (column < 0 || column >= static_cast<int>(kKeyboardColumns)) continue;
          const uint8_t key = kKeyboardMatrix[row][column];
          if (!IsLitKey(key) || RippleDistance(ripple, kKeyCells[key]) != radius) continue;
          fx.level[key] = 255;
          fx.hue[key] = hue;
        }
      }
    }
    if (++ripple.radius > kMaxRippleRadius) ripple.active = false;
  }
}

void StepPressFade(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const auto events = pass.inputs.TakeKeyEvents();
  DecayKeyLevels(fx, kModePressFade);
  if (AnyPressed(events)) {
    ForEachPressed(events, [&](size_t key) {
      fx.level[key] = 255;
      fx.hue[key] = RandomHue(fx);
    });
  }
  RenderKeyLevels(pass);
}

void StepPressRipple(KeyboardPass& pass) {
  StepRipples(pass, false, kModePressRipple);
}

void StepPressCross(KeyboardPass& pass) {
  StepRipples(pass, true, kModePressCross);
}

void StepPressHold(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const auto events = pass.inputs.TakeKeyEvents();
  using Events = KeyboardLightInputs::KeyEvents;
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const bool pressed = Events::Has(events.pressed, key);
    const bool released = Events::Has(events.released, key);
    if (pressed) {
      // Both since the last step: a held key was let go and pressed again (stays held); a free
      // key was tapped (lit once, then fades).
      if (!fx.held[key]) fx.hue[key] = RandomHue(fx);
      fx.held[key] = !released || fx.held[key] ? 1 : 0;
      fx.level[key] = 255;
    } else if (released) {
      fx.held[key] = 0;
    }
    if (fx.held[key]) {
      fx.level[key] = 255;
    } else if (!pressed) {
      fx.level[key] = DecayLevel(fx.level[key], kModePressHold);
    }
  }
  RenderKeyLevels(pass);
}

}  // namespace varkon
