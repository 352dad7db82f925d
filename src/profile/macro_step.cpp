#include "profile/macro_step.h"

#include <cmath>
#include <limits>

#include "profile/json_access.h"

namespace varkon {

int64_t LeadingDecimal64(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value > (kMax - digit) / 10) {
      value = kMax;
      break;
    }
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

int LeadingDecimal(const std::string& text) {
  const int64_t value = LeadingDecimal64(text);
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

int64_t StepDelay(const Json::Value& delay) {
  switch (delay.type()) {
    case Json::stringValue:
      return LeadingDecimal64(delay.asString());
    case Json::intValue:
      return delay.asLargestInt();
    case Json::uintValue:
      // Wraps for values above the signed range; only the low bits are ever sent.
      return static_cast<int64_t>(delay.asLargestUInt());
    case Json::realValue: {
      const double value = std::trunc(delay.asDouble());
      if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return 0;
      return static_cast<int64_t>(value);
    }
    default:
      return 0;
  }
}

MacroStep ReadMacroStep(const Json::Value& step) {
  MacroStep result;
  result.down = StringMember(step, "Action") == "down";
  result.type = IntMember(step, "Type");
  result.button = IntMember(step, "Button");
  result.delay = StepDelay(Member(step, "Delay"));
  return result;
}

Json::Value MacroStepJson(const MacroStep& step) {
  Json::Value value(Json::objectValue);
  value["Action"] = step.down ? "down" : "up";
  value["Type"] = step.type;
  value["Button"] = step.button;
  value["Delay"] = std::to_string(step.delay);
  return value;
}

namespace {

MacroEvent Encode(int64_t delay, uint8_t type, uint8_t button, bool down) {
  const auto delayBits = static_cast<uint16_t>(delay);
  return {static_cast<uint8_t>(delayBits & 0xFF), static_cast<uint8_t>(delayBits >> 8),
          static_cast<uint8_t>(down ? type | 0x80 : type), button};
}

}  // namespace

MacroEvent EncodeMacroStep(const MacroStep& step) {
  return Encode(step.delay, static_cast<uint8_t>(step.type), static_cast<uint8_t>(step.button),
                step.down);
}

MacroEvent EncodeMacroStep(const Json::Value& step) {
  return Encode(StepDelay(Member(step, "Delay")), ByteMember(step, "Type"),
                ByteMember(step, "Button"), StringMember(step, "Action") == "down");
}

}  // namespace varkon
