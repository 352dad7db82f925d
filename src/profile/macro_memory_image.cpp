#include "profile/macro_memory_image.h"

#include <limits>

namespace varkon {

namespace {

void PutWord(std::vector<uint8_t>& image, size_t offset, uint64_t value) {
  image[offset] = static_cast<uint8_t>(value & 0xFF);
  image[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

uint64_t MacroImageSize(const std::vector<uint64_t>& eventCounts) {
  // Saturates instead of wrapping, so an absurd count never looks small.
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  uint64_t size = kMacroImageHeaderSize;
  for (uint64_t count : eventCounts) {
    const uint64_t block = count > (kMax - 6) / 4 ? kMax : 6 + 4 * count;
    size = block > kMax - size ? kMax : size + block;
  }
  return size;
}

int MacroImageOverflow(uint64_t size, int capacityUnits) {
  const uint64_t capacity = capacityUnits > 0 ? static_cast<uint64_t>(capacityUnits) * 128 : 0;
  if (size <= capacity) return 0;
  const uint64_t over = (size - capacity) / 4 + 1;
  constexpr auto kIntMax = static_cast<uint64_t>(std::numeric_limits<int>::max());
  return static_cast<int>(over > kIntMax ? kIntMax : over);
}

bool BuildMacroMemoryImage(const std::vector<MacroBlock>& blocks, std::vector<uint8_t>& image) {
  image.clear();
  std::vector<uint64_t> counts;
  counts.reserve(blocks.size());
  for (const MacroBlock& block : blocks) counts.push_back(block.size());
  const uint64_t size = MacroImageSize(counts);
  if (size > kMacroImageMaxSize) return false;

  image.assign(static_cast<size_t>(size), 0);
  image[0] = 0xAA;
  image[1] = 0x55;
  PutWord(image, 2, size);
  PutWord(image, 4, blocks.size());
  size_t offset = kMacroImageHeaderSize + 2 * blocks.size();
  for (size_t i = 0; i < blocks.size(); ++i) {
    PutWord(image, kMacroImageHeaderSize + 2 * i, offset);
    PutWord(image, offset, blocks[i].size());
    offset += 4;
    for (const MacroEvent& event : blocks[i]) {
      for (uint8_t byte : event) image[offset++] = byte;
    }
  }
  return true;
}

}  // namespace varkon
