#include "emulator/reply_latency.h"

#include <cctype>

namespace varkon {

int ReplyLatencyMs(EmulatedKind kind, int cableLatencyMs) {
  if (cableLatencyMs <= 0) return 0;
  return kind == EmulatedKind::Receiver ? cableLatencyMs * kReceiverLatencyFactor : cableLatencyMs;
}

bool ParseLatencyMs(const std::string& text, int& ms) {
  // Digits only: no sign, no spaces, and short enough that the value cannot overflow.
  if (text.empty() || text.size() > 4) return false;
  int value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxCableLatencyMs) return false;
  ms = value;
  return true;
}

}  // namespace varkon
