// The five device identities the emulator can plug, and their names on the command line.
#pragma once

#include <string>
#include <vector>

namespace varkon {

enum class EmulatedKind { Keyboard, Mouse, Receiver, Pad, Headset };

constexpr int kEmulatedKindCount = 5;

// "keyboard", "mouse", "receiver", "pad", "headset".
const char* EmulatedKindName(EmulatedKind kind);

// All kinds in declaration order.
std::vector<EmulatedKind> AllEmulatedKinds();

// Parses a comma-separated list of names (spaces around names allowed) or "all". Duplicates are
// kept once, in first-seen order. False, with `kinds` untouched, on an empty entry or an
// unknown name.
bool ParseEmulatedKinds(const std::string& list, std::vector<EmulatedKind>& kinds);

}  // namespace varkon
