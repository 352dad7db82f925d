#include "devices/light_buffer.h"

namespace varkon {

void ColourBuffer::Resize(size_t count) {
  const size_t n = count < kMaxLights ? count : kMaxLights;
  count_.store(n, std::memory_order_relaxed);
  for (auto& record : records_) record.store(0, std::memory_order_relaxed);
}

bool ColourBuffer::SetRaw(size_t index, uint32_t value) {
  if (index >= size()) {
    rejected_.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  records_[index].store(value, std::memory_order_relaxed);
  return true;
}

uint32_t ColourBuffer::GetRaw(size_t index) const {
  if (index >= size()) return 0;
  return records_[index].load(std::memory_order_relaxed);
}

void ColourBuffer::Fill(LightColour colour) {
  const uint32_t value = colour.Pack();
  const size_t n = size();
  for (size_t i = 0; i < n; ++i) records_[i].store(value, std::memory_order_relaxed);
}

size_t ColourBuffer::Snapshot(std::span<uint32_t> out) const {
  size_t n = size();
  if (n > out.size()) n = out.size();
  for (size_t i = 0; i < n; ++i) out[i] = records_[i].load(std::memory_order_relaxed);
  return n;
}

size_t BuildHardwareFrame(const ColourBuffer& colours, std::span<uint8_t> out) {
  size_t n = colours.size();
  if (n > out.size() / 3) n = out.size() / 3;
  for (size_t i = 0; i < n; ++i) {
    const LightColour c = colours.Get(i);
    out[3 * i] = ScaleChannel(c.r, c.a);
    out[3 * i + 1] = ScaleChannel(c.g, c.a);
    out[3 * i + 2] = ScaleChannel(c.b, c.a);
  }
  return 3 * n;
}

}  // namespace varkon
