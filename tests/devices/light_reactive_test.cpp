#include "devices/light_reactive.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace varkon {
namespace {

struct DecayCase {
  int mode;
  uint8_t level;
  uint8_t next;
};

// Both edges of every band of the three decay tables.
TEST(DecayLevel, BandEdges) {
  const DecayCase cases[] = {
      {0, 255, 215}, {0, 128, 88},   {0, 127, 97},  {0, 64, 34},   {0, 63, 48},   {0, 32, 17},
      {0, 31, 23},   {0, 17, 9},     {0, 16, 15},   {0, 1, 0},     {0, 0, 0},     {29, 255, 210},
      {29, 144, 99}, {29, 143, 103}, {29, 128, 88}, {29, 127, 92}, {29, 112, 77}, {29, 111, 81},
      {29, 96, 66},  {29, 95, 70},   {29, 80, 55},  {29, 79, 59},  {29, 64, 44},  {29, 63, 53},
      {29, 32, 22},  {29, 31, 26},   {29, 17, 12},  {29, 16, 15},  {29, 0, 0},    {6, 255, 215},
      {7, 100, 70},  {255, 63, 53},  {-3, 32, 22},  {6, 20, 12},   {6, 5, 4},     {6, 0, 0}};
  for (const DecayCase& c : cases) {
    EXPECT_EQ(DecayLevel(c.level, c.mode), c.next)
        << "mode " << c.mode << " level " << int(c.level);
  }
}

TEST(DecayLevel, EveryLevelReachesZeroAndNeverUnderflows) {
  for (int mode : {0, 29, 1}) {
    for (int start = 0; start < 256; ++start) {
      uint8_t v = static_cast<uint8_t>(start);
      int steps = 0;
      while (v != 0 && steps < 300) {
        const uint8_t next = DecayLevel(v, mode);
        ASSERT_LT(next, v) << "mode " << mode << " level " << int(v);
        v = next;
        ++steps;
      }
      EXPECT_EQ(v, 0);
    }
  }
}

TEST(ReactiveState, MarkLightsTheRingPositionsGiven) {
  ReactiveState r;
  r.set_ring(2, 1);
  r.set_ring(8, 3);
  r.set_ring(9, 1);  // beyond the base positions 0-8
  r.set_ring(20, 1);
  r.Mark();
  EXPECT_EQ(r.level(2), 255);
  EXPECT_EQ(r.level(8), 255);
  EXPECT_EQ(r.level(9), 0);
  EXPECT_EQ(r.level(3), 0);
  r.Mark(15);  // the pad's variant: every light
  EXPECT_EQ(r.level(9), 255);
  EXPECT_EQ(r.level(20), 0);
  r.Mark(500);  // clamped to the 23 entries
  EXPECT_EQ(r.level(20), 255);
}

std::vector<uint8_t> Ring(const ReactiveState& r) {
  std::vector<uint8_t> v;
  for (size_t i = 0; i < kRingSize; ++i) v.push_back(r.ring(i));
  return v;
}

TEST(ReactiveState, RotateTowardsHigherMovesTheLastToTheFront) {
  ReactiveState r;
  for (size_t i = 0; i < kRingSize; ++i) r.set_ring(i, static_cast<uint8_t>(i + 1));
  r.Rotate(true);
  EXPECT_EQ(r.ring(0), 23);
  EXPECT_EQ(r.ring(1), 1);
  EXPECT_EQ(r.ring(22), 22);
  r.Rotate(false);
  r.Rotate(false);
  EXPECT_EQ(r.ring(0), 2);
  EXPECT_EQ(r.ring(22), 1);
}

TEST(ReactiveState, RotatePartOfTheRingLeavesTheRest) {
  ReactiveState r;
  for (size_t i = 0; i < kRingSize; ++i) r.set_ring(i, static_cast<uint8_t>(i + 1));
  r.Rotate(true, 8);
  EXPECT_EQ(r.ring(0), 8);
  EXPECT_EQ(r.ring(7), 7);
  EXPECT_EQ(r.ring(8), 9);
  r.Rotate(false, 100);  // clamped to 23
  EXPECT_EQ(r.ring(22), 8);
  const auto before = Ring(r);
  r.Rotate(true, 1);  // one entry cannot move
  r.Rotate(true, 0);
  EXPECT_EQ(Ring(r), before);
}

TEST(ReactiveState, ClearZeroesLevelsRisingAndRing) {
  ReactiveState r;
  r.set_level(169, 200);
  r.set_rising(3, true);
  r.set_ring(22, 1);
  r.set_hue(5, 77);
  r.Clear();
  EXPECT_EQ(r.level(169), 0);
  EXPECT_FALSE(r.rising(3));
  EXPECT_EQ(r.ring(22), 0);
  EXPECT_EQ(r.hue(5), 77);  // hues are positions, not intensities
}

TEST(ReactiveState, OutOfRangeIsIgnored) {
  ReactiveState r;
  r.set_level(kReactiveLights, 9);
  r.set_ring(kRingSize, 9);
  EXPECT_EQ(r.level(kReactiveLights), 0);
  EXPECT_EQ(r.ring(kRingSize), 0);
  EXPECT_EQ(r.Decay(1000, 0), 0);
}

// An input thread marks keys while the light thread decays them (ThreadSanitizer guards this).
TEST(ReactiveState, ConcurrentMarkAndDecay) {
  ReactiveState r;
  std::thread input([&] {
    for (int n = 0; n < 20000; ++n) r.set_level(static_cast<size_t>(n % kReactiveLights), 255);
  });
  for (int n = 0; n < 200; ++n) {
    for (size_t i = 0; i < kReactiveLights; ++i) r.Decay(i, 0);
  }
  input.join();
  for (int n = 0; n < 40; ++n) {  // 255 needs 20 decay steps to reach 0
    for (size_t i = 0; i < kReactiveLights; ++i) r.Decay(i, 0);
  }
  for (size_t i = 0; i < kReactiveLights; ++i) EXPECT_EQ(r.level(i), 0) << i;
}

}  // namespace
}  // namespace varkon
