#include "emulator/emulated_kind.h"

#include <algorithm>

namespace varkon {

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool KindByName(const std::string& name, EmulatedKind& kind) {
  for (EmulatedKind candidate : AllEmulatedKinds()) {
    if (name == EmulatedKindName(candidate)) {
      kind = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

const char* EmulatedKindName(EmulatedKind kind) {
  switch (kind) {
    case EmulatedKind::Keyboard:
      return "keyboard";
    case EmulatedKind::Mouse:
      return "mouse";
    case EmulatedKind::Receiver:
      return "receiver";
    case EmulatedKind::Pad:
      return "pad";
    case EmulatedKind::Headset:
      return "headset";
  }
  return "unknown";
}

std::vector<EmulatedKind> AllEmulatedKinds() {
  return {EmulatedKind::Keyboard, EmulatedKind::Mouse, EmulatedKind::Receiver, EmulatedKind::Pad,
          EmulatedKind::Headset};
}

bool ParseEmulatedKinds(const std::string& list, std::vector<EmulatedKind>& kinds) {
  if (Trimmed(list) == "all") {
    kinds = AllEmulatedKinds();
    return true;
  }
  std::vector<EmulatedKind> parsed;
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(',', start);
    const std::string name =
        Trimmed(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    EmulatedKind kind;
    if (name.empty() || !KindByName(name, kind)) return false;
    if (std::find(parsed.begin(), parsed.end(), kind) == parsed.end()) parsed.push_back(kind);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  kinds = parsed;
  return true;
}

}  // namespace varkon
