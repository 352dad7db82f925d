#include "devices/audio/audio_properties.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace varkon {

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string EqSliderProperty(int band) {
  if (band < 0 || band >= kEqBandCount) return {};
  return "EQ_Slider" + std::to_string(band + 1);
}

std::optional<int32_t> ParseChipInt(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<float> ParseChipFloat(std::string_view text) {
  text = Trimmed(text);
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return static_cast<float>(value);
}

int32_t LevelOfScalar(float scalar) {
  if (!std::isfinite(scalar)) return 0;
  const float level = std::clamp(scalar * 100.0f, 0.0f, 100.0f);
  return static_cast<int32_t>(level);
}

float ScalarOfLevel(int32_t level) {
  return static_cast<float>(std::clamp(level, 0, 100)) / 100.0f;
}

}  // namespace varkon
