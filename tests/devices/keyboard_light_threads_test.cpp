// The keyboard engine shared between its light thread, the input readers and the UI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "devices/keyboard_light_engine.h"

namespace varkon {
namespace {

TEST(KeyboardLightThreads, InputsPaintingAndStepsRunTogether) {
  LightClassShared shared;
  KeyboardLightEngine engine(kKeyboardLights, shared, TickRule::kTickChangeOver1Ms);
  ManualLightClock clock(100);
  std::atomic<bool> stop{false};
  std::atomic<int> passes{0};

  std::thread light([&] {
    while (!stop.load()) {
      clock.Advance(3);
      engine.Pass(clock.NowMs());
      passes.fetch_add(1);
    }
  });
  std::thread keys([&] {
    for (size_t i = 0; !stop.load(); ++i) {
      engine.PressKey(i % 130);
      engine.ReleaseKey((i + 60) % 130);
      std::this_thread::yield();
    }
  });

  // The UI thread: effects, music, custom colours, the painter and the frame.
  std::array<uint8_t, kKeyboardLights> leds;
  for (size_t i = 0; i < leds.size(); ++i) leds[i] = static_cast<uint8_t>(i < 126 ? i : 255);
  std::array<uint8_t, 512> frame{};
  std::vector<int32_t> levels(kAudioBands);
  size_t painted = 0;
  for (int round = 0; round < 400; ++round) {
    LightState s;
    s.mode = static_cast<uint8_t>(1 + round % 34);
    s.speed = static_cast<uint8_t>(round % 5);
    s.brightness = 4;
    s.multicolour = round % 2;
    engine.SetLightState(s);
    KeyboardAudioLight light;
    light.style = static_cast<uint8_t>(round % 7);
    light.foreground = {200, 10, 10};
    engine.SetAudioLight(light);
    for (size_t b = 0; b < levels.size(); ++b)
      levels[b] = static_cast<int32_t>((round * 97 + b) % 2500);
    engine.FeedAudioLevels(levels);
    engine.SetCustomColour(round % 126, Rgb{1, 2, 3});
    if (round % 50 == 0) engine.RestartEffect();
    engine.PaintPreview([&](size_t, const PreviewCell&) { ++painted; });
    ASSERT_EQ(engine.BuildFrame(leds, 126, frame), 378u);
    std::this_thread::yield();
  }
  // Let the light thread make progress on a busy machine before stopping.
  while (passes.load() < 200) std::this_thread::yield();
  stop.store(true);
  light.join();
  keys.join();
  EXPECT_EQ(painted, 400u * kKeyboardLights);
  EXPECT_EQ(engine.colours().rejectedWrites(), 0u);
}

}  // namespace
}  // namespace varkon
