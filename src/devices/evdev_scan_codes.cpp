#include "devices/evdev_scan_codes.h"

#include <algorithm>
#include <array>

namespace varkon {
namespace {

constexpr bool E = true;   // sent with the E0 prefix
constexpr bool N = false;  // sent without it

// Ascending by evdev code. Codes 1-88 are the keys of the original PC keyboard; their evdev
// numbers were taken from set 1, so each equals its scan code. Num Lock is reported extended and
// Pause plain (the form a key hook receives them in), Print Screen as E0 37 whatever the
// modifiers.
constexpr std::array<EvdevSet1Row, 150> kTable = {{
    {1, {0x01, N}},    // ESC
    {2, {0x02, N}},    // 1
    {3, {0x03, N}},    // 2
    {4, {0x04, N}},    // 3
    {5, {0x05, N}},    // 4
    {6, {0x06, N}},    // 5
    {7, {0x07, N}},    // 6
    {8, {0x08, N}},    // 7
    {9, {0x09, N}},    // 8
    {10, {0x0A, N}},   // 9
    {11, {0x0B, N}},   // 0
    {12, {0x0C, N}},   // MINUS
    {13, {0x0D, N}},   // EQUAL
    {14, {0x0E, N}},   // BACKSPACE
    {15, {0x0F, N}},   // TAB
    {16, {0x10, N}},   // Q
    {17, {0x11, N}},   // W
    {18, {0x12, N}},   // E
    {19, {0x13, N}},   // R
    {20, {0x14, N}},   // T
    {21, {0x15, N}},   // Y
    {22, {0x16, N}},   // U
    {23, {0x17, N}},   // I
    {24, {0x18, N}},   // O
    {25, {0x19, N}},   // P
    {26, {0x1A, N}},   // LEFTBRACE
    {27, {0x1B, N}},   // RIGHTBRACE
    {28, {0x1C, N}},   // ENTER
    {29, {0x1D, N}},   // LEFTCTRL
    {30, {0x1E, N}},   // A
    {31, {0x1F, N}},   // S
    {32, {0x20, N}},   // D
    {33, {0x21, N}},   // F
    {34, {0x22, N}},   // G
    {35, {0x23, N}},   // H
    {36, {0x24, N}},   // J
    {37, {0x25, N}},   // K
    {38, {0x26, N}},   // L
    {39, {0x27, N}},   // SEMICOLON
    {40, {0x28, N}},   // APOSTROPHE
    {41, {0x29, N}},   // GRAVE
    {42, {0x2A, N}},   // LEFTSHIFT
    {43, {0x2B, N}},   // BACKSLASH
    {44, {0x2C, N}},   // Z
    {45, {0x2D, N}},   // X
    {46, {0x2E, N}},   // C
    {47, {0x2F, N}},   // V
    {48, {0x30, N}},   // B
    {49, {0x31, N}},   // N
    {50, {0x32, N}},   // M
    {51, {0x33, N}},   // COMMA
    {52, {0x34, N}},   // DOT
    {53, {0x35, N}},   // SLASH
    {54, {0x36, N}},   // RIGHTSHIFT
    {55, {0x37, N}},   // KPASTERISK
    {56, {0x38, N}},   // LEFTALT
    {57, {0x39, N}},   // SPACE
    {58, {0x3A, N}},   // CAPSLOCK
    {59, {0x3B, N}},   // F1
    {60, {0x3C, N}},   // F2
    {61, {0x3D, N}},   // F3
    {62, {0x3E, N}},   // F4
    {63, {0x3F, N}},   // F5
    {64, {0x40, N}},   // F6
    {65, {0x41, N}},   // F7
    {66, {0x42, N}},   // F8
    {67, {0x43, N}},   // F9
    {68, {0x44, N}},   // F10
    {69, {0x45, E}},   // NUMLOCK
    {70, {0x46, N}},   // SCROLLLOCK
    {71, {0x47, N}},   // KP7
    {72, {0x48, N}},   // KP8
    {73, {0x49, N}},   // KP9
    {74, {0x4A, N}},   // KPMINUS
    {75, {0x4B, N}},   // KP4
    {76, {0x4C, N}},   // KP5
    {77, {0x4D, N}},   // KP6
    {78, {0x4E, N}},   // KPPLUS
    {79, {0x4F, N}},   // KP1
    {80, {0x50, N}},   // KP2
    {81, {0x51, N}},   // KP3
    {82, {0x52, N}},   // KP0
    {83, {0x53, N}},   // KPDOT
    {86, {0x56, N}},   // 102ND, the extra key of ISO keyboards
    {87, {0x57, N}},   // F11
    {88, {0x58, N}},   // F12
    {89, {0x73, N}},   // RO
    {90, {0x78, N}},   // KATAKANA
    {91, {0x77, N}},   // HIRAGANA
    {92, {0x79, N}},   // HENKAN
    {93, {0x70, N}},   // KATAKANAHIRAGANA
    {94, {0x7B, N}},   // MUHENKAN
    {95, {0x5C, N}},   // KPJPCOMMA
    {96, {0x1C, E}},   // KPENTER
    {97, {0x1D, E}},   // RIGHTCTRL
    {98, {0x35, E}},   // KPSLASH
    {99, {0x37, E}},   // SYSRQ (Print Screen)
    {100, {0x38, E}},  // RIGHTALT
    {102, {0x47, E}},  // HOME
    {103, {0x48, E}},  // UP
    {104, {0x49, E}},  // PAGEUP
    {105, {0x4B, E}},  // LEFT
    {106, {0x4D, E}},  // RIGHT
    {107, {0x4F, E}},  // END
    {108, {0x50, E}},  // DOWN
    {109, {0x51, E}},  // PAGEDOWN
    {110, {0x52, E}},  // INSERT
    {111, {0x53, E}},  // DELETE
    {113, {0x20, E}},  // MUTE
    {114, {0x2E, E}},  // VOLUMEDOWN
    {115, {0x30, E}},  // VOLUMEUP
    {116, {0x5E, E}},  // POWER
    {117, {0x59, N}},  // KPEQUAL
    {119, {0x45, N}},  // PAUSE
    {121, {0x7E, N}},  // KPCOMMA
    {122, {0x72, N}},  // HANGEUL
    {123, {0x71, N}},  // HANJA
    {124, {0x7D, N}},  // YEN
    {125, {0x5B, E}},  // LEFTMETA
    {126, {0x5C, E}},  // RIGHTMETA
    {127, {0x5D, E}},  // COMPOSE (the menu key)
    {128, {0x68, E}},  // STOP (browser)
    {140, {0x21, E}},  // CALC
    {142, {0x5F, E}},  // SLEEP
    {143, {0x63, E}},  // WAKEUP
    {155, {0x6C, E}},  // MAIL
    {156, {0x66, E}},  // BOOKMARKS
    {157, {0x6B, E}},  // COMPUTER
    {158, {0x6A, E}},  // BACK
    {159, {0x69, E}},  // FORWARD
    {163, {0x19, E}},  // NEXTSONG
    {164, {0x22, E}},  // PLAYPAUSE
    {165, {0x10, E}},  // PREVIOUSSONG
    {166, {0x24, E}},  // STOPCD
    {172, {0x32, E}},  // HOMEPAGE
    {173, {0x67, E}},  // REFRESH
    {183, {0x64, N}},  // F13
    {184, {0x65, N}},  // F14
    {185, {0x66, N}},  // F15
    {186, {0x67, N}},  // F16
    {187, {0x68, N}},  // F17
    {188, {0x69, N}},  // F18
    {189, {0x6A, N}},  // F19
    {190, {0x6B, N}},  // F20
    {191, {0x6C, N}},  // F21
    {192, {0x6D, N}},  // F22
    {193, {0x6E, N}},  // F23
    {194, {0x76, N}},  // F24
    {217, {0x65, E}},  // SEARCH
    {226, {0x6D, E}},  // MEDIA
}};

constexpr bool Ascending() {
  for (size_t i = 1; i < kTable.size(); ++i) {
    if (kTable[i - 1].evdevCode >= kTable[i].evdevCode) return false;
  }
  return true;
}
static_assert(Ascending(), "the table is searched by halves");

}  // namespace

std::span<const EvdevSet1Row> EvdevSet1Table() {
  return kTable;
}

std::optional<Set1Key> Set1FromEvdev(uint32_t evdevCode) {
  const auto found =
      std::lower_bound(kTable.begin(), kTable.end(), evdevCode,
                       [](const EvdevSet1Row& row, uint32_t code) { return row.evdevCode < code; });
  if (found == kTable.end() || found->evdevCode != evdevCode) return std::nullopt;
  return found->key;
}

}  // namespace varkon
