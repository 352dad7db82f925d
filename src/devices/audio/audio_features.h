// The feature list an endpoint answers to "GetSupportFeature": comma-separated decimal fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace varkon {

struct AudioFeatures {
  uint32_t features = 0;  // field 0; bit kFeatureVoiceChanger = voice changer available
  uint32_t feature4 = 0;  // field 4, kept only
  uint32_t feature6 = 0;  // field 6, kept only
  friend bool operator==(const AudioFeatures&, const AudioFeatures&) = default;
};

inline constexpr int kMinFeatureFields = 7;

// The text ends at its first zero byte; empty fields are dropped. Each field counts its leading
// decimal digits (0 when none, 0 when they overflow 32 bits). No value with fewer than seven
// fields.
std::optional<AudioFeatures> ParseFeatureList(std::string_view text);

}  // namespace varkon
