// Looking through the emulated chip's call log.
#pragma once

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "devices/audio/emulated_audio_chip.h"

namespace varkon::audio_test {

inline std::vector<ChipCall> WritesOf(const EmulatedAudioChip& chip, std::string_view name) {
  std::vector<ChipCall> writes;
  for (const ChipCall& call : chip.Calls()) {
    if (call.write && call.name == name) writes.push_back(call);
  }
  return writes;
}

inline size_t WriteCount(const EmulatedAudioChip& chip) {
  size_t count = 0;
  for (const ChipCall& call : chip.Calls()) count += call.write ? 1 : 0;
  return count;
}

// The integer of the last write of `name`, none when it was never written.
inline std::optional<int32_t> LastInt(const EmulatedAudioChip& chip, std::string_view name) {
  const std::vector<ChipCall> writes = WritesOf(chip, name);
  if (writes.empty() || !std::holds_alternative<int32_t>(writes.back().value)) return std::nullopt;
  return std::get<int32_t>(writes.back().value);
}

}  // namespace varkon::audio_test
