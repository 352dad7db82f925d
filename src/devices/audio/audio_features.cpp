#include "devices/audio/audio_features.h"

#include <charconv>
#include <vector>

namespace varkon {

namespace {

uint32_t LeadingDecimal(std::string_view field) {
  uint32_t value = 0;
  const auto [ptr, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() ? value : 0;
}

}  // namespace

std::optional<AudioFeatures> ParseFeatureList(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string_view> fields;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view field = text.substr(0, comma);
    if (!field.empty()) fields.push_back(field);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (fields.size() < kMinFeatureFields) return std::nullopt;
  return AudioFeatures{LeadingDecimal(fields[0]), LeadingDecimal(fields[4]),
                       LeadingDecimal(fields[6])};
}

}  // namespace varkon
