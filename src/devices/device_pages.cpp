#include "devices/device_pages.h"

#include <array>
#include <string_view>

#include "core/names.h"
#include "device/device_catalogue.h"

namespace varkon {
namespace {

constexpr int kKeepTab = -1;

constexpr std::array<std::string_view, 8> kTabNames = {
    "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
    "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};

}  // namespace

FunctionTabs FunctionTabsForPage(int page, int kind) {
  switch (page) {
    case 2:
    case 6:
      return {0, 1};
    case 3:
    case 8:
      return {1, kKeepTab};
    case 4:
      if (kind == kKindKeyboard || kind == kKindMouse) return {3, kKeepTab};
      return {0, 2};  // as page 7
    case 7:
      return {0, 2};
    case 5:
      return {2, kKeepTab};
    default:
      return {0, 0};
  }
}

DeviceButtonName ParseDeviceButtonName(const std::string& name, int keyCount, int lightCount) {
  DeviceButtonName result;
  const size_t underscore = name.rfind('_');
  if (underscore == std::string::npos) return result;
  int index = 0;
  if (!ParseDecimal(name.substr(underscore + 1), index)) return result;
  const std::string_view prefix(name.data(), underscore + 1);
  if (prefix == "key_" && index < keyCount) {
    result.role = DeviceButtonRole::Key;
    result.index = index;
  } else if (prefix == "light_" && index < lightCount) {
    result.role = DeviceButtonRole::Light;
    result.index = index;
  }
  return result;
}

int FunctionPageOfTab(const std::string& name) {
  for (size_t i = 0; i < kTabNames.size(); ++i) {
    if (kTabNames[i] == name) return static_cast<int>(i) + 1;
  }
  return 0;
}

}  // namespace varkon
