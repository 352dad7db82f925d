#include "devices/key_tables.h"

namespace varkon {
namespace {

const std::array<KeyRow, kKeyCodeRowCount> kKeyCodeTable = {{
    {{kAssignKeyboard, 0x01, 0x00}, "keyboard_key_LCtrl"},             // 0
    {{kAssignKeyboard, 0x02, 0x00}, "keyboard_key_LShift"},            // 1
    {{kAssignKeyboard, 0x04, 0x00}, "keyboard_key_LAlt"},              // 2
    {{kAssignKeyboard, 0x08, 0x00}, "keyboard_key_LWin"},              // 3
    {{kAssignKeyboard, 0x10, 0x00}, "keyboard_key_RCtrl"},             // 4
    {{kAssignKeyboard, 0x20, 0x00}, "keyboard_key_RShift"},            // 5
    {{kAssignKeyboard, 0x40, 0x00}, "keyboard_key_RAlt"},              // 6
    {{kAssignKeyboard, 0x80, 0x00}, "keyboard_key_RWin"},              // 7
    {{kAssignKeyboard, 0x00, 0x04}, "keyboard_key_A"},                 // 8
    {{kAssignKeyboard, 0x00, 0x05}, "keyboard_key_B"},                 // 9
    {{kAssignKeyboard, 0x00, 0x06}, "keyboard_key_C"},                 // 10
    {{kAssignKeyboard, 0x00, 0x07}, "keyboard_key_D"},                 // 11
    {{kAssignKeyboard, 0x00, 0x08}, "keyboard_key_E"},                 // 12
    {{kAssignKeyboard, 0x00, 0x09}, "keyboard_key_F"},                 // 13
    {{kAssignKeyboard, 0x00, 0x0A}, "keyboard_key_G"},                 // 14
    {{kAssignKeyboard, 0x00, 0x0B}, "keyboard_key_H"},                 // 15
    {{kAssignKeyboard, 0x00, 0x0C}, "keyboard_key_I"},                 // 16
    {{kAssignKeyboard, 0x00, 0x0D}, "keyboard_key_J"},                 // 17
    {{kAssignKeyboard, 0x00, 0x0E}, "keyboard_key_K"},                 // 18
    {{kAssignKeyboard, 0x00, 0x0F}, "keyboard_key_L"},                 // 19
    {{kAssignKeyboard, 0x00, 0x10}, "keyboard_key_M"},                 // 20
    {{kAssignKeyboard, 0x00, 0x11}, "keyboard_key_N"},                 // 21
    {{kAssignKeyboard, 0x00, 0x12}, "keyboard_key_O"},                 // 22
    {{kAssignKeyboard, 0x00, 0x13}, "keyboard_key_P"},                 // 23
    {{kAssignKeyboard, 0x00, 0x14}, "keyboard_key_Q"},                 // 24
    {{kAssignKeyboard, 0x00, 0x15}, "keyboard_key_R"},                 // 25
    {{kAssignKeyboard, 0x00, 0x16}, "keyboard_key_S"},                 // 26
    {{kAssignKeyboard, 0x00, 0x17}, "keyboard_key_T"},                 // 27
    {{kAssignKeyboard, 0x00, 0x18}, "keyboard_key_U"},                 // 28
    {{kAssignKeyboard, 0x00, 0x19}, "keyboard_key_V"},                 // 29
    {{kAssignKeyboard, 0x00, 0x1A}, "keyboard_key_W"},                 // 30
    {{kAssignKeyboard, 0x00, 0x1B}, "keyboard_key_X"},                 // 31
    {{kAssignKeyboard, 0x00, 0x1C}, "keyboard_key_Y"},                 // 32
    {{kAssignKeyboard, 0x00, 0x1D}, "keyboard_key_Z"},                 // 33
    {{kAssignKeyboard, 0x00, 0x1E}, "keyboard_key_1"},                 // 34
    {{kAssignKeyboard, 0x00, 0x1F}, "keyboard_key_2"},                 // 35
    {{kAssignKeyboard, 0x00, 0x20}, "keyboard_key_3"},                 // 36
    {{kAssignKeyboard, 0x00, 0x21}, "keyboard_key_4"},                 // 37
    {{kAssignKeyboard, 0x00, 0x22}, "keyboard_key_5"},                 // 38
    {{kAssignKeyboard, 0x00, 0x23}, "keyboard_key_6"},                 // 39
    {{kAssignKeyboard, 0x00, 0x24}, "keyboard_key_7"},                 // 40
    {{kAssignKeyboard, 0x00, 0x25}, "keyboard_key_8"},                 // 41
    {{kAssignKeyboard, 0x00, 0x26}, "keyboard_key_9"},                 // 42
    {{kAssignKeyboard, 0x00, 0x27}, "keyboard_key_0"},                 // 43
    {{kAssignKeyboard, 0x00, 0x28}, "keyboard_key_Enter"},             // 44
    {{kAssignKeyboard, 0x00, 0x29}, "keyboard_key_Esc"},               // 45
    {{kAssignKeyboard, 0x00, 0x2A}, "keyboard_key_BackSpace"},         // 46
    {{kAssignKeyboard, 0x00, 0x2B}, "keyboard_key_Tab"},               // 47
    {{kAssignKeyboard, 0x00, 0x2C}, "keyboard_key_Space"},             // 48
    {{kAssignKeyboard, 0x00, 0x2D}, "keyboard_key_-"},                 // 49
    {{kAssignKeyboard, 0x00, 0x2E}, "keyboard_key_="},                 // 50
    {{kAssignKeyboard, 0x00, 0x2F}, "keyboard_key_["},                 // 51
    {{kAssignKeyboard, 0x00, 0x30}, "keyboard_key_]"},                 // 52
    {{kAssignKeyboard, 0x00, 0x31}, "keyboard_key_xiegang"},           // 53
    {{kAssignKeyboard, 0x00, 0x33}, "keyboard_key_;"},                 // 54
    {{kAssignKeyboard, 0x00, 0x34}, "keyboard_key_'"},                 // 55
    {{kAssignKeyboard, 0x00, 0x35}, "keyboard_key_`"},                 // 56
    {{kAssignKeyboard, 0x00, 0x36}, "keyboard_key_<"},                 // 57
    {{kAssignKeyboard, 0x00, 0x37}, "keyboard_key_."},                 // 58
    {{kAssignKeyboard, 0x00, 0x38}, "keyboard_key_/"},                 // 59
    {{kAssignKeyboard, 0x00, 0x39}, "keyboard_key_Caplk"},             // 60
    {{kAssignKeyboard, 0x00, 0x3A}, "keyboard_key_F1"},                // 61
    {{kAssignKeyboard, 0x00, 0x3B}, "keyboard_key_F2"},                // 62
    {{kAssignKeyboard, 0x00, 0x3C}, "keyboard_key_F3"},                // 63
    {{kAssignKeyboard, 0x00, 0x3D}, "keyboard_key_F4"},                // 64
    {{kAssignKeyboard, 0x00, 0x3E}, "keyboard_key_F5"},                // 65
    {{kAssignKeyboard, 0x00, 0x3F}, "keyboard_key_F6"},                // 66
    {{kAssignKeyboard, 0x00, 0x40}, "keyboard_key_F7"},                // 67
    {{kAssignKeyboard, 0x00, 0x41}, "keyboard_key_F8"},                // 68
    {{kAssignKeyboard, 0x00, 0x42}, "keyboard_key_F9"},                // 69
    {{kAssignKeyboard, 0x00, 0x43}, "keyboard_key_F10"},               // 70
    {{kAssignKeyboard, 0x00, 0x44}, "keyboard_key_F11"},               // 71
    {{kAssignKeyboard, 0x00, 0x45}, "keyboard_key_F12"},               // 72
    {{kAssignKeyboard, 0x00, 0x46}, "keyboard_key_Print Scr"},         // 73
    {{kAssignKeyboard, 0x00, 0x47}, "keyboard_key_Scroll Lock"},       // 74
    {{kAssignKeyboard, 0x00, 0x48}, "keyboard_key_Pause"},             // 75
    {{kAssignKeyboard, 0x00, 0x49}, "keyboard_key_Insert"},            // 76
    {{kAssignKeyboard, 0x00, 0x4A}, "keyboard_key_Home"},              // 77
    {{kAssignKeyboard, 0x00, 0x4B}, "keyboard_key_Page Up"},           // 78
    {{kAssignKeyboard, 0x00, 0x4C}, "keyboard_key_Delete"},            // 79
    {{kAssignKeyboard, 0x00, 0x4D}, "keyboard_key_End"},               // 80
    {{kAssignKeyboard, 0x00, 0x4E}, "keyboard_key_Page Down"},         // 81
    {{kAssignKeyboard, 0x00, 0x4F}, "keyboard_key_Right"},             // 82
    {{kAssignKeyboard, 0x00, 0x50}, "keyboard_key_Left"},              // 83
    {{kAssignKeyboard, 0x00, 0x51}, "keyboard_key_Down"},              // 84
    {{kAssignKeyboard, 0x00, 0x52}, "keyboard_key_Up"},                // 85
    {{kAssignKeyboard, 0x00, 0x53}, "keyboard_key_Num Lock"},          // 86
    {{kAssignKeyboard, 0x00, 0x54}, "keyboard_key_Num /"},             // 87
    {{kAssignKeyboard, 0x00, 0x55}, "keyboard_key_Num *"},             // 88
    {{kAssignKeyboard, 0x00, 0x56}, "keyboard_key_Num -"},             // 89
    {{kAssignKeyboard, 0x00, 0x57}, "keyboard_key_Num +"},             // 90
    {{kAssignKeyboard, 0x00, 0x58}, "keyboard_key_Num Enter"},         // 91
    {{kAssignKeyboard, 0x00, 0x59}, "keyboard_key_Num 1"},             // 92
    {{kAssignKeyboard, 0x00, 0x5A}, "keyboard_key_Num 2"},             // 93
    {{kAssignKeyboard, 0x00, 0x5B}, "keyboard_key_Num 3"},             // 94
    {{kAssignKeyboard, 0x00, 0x5C}, "keyboard_key_Num 4"},             // 95
    {{kAssignKeyboard, 0x00, 0x5D}, "keyboard_key_Num 5"},             // 96
    {{kAssignKeyboard, 0x00, 0x5E}, "keyboard_key_Num 6"},             // 97
    {{kAssignKeyboard, 0x00, 0x5F}, "keyboard_key_Num 7"},             // 98
    {{kAssignKeyboard, 0x00, 0x60}, "keyboard_key_Num 8"},             // 99
    {{kAssignKeyboard, 0x00, 0x61}, "keyboard_key_Num 9"},             // 100
    {{kAssignKeyboard, 0x00, 0x62}, "keyboard_key_Num 0"},             // 101
    {{kAssignKeyboard, 0x00, 0x63}, "keyboard_key_Decimal"},           // 102
    {{kAssignKeyboard, 0x00, 0x65}, "keyboard_key_App"},               // 103
    {{kAssignKeyboard, 0x00, 0x64}, "keyboard_key_K45"},               // 104
    {{kAssignKeyboard, 0x00, 0x87}, "keyboard_key_K56"},               // 105
    {{kAssignKeyboard, 0x00, 0x89}, "keyboard_key_K14"},               // 106
    {{kAssignKeyboard, 0x00, 0x85}, "keyboard_key_K107"},              // 107
    {{kAssignKeyboard, 0x00, 0x8B}, "keyboard_key_K131"},              // 108
    {{kAssignKeyboard, 0x00, 0x8A}, "keyboard_key_K132"},              // 109
    {{kAssignKeyboard, 0x00, 0x88}, "keyboard_key_K133"},              // 110
    {{kAssignKeyboard, 0x00, 0x91}, "keyboard_key_K150"},              // 111
    {{kAssignKeyboard, 0x00, 0x90}, "keyboard_key_K151"},              // 112
    {{kAssignKeyboard, 0x00, 0x32}, "keyboard_key_K42"},               // 113
    {{kAssignMedia, 0x92, 0x01}, "keyboard_key_Launch App2"},          // 114
    {{kAssignMedia, 0x23, 0x02}, "keyboard_key_Browaer Home"},         // 115
    {{kAssignMedia, 0xCD, 0x00}, "keyboard_key_Media Play Pause"},     // 116
    {{kAssignMedia, 0x21, 0x02}, "keyboard_key_Browser Search"},       // 117
    {{kAssignMedia, 0x8A, 0x01}, "keyboard_key_Launch Mail"},          // 118
    {{kAssignMedia, 0xE9, 0x00}, "keyboard_key_Volume Up"},            // 119
    {{kAssignMedia, 0xE2, 0x00}, "keyboard_key_Volume Mute"},          // 120
    {{kAssignMedia, 0xB7, 0x00}, "keyboard_key_Media Stop"},           // 121
    {{kAssignMedia, 0xEA, 0x00}, "keyboard_key_Volume Down"},          // 122
    {{kAssignMedia, 0x2A, 0x02}, "keyboard_key_Browser Favorites"},    // 123
    {{kAssignMedia, 0x25, 0x02}, "keyboard_key_Browser ForWard"},      // 124
    {{kAssignMedia, 0x24, 0x02}, "keyboard_key_Browser Back"},         // 125
    {{kAssignMedia, 0xB6, 0x00}, "keyboard_key_Media Prev Track"},     // 126
    {{kAssignMedia, 0xB5, 0x00}, "keyboard_key_Media Next Track"},     // 127
    {{kAssignMedia, 0x94, 0x01}, "keyboard_key_Computer"},             // 128
    {{kAssignMedia, 0x27, 0x02}, "keyboard_key_Browser Refresh"},      // 129
    {{kAssignMedia, 0x26, 0x02}, "wed_stop"},                          // 130
    {{kAssignMedia, 0x83, 0x01}, "keyboard_key_Launch Media Select"},  // 131
    {{kAssignSystem, 0x01, 0x00}, "keyboard_key_Power"},               // 132
    {{kAssignSystem, 0x02, 0x00}, "keyboard_key_Sleep"},               // 133
    {{kAssignSystem, 0x04, 0x00}, "keyboard_key_Wakeup"},              // 134
    {{kAssignOnboardMacro, 0xA2, 0x01}, "keyboard_key_M1"},            // 135
    {{kAssignOnboardMacro, 0xA2, 0x02}, "keyboard_key_M2"},            // 136
    {{kAssignOnboardMacro, 0xA2, 0x03}, "keyboard_key_M3"},            // 137
    {{kAssignOnboardMacro, 0xA2, 0x04}, "keyboard_key_M4"},            // 138
    {{kAssignOnboardMacro, 0xA2, 0x05}, "keyboard_key_M5"},            // 139
    {{kAssignSpecial, 0x01, 0x00}, "keyboard_key_FN"},                 // 140
    {{kAssignSpecial, 0x1B, 0x00}, "keyboard_key_GM"},                 // 141
}};

// Aligned with rows 0-112 of kKeyCodeTable.
const std::array<CaptureRow, kCaptureRowCount> kCaptureTable = {{
    {0x1D, false},  // 0 LCtrl
    {0x2A, false},  // 1 LShift
    {0x38, false},  // 2 LAlt
    {0x5B, true},   // 3 LWin
    {0x1D, true},   // 4 RCtrl
    {0x36, false},  // 5 RShift
    {0x38, true},   // 6 RAlt
    {0x5C, true},   // 7 RWin
    {0x1E, false},  // 8 A
    {0x30, false},  // 9 B
    {0x2E, false},  // 10 C
    {0x20, false},  // 11 D
    {0x12, false},  // 12 E
    {0x21, false},  // 13 F
    {0x22, false},  // 14 G
    {0x23, false},  // 15 H
    {0x17, false},  // 16 I
    {0x24, false},  // 17 J
    {0x25, false},  // 18 K
    {0x26, false},  // 19 L
    {0x32, false},  // 20 M
    {0x31, false},  // 21 N
    {0x18, false},  // 22 O
    {0x19, false},  // 23 P
    {0x10, false},  // 24 Q
    {0x13, false},  // 25 R
    {0x1F, false},  // 26 S
    {0x14, false},  // 27 T
    {0x16, false},  // 28 U
    {0x2F, false},  // 29 V
    {0x11, false},  // 30 W
    {0x2D, false},  // 31 X
    {0x15, false},  // 32 Y
    {0x2C, false},  // 33 Z
    {0x02, false},  // 34 1
    {0x03, false},  // 35 2
    {0x04, false},  // 36 3
    {0x05, false},  // 37 4
    {0x06, false},  // 38 5
    {0x07, false},  // 39 6
    {0x08, false},  // 40 7
    {0x09, false},  // 41 8
    {0x0A, false},  // 42 9
    {0x0B, false},  // 43 0
    {0x1C, false},  // 44 Enter
    {0x01, false},  // 45 Esc
    {0x0E, false},  // 46 BackSpace
    {0x0F, false},  // 47 Tab
    {0x39, false},  // 48 Space
    {0x0C, false},  // 49 -
    {0x0D, false},  // 50 =
    {0x1A, false},  // 51 [
    {0x1B, false},  // 52 ]
    {0x2B, false},  // 53 xiegang
    {0x27, false},  // 54 ;
    {0x28, false},  // 55 '
    {0x29, false},  // 56 `
    {0x33, false},  // 57 <
    {0x34, false},  // 58 .
    {0x35, false},  // 59 /
    {0x3A, false},  // 60 Caplk
    {0x3B, false},  // 61 F1
    {0x3C, false},  // 62 F2
    {0x3D, false},  // 63 F3
    {0x3E, false},  // 64 F4
    {0x3F, false},  // 65 F5
    {0x40, false},  // 66 F6
    {0x41, false},  // 67 F7
    {0x42, false},  // 68 F8
    {0x43, false},  // 69 F9
    {0x44, false},  // 70 F10
    {0x57, false},  // 71 F11
    {0x58, false},  // 72 F12
    {0x37, true},   // 73 Print Scr
    {0x46, false},  // 74 Scroll Lock
    {0x45, false},  // 75 Pause
    {0x52, true},   // 76 Insert
    {0x47, true},   // 77 Home
    {0x49, true},   // 78 Page Up
    {0x53, true},   // 79 Delete
    {0x4F, true},   // 80 End
    {0x51, true},   // 81 Page Down
    {0x4D, true},   // 82 Right
    {0x4B, true},   // 83 Left
    {0x50, true},   // 84 Down
    {0x48, true},   // 85 Up
    {0x45, true},   // 86 Num Lock
    {0x35, true},   // 87 Num /
    {0x37, false},  // 88 Num *
    {0x4A, false},  // 89 Num -
    {0x4E, false},  // 90 Num +
    {0x1C, true},   // 91 Num Enter
    {0x4F, false},  // 92 Num 1
    {0x50, false},  // 93 Num 2
    {0x51, false},  // 94 Num 3
    {0x4B, false},  // 95 Num 4
    {0x4C, false},  // 96 Num 5
    {0x4D, false},  // 97 Num 6
    {0x47, false},  // 98 Num 7
    {0x48, false},  // 99 Num 8
    {0x49, false},  // 100 Num 9
    {0x52, false},  // 101 Num 0
    {0x53, false},  // 102 Decimal
    {0x5D, true},   // 103 App
    {0x56, false},  // 104 K45
    {0x73, false},  // 105 K56
    {0x7D, false},  // 106 K14
    {0x7E, false},  // 107 K107
    {0x7B, false},  // 108 K131
    {0x79, false},  // 109 K132
    {0x70, false},  // 110 K133
    {0x71, false},  // 111 K150
    {0x72, false},  // 112 K151
}};

const std::array<KeyRow, 5> kMouseButtonTable = {{
    {{kAssignMouseButton, 0x01, 0}, "mouse_key_left"},
    {{kAssignMouseButton, 0x04, 0}, "mouse_key_middle"},
    {{kAssignMouseButton, 0x02, 0}, "mouse_key_right"},
    {{kAssignMouseButton, 0x10, 0}, "mouse_key_forward"},
    {{kAssignMouseButton, 0x08, 0}, "mouse_key_back"},
}};

const std::array<KeyRow, 3> kDpiTable = {{
    {{kAssignDpi, 1, 0}, "mouse_key_DPI_add"},
    {{kAssignDpi, 2, 0}, "mouse_key_DPI_sub"},
    {{kAssignDpi, 3, 0}, "mouse_key_DPI_loop"},
}};

const std::array<KeyRow, 3> kSystemTable = {{
    {{kAssignSystem, 0x01, 0}, "system_power"},
    {{kAssignSystem, 0x02, 0}, "system_sleep"},
    {{kAssignSystem, 0x04, 0}, "system_wake_up"},
}};

const std::array<KeyRow, 18> kMediaTable = {{
    {{kAssignMedia, 0x83, 0x01}, "media_text"},
    {{kAssignMedia, 0xCD, 0x00}, "media_play"},
    {{kAssignMedia, 0xB7, 0x00}, "media_stop"},
    {{kAssignMedia, 0xB6, 0x00}, "media_prev"},
    {{kAssignMedia, 0xB5, 0x00}, "media_next"},
    {{kAssignMedia, 0xEA, 0x00}, "media_vol_sub"},
    {{kAssignMedia, 0xE9, 0x00}, "media_vol_add"},
    {{kAssignMedia, 0xE2, 0x00}, "media_mute"},
    {{kAssignMedia, 0x23, 0x02}, "web_text"},
    {{kAssignMedia, 0x27, 0x02}, "web_refresh"},
    {{kAssignMedia, 0x26, 0x02}, "wed_stop"},
    {{kAssignMedia, 0x24, 0x02}, "wed_back"},
    {{kAssignMedia, 0x25, 0x02}, "wed_forward"},
    {{kAssignMedia, 0x2A, 0x02}, "wed_favorite"},
    {{kAssignMedia, 0x21, 0x02}, "web_search"},
    {{kAssignMedia, 0x94, 0x01}, "media_mypc"},
    {{kAssignMedia, 0x92, 0x01}, "media_calc"},
    {{kAssignMedia, 0x8A, 0x01}, "media_mail"},
}};

// Right Ctrl plus a letter or sign.
constexpr AssignmentCode Combo(uint8_t usage) {
  return {kAssignKeyboard, 0x10, usage};
}
const std::array<KeyRow, 11> kCombinationKeyTable = {{
    {Combo(0x12), "custem_open"},
    {Combo(0x11), "custem_new"},
    {Combo(0x1D), "custem_undo"},
    {Combo(0x16), "custem_save"},
    {Combo(0x06), "custem_copy"},
    {Combo(0x1B), "custem_cut"},
    {Combo(0x19), "custem_paste"},
    {Combo(0x09), "custem_find"},
    {Combo(0x04), "custem_select_all"},
    {Combo(0x2D), "custem_narrow"},
    {Combo(0x2E), "custem_magnify"},
}};

const std::array<KeyRow, 4> kSpecialFunctionTable = {{
    {{kAssignSpecial, 0x02, 0}, "mouse_key_smart_key"},
    {{kAssignSpecial, 0x00, 0}, "com_key_nothing"},
    {{kAssignDpiShift, 0, 0}, "mouse_key_DPI_shift"},
    {{kAssignShowWindow, 0, 0}, "show_window"},
}};

const std::array<const char*, 9> kEditShortcutLabels = {
    "custem_open", "custem_new",   "custem_undo", "custem_save",       "custem_copy",
    "custem_cut",  "custem_paste", "custem_find", "custem_select_all",
};

// Key lists are written as KeyCodeTable names; nullptr stands for the empty key.

const KeyRow& RowNamed(const char* name) {
  static const KeyRow kEmpty{kEmptyKeyCode, ""};
  if (name == nullptr) return kEmpty;
  const int row = FindKeyCodeRowByName(name);
  return row < 0 ? kEmpty : kKeyCodeTable[static_cast<size_t>(row)];
}

constexpr const char* kPickerNames[] = {
    "Esc",     "F1",       "F2",        "F3",     "F4",    "F5",        "F6",          "F7",
    "F8",      "F9",       "F10",       "F11",    "F12",   "Print Scr", "Scroll Lock", "Pause",
    "`",       "1",        "2",         "3",      "4",     "5",         "6",           "7",
    "8",       "9",        "0",         "-",      "=",     "BackSpace", "Insert",      "Home",
    "Page Up", "Num Lock", "Num /",     "Num *",  "Num -", "Tab",       "Q",           "W",
    "E",       "R",        "T",         "Y",      "U",     "I",         "O",           "P",
    "[",       "]",        "xiegang",   "Delete", "End",   "Page Down", "Num 7",       "Num 8",
    "Num 9",   "Caplk",    "A",         "S",      "D",     "F",         "G",           "H",
    "J",       "K",        "L",         ";",      "'",     "Enter",     "Num 4",       "Num 5",
    "Num 6",   "Num +",    "LShift",    "Z",      "X",     "C",         "V",           "B",
    "N",       "M",        "<",         ".",      "/",     "RShift",    "Up",          "Num 1",
    "Num 2",   "Num 3",    "Num Enter", "LCtrl",  "LWin",  "LAlt",      "Space",       "RAlt",
    "FN",      "App",      "RCtrl",     "Left",   "Down",  "Right",     "Num 0",       "Decimal",
    nullptr,   "RWin",     "M1",        "M2",     "M3",    "M4",        "M5",          "K56",
    "K14",     "K45",      "K107",
};

constexpr const char* kCanonicalNames[] = {
    "Esc",         "F1",    "F2",        "F3",          "F4",          "F5",          "F6",
    "F7",          "F8",    "F9",        "F10",         "F11",         "F12",         "Print Scr",
    "Scroll Lock", "Pause", "GM",        "Launch App2", "Volume Mute", "Volume Down", "Volume Up",
    "`",           "1",     "2",         "3",           "4",           "5",           "6",
    "7",           "8",     "9",         "0",           "-",           "=",           "BackSpace",
    "Insert",      "Home",  "Page Up",   "Num Lock",    "Num /",       "Num *",       "Num -",
    "Tab",         "Q",     "W",         "E",           "R",           "T",           "Y",
    "U",           "I",     "O",         "P",           "[",           "]",           "xiegang",
    "Delete",      "End",   "Page Down", "Num 7",       "Num 8",       "Num 9",       "K42",
    "Caplk",       "A",     "S",         "D",           "F",           "G",           "H",
    "J",           "K",     "L",         ";",           "'",           "Enter",       "Num 4",
    "Num 5",       "Num 6", "K132",      "K131",        "K151",        "K150",        "K133",
    "LShift",      "Z",     "X",         "C",           "V",           "B",           "N",
    "M",           "<",     ".",         "/",           "RShift",      "Up",          "Num 1",
    "Num 2",       "Num 3", "K56",       "K14",         "K45",         "K107",        nullptr,
    "LCtrl",       "LWin",  "LAlt",      "Space",       "RAlt",        "FN",          "App",
    "RCtrl",       "Left",  "Down",      "Right",       "Num 0",       "Decimal",     "Num Enter",
    "Num +",       "M1",    "M2",        "M3",          "M4",          "M5",          "RWin",
};

constexpr const char* kFnLockedNames[] = {
    "Esc", "F1",  "F2", "F3", "F4",    "F5",        "F6",     "F7",   "F8",    "F9", "F10",
    "F11", "F12", "A",  "S",  "Enter", "RShift",    "Delete", "Left", "Right", "Up", "Down",
    "Q",   "W",   "E",  "R",  "T",     "BackSpace", "Space",  "LWin", "`",     "H",
};

static_assert(std::size(kPickerNames) == 115);     // rows 115-125 are the empty key
static_assert(std::size(kCanonicalNames) == 126);  // entries 126-169 are the empty key
static_assert(std::size(kFnLockedNames) == kFnLockedKeyCount);

const std::array<MouseButton, kMouseButtonCount> kMouseButtons = {{
    {{kAssignMouseButton, 0x01, 0}, "mouse_key_left"},
    {{kAssignMouseButton, 0x02, 0}, "mouse_key_right"},
    {{kAssignMouseButton, 0x04, 0}, "mouse_key_middle"},
    {{kAssignMouseButton, 0x10, 0}, "mouse_key_forward"},
    {{kAssignMouseButton, 0x08, 0}, "mouse_key_back"},
    {{kAssignDpi, 1, 0}, "mouse_key_DPI_add"},
    {{kAssignDpi, 2, 0}, "mouse_key_DPI_sub"},
    {{kAssignDpi, 3, 0}, "mouse_key_DPI_loop"},
    {{kAssignSpecial, 0x1B, 0}, "keyboard_key_GM"},
    {{kAssignDpiShift, 0x90, 0x01}, "mouse_key_M8_key"},
    {{kAssignFire, 0x78, 0x02}, "mouse_key_fire_key"},
}};

}  // namespace

int FindRow(std::span<const KeyRow> table, AssignmentCode code, CodeMatch match) {
  for (size_t i = 0; i < table.size(); ++i) {
    const AssignmentCode& row = table[i].code;
    if (row.b1 == code.b1 && row.b2 == code.b2 &&
        (match == CodeMatch::kB1B2 || row.kind == code.kind)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const std::array<KeyRow, kKeyCodeRowCount>& KeyCodeTable() {
  return kKeyCodeTable;
}

int FindKeyCodeRowByName(std::string_view name) {
  constexpr std::string_view kPrefix = "keyboard_key_";
  for (size_t i = 0; i < kKeyCodeTable.size(); ++i) {
    const std::string_view label = kKeyCodeTable[i].labelKey;
    if (label.size() == kPrefix.size() + name.size() && label.starts_with(kPrefix) &&
        label.substr(kPrefix.size()) == name) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const std::array<KeyRow, kKeyPickerRowCount>& KeyPickerTable() {
  static const std::array<KeyRow, kKeyPickerRowCount> table = [] {
    std::array<KeyRow, kKeyPickerRowCount> rows;
    rows.fill(RowNamed(nullptr));
    size_t i = 0;
    for (const char* name : kPickerNames) {
      if (i < rows.size()) rows[i++] = RowNamed(name);
    }
    return rows;
  }();
  return table;
}

const std::array<CaptureRow, kCaptureRowCount>& CaptureTable() {
  return kCaptureTable;
}

int FindCaptureRow(uint8_t scanCode, bool extended) {
  for (size_t i = 0; i < kCaptureTable.size(); ++i) {
    if (kCaptureTable[i].scanCode == scanCode && kCaptureTable[i].extended == extended) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const std::array<KeyRow, 5>& MouseButtonTable() {
  return kMouseButtonTable;
}
const std::array<KeyRow, 3>& DpiTable() {
  return kDpiTable;
}
const std::array<KeyRow, 3>& SystemTable() {
  return kSystemTable;
}
const std::array<KeyRow, 18>& MediaTable() {
  return kMediaTable;
}
const std::array<KeyRow, 11>& CombinationKeyTable() {
  return kCombinationKeyTable;
}
const std::array<KeyRow, 4>& SpecialFunctionTable() {
  return kSpecialFunctionTable;
}
const std::array<const char*, 9>& EditShortcutLabels() {
  return kEditShortcutLabels;
}

const std::array<AssignmentCode, kCanonicalKeyCount>& CanonicalKeyList() {
  static const std::array<AssignmentCode, kCanonicalKeyCount> list = [] {
    std::array<AssignmentCode, kCanonicalKeyCount> codes;
    codes.fill(kEmptyKeyCode);
    size_t i = 0;
    for (const char* name : kCanonicalNames) {
      if (i < codes.size()) codes[i++] = RowNamed(name).code;
    }
    return codes;
  }();
  return list;
}

int FindCanonicalIndex(AssignmentCode code) {
  const auto& list = CanonicalKeyList();
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == code) return static_cast<int>(i);
  }
  return -1;
}

const std::vector<uint16_t>& FnLockedKeys() {
  static const std::vector<uint16_t> keys = [] {
    std::vector<uint16_t> indices;
    for (const char* name : kFnLockedNames) {
      const int index = FindCanonicalIndex(RowNamed(name).code);
      if (index >= 0) indices.push_back(static_cast<uint16_t>(index));
    }
    return indices;
  }();
  return keys;
}

const std::array<MouseButton, kMouseButtonCount>& MouseCanonicalButtons() {
  return kMouseButtons;
}

}  // namespace varkon
