#include "profile/profile_index_ui.h"

namespace varkon {

namespace {

constexpr const char* kTabNames[kOperationTabCount] = {
    "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
    "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};

}  // namespace

const char* OperationTabName(int n) {
  if (n < 1 || n > kOperationTabCount) return nullptr;
  return kTabNames[n - 1];
}

OperationTabVisibility OperationTabsFor(int deviceTypeNumber) {
  OperationTabVisibility tabs;
  switch (deviceTypeNumber) {
    case 1:
      tabs.hidden = {"cursor_Op_tab"};
      break;
    case 3:
    case 5:
      tabs.hidden = {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"};
      break;
    case 4:
      tabs.hidden = {"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"};
      break;
    case 7:
      tabs.hidden = {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"};
      tabs.shown = {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};
      break;
    default:  // 2, 6 and unknown types change nothing
      break;
  }
  return tabs;
}

const char* ProfileActionConfirmation(ProfileAction action) {
  switch (action) {
    case ProfileAction::kAdd:
      return "message_text_27";
    case ProfileAction::kDelete:
      return "message_text_29";
    case ProfileAction::kCopy:
      return "message_text_26";
    case ProfileAction::kReset:
      return "message_text_22";
    case ProfileAction::kImport:
    case ProfileAction::kExport:
    case ProfileAction::kRename:
      return nullptr;
  }
  return nullptr;
}

const char* RenameResultMessage(int result) {
  switch (result) {
    case 0:
      return "message_text_5";
    case 2:
      return "message_text_25";
    default:
      return nullptr;
  }
}

}  // namespace varkon
