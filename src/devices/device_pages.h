// Small rules of a device panel: which tabs a function page selects, which key or light array a
// panel button belongs to, and which function page a tab button opens.
#pragma once

#include <string>

namespace varkon {

// The tab indices of "device_function_switch" and "device_key_function_switch"; -1 leaves that
// tab layout unchanged.
struct FunctionTabs {
  int functionIndex;
  int keyFunctionIndex;
};

// The tab indices function page `page` selects for a device of `kind` (1 keyboard, 2 mouse,
// 3 pad, 7 headset): pages 2 and 6 -> function 0, key-function 1; pages 3 and 8 -> function 1;
// page 4 -> function 3 for keyboards and mice, else as page 7; page 7 -> function 0 and
// key-function 2; page 5 -> function 2; any other page -> 0 and 0.
FunctionTabs FunctionTabsForPage(int page, int kind);

enum class DeviceButtonRole { None, Key, Light };

struct DeviceButtonName {
  DeviceButtonRole role = DeviceButtonRole::None;
  int index = -1;
};

// A device panel's button name "key_12" / "light_3": which array and which index. None for other
// names, for indices at or beyond the count, or for tails that are not whole decimal numbers.
DeviceButtonName ParseDeviceButtonName(const std::string& name, int keyCount, int lightCount);

// The function page a tab button selects: "deng_Op_tab" 1, "key_Op_tab" 2, "macro_Op_tab" 3,
// "system_Op_tab" 4, "cursor_Op_tab" 5, "6533_voice_Op_tab" 6, "magic_Op_tab" 7,
// "Virtual7.1_Op_tab" 8; 0 for any other name.
int FunctionPageOfTab(const std::string& name);

}  // namespace varkon
