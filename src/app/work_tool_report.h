// The block the program reports to an external work tool that asks for it: the program version
// and the identity of every supported device model.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varkon {

inline constexpr std::array<uint8_t, 4> kReportedVersion = {2, 3, 0, 2};

inline constexpr size_t kWorkToolReportSize = 1024;

// All zero except 32-bit little-endian integers: 0-3 the four version bytes, 4 the number of
// device models, then per model row i at 5+3i, 6+3i, 7+3i its vendor id, product id and kind.
std::array<uint8_t, kWorkToolReportSize> BuildWorkToolReport(
    const std::array<uint8_t, 4>& version = kReportedVersion);

}  // namespace varkon
