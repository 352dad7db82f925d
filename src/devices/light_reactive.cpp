#include "devices/light_reactive.h"

namespace varkon {
namespace {

struct DecayBand {
  uint8_t atLeast;
  uint8_t amount;
};

// Bands from the top; the first whose lower bound the level reaches gives the decrement.
constexpr DecayBand kDecayMode0[] = {{128, 40}, {64, 30}, {32, 15}, {17, 8}, {1, 1}};
constexpr DecayBand kDecayMode29[] = {{144, 45}, {128, 40}, {112, 35}, {96, 30}, {80, 25},
                                      {64, 20},  {32, 10},  {17, 5},   {1, 1}};
constexpr DecayBand kDecayOther[] = {{128, 40}, {64, 30}, {32, 10}, {17, 8}, {1, 1}};

template <size_t N>
uint8_t Decay(uint8_t level, const DecayBand (&bands)[N]) {
  for (const DecayBand& band : bands) {
    if (level >= band.atLeast) return static_cast<uint8_t>(level - band.amount);
  }
  return 0;
}

}  // namespace

uint8_t DecayLevel(uint8_t level, int mode) {
  if (mode == 0) return Decay(level, kDecayMode0);
  if (mode == 29) return Decay(level, kDecayMode29);
  return Decay(level, kDecayOther);
}

uint8_t ReactiveState::Decay(size_t i, int mode) {
  if (i >= kReactiveLights) return 0;
  const uint8_t next = DecayLevel(Load(levels_[i]), mode);
  levels_[i].store(next, std::memory_order_relaxed);
  return next;
}

void ReactiveState::Mark(size_t positions) {
  if (positions > kRingSize) positions = kRingSize;
  for (size_t i = 0; i < positions; ++i) {
    if (Load(ring_[i]) != 0) levels_[i].store(255, std::memory_order_relaxed);
  }
}

void ReactiveState::Rotate(bool towardsHigher, size_t count) {
  if (count > kRingSize) count = kRingSize;
  if (count < 2) return;
  if (towardsHigher) {
    const uint8_t last = Load(ring_[count - 1]);
    for (size_t i = count - 1; i > 0; --i)
      ring_[i].store(Load(ring_[i - 1]), std::memory_order_relaxed);
    ring_[0].store(last, std::memory_order_relaxed);
  } else {
    const uint8_t first = Load(ring_[0]);
    for (size_t i = 0; i + 1 < count; ++i)
      ring_[i].store(Load(ring_[i + 1]), std::memory_order_relaxed);
    ring_[count - 1].store(first, std::memory_order_relaxed);
  }
}

void ReactiveState::Clear() {
  for (auto& v : levels_) v.store(0, std::memory_order_relaxed);
  for (auto& v : rising_) v.store(0, std::memory_order_relaxed);
  for (auto& v : ring_) v.store(0, std::memory_order_relaxed);
}

}  // namespace varkon
