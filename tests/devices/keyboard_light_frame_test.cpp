// The keyboard's streamed frame and custom colour page, placed through keyLed.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "devices/keyboard_light_engine.h"
#include "devices/keyboard_light_frame.h"

namespace varkon {
namespace {

std::array<uint8_t, kKeyboardLights> NoLeds() {
  std::array<uint8_t, kKeyboardLights> leds;
  leds.fill(kNoLed);
  return leds;
}

TEST(KeyboardFrame, PlacesEachKeyAtThreeTimesItsLedByteExact) {
  ColourBuffer colours(kKeyboardLights);
  colours.Set(0, LightColour(255, 128, 1, 255));
  colours.Set(5, LightColour(200, 100, 50, 128));
  colours.Set(9, LightColour(90, 90, 90, 255));  // no LED
  auto leds = NoLeds();
  leds[0] = 2;
  leds[5] = 0;
  std::array<uint8_t, kKeyboardFrameBuffer> frame;
  frame.fill(0xEE);
  ASSERT_EQ(BuildKeyboardFrame(colours, leds, 4, frame), 12u);
  const std::vector<uint8_t> expected = {100, 50, 25, 0, 0, 0, 254, 127, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.begin() + 12), expected);
  EXPECT_EQ(frame[12], 0xEE);  // beyond the frame: untouched
}

TEST(KeyboardFrame, SkipsLedsBeyondTheCountAndKeysWithoutALight) {
  ColourBuffer colours(kKeyboardLights);
  colours.Set(7, LightColour(255, 255, 255, 255));
  colours.Set(104, LightColour(0, 0, 200, 255));
  colours.Set(130, LightColour(9, 9, 9, 255));  // a list index without a light
  auto leds = NoLeds();
  leds[7] = 4;  // past a 4-LED keyboard
  leds[104] = 1;
  leds[130] = 1;  // shares the empty key's LED
  std::array<uint8_t, kKeyboardFrameBuffer> frame{};
  ASSERT_EQ(BuildKeyboardFrame(colours, leds, 4, frame), 12u);
  EXPECT_EQ(frame[3], 0);
  EXPECT_EQ(frame[5], 199);
  for (size_t i = 12; i < frame.size(); ++i) ASSERT_EQ(frame[i], 0) << i;
}

TEST(KeyboardFrame, LengthFollowsTheLedCountWithinTheBuffer) {
  ColourBuffer colours(kKeyboardLights);
  auto leds = NoLeds();
  std::array<uint8_t, kKeyboardFrameBuffer> frame{};
  EXPECT_EQ(BuildKeyboardFrame(colours, leds, 104, frame), 312u);
  EXPECT_EQ(BuildKeyboardFrame(colours, leds, 171, frame), 510u);
  EXPECT_EQ(BuildKeyboardFrame(colours, leds, 1000, frame), 510u);
  std::array<uint8_t, 10> small{};
  EXPECT_EQ(BuildKeyboardFrame(colours, leds, 104, small), 9u);
  // A key whose LED lies past a small buffer is not written.
  leds[0] = 3;
  colours.Set(0, LightColour(255, 255, 255, 255));
  EXPECT_EQ(BuildKeyboardFrame(colours, leds, 104, small), 9u);
  EXPECT_EQ(small[9], 0);
  // keyLed shorter than the list: the missing keys have no LED.
  const std::array<uint8_t, 1> oneLed = {2};
  EXPECT_EQ(BuildKeyboardFrame(colours, oneLed, 4, frame), 12u);
  EXPECT_EQ(frame[6], 254);
  EXPECT_EQ(BuildKeyboardFrame(colours, {}, 0, frame), 0u);
}

TEST(KeyboardFrame, HighestLedFillsTheLast3Bytes) {
  ColourBuffer colours(kKeyboardLights);
  colours.Set(125, LightColour(10, 20, 30, 255));
  auto leds = NoLeds();
  leds[125] = 169;
  std::array<uint8_t, kKeyboardFrameBuffer> frame{};
  ASSERT_EQ(BuildKeyboardFrame(colours, leds, 170, frame), 510u);
  EXPECT_EQ(frame[507], 9);
  EXPECT_EQ(frame[508], 19);
  EXPECT_EQ(frame[509], 29);
}

TEST(KeyboardFrame, StreamedEffectsAreTheMusicOnes) {
  for (int e = 0; e < 40; ++e) EXPECT_EQ(StreamsLightFrames(e), e == 29 || e == 30) << e;
}

TEST(KeyboardColourPage, WritesAndReadsColoursByLed) {
  std::array<Rgb, kKeyboardLights> colours{};
  colours[0] = {1, 2, 3};
  colours[50] = {4, 5, 6};
  colours[104] = {7, 8, 9};
  colours[140] = {99, 99, 99};  // no light: would clobber the empty key's LED
  auto leds = NoLeds();
  leds[0] = 1;
  leds[50] = 0;
  leds[104] = 2;
  leds[140] = 2;
  std::array<uint8_t, kKeyboardFrameBuffer> page;
  page.fill(0xAA);
  ASSERT_EQ(BuildCustomColourPage(colours, leds, 3, page), 9u);
  const std::vector<uint8_t> expected = {4, 5, 6, 1, 2, 3, 7, 8, 9};
  EXPECT_EQ(std::vector<uint8_t>(page.begin(), page.begin() + 9), expected);

  std::array<Rgb, kKeyboardLights> back{};
  back[60] = {42, 42, 42};  // no LED: kept
  ReadCustomColourPage(std::span<const uint8_t>(page.data(), 9), leds, back);
  EXPECT_EQ(back[0], colours[0]);
  EXPECT_EQ(back[50], colours[50]);
  EXPECT_EQ(back[104], colours[104]);
  EXPECT_EQ(back[140], Rgb{});
  EXPECT_EQ(back[60], (Rgb{42, 42, 42}));
  // A short page leaves the keys whose LED it does not reach alone.
  std::array<Rgb, kKeyboardLights> partial{};
  ReadCustomColourPage(std::span<const uint8_t>(page.data(), 5), leds, partial);
  EXPECT_EQ(partial[50], colours[50]);
  EXPECT_EQ(partial[0], Rgb{});
}

TEST(KeyboardFrame, EngineStreamsItsMusicFrame) {
  LightClassShared shared;
  KeyboardLightEngine engine(kKeyboardLights, shared, TickRule::kEveryPass);
  KeyboardAudioLight light;
  light.style = static_cast<uint8_t>(MusicStyle::kPulse);
  light.background = {0, 0, 0};
  light.foreground = {200, 100, 0};
  engine.SetAudioLight(light);
  LightState s;
  s.mode = 29;
  s.brightness = 3;
  engine.SetLightState(s);
  engine.Pass(10);
  const std::vector<int32_t> loud(kAudioBands, 2000);
  engine.FeedAudioLevels(loud);
  engine.Pass(20);
  engine.Pass(30);
  auto leds = NoLeds();
  leds[110] = 0;  // the Fn key
  std::array<uint8_t, kKeyboardFrameBuffer> frame{};
  ASSERT_EQ(engine.BuildFrame(leds, 1, frame), 3u);
  EXPECT_EQ(frame[0], 200 * 195 / 256);
  EXPECT_EQ(frame[1], 100 * 195 / 256);
  EXPECT_EQ(frame[2], 0);
}

}  // namespace
}  // namespace varkon
