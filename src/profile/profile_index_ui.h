// What the profile panel shows around the profile index: the operation tabs each device type
// uses, and the language-file message ids of the profile actions.
#pragma once

#include <string>
#include <vector>

namespace varkon {

inline constexpr int kOperationTabCount = 8;

// Tab n = 1 … 8: "deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab",
// "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"; nullptr for any other n.
const char* OperationTabName(int n);

// The tabs the profile list hides and shows for a device type number (keyboard 1, mouse 2,
// mouse pad 3, headset 7); tabs in neither list stay as the skin has them.
struct OperationTabVisibility {
  std::vector<std::string> hidden;
  std::vector<std::string> shown;
};
OperationTabVisibility OperationTabsFor(int deviceTypeNumber);

// The profile actions of the main window, with the confirmation each asks first.
enum class ProfileAction { kAdd, kDelete, kCopy, kImport, kExport, kRename, kReset };

// The message id asked before the action ("message_text_27" for kAdd …); nullptr when the
// action asks nothing.
const char* ProfileActionConfirmation(ProfileAction action);

// The message id shown for a RenameProfile result: 0 "message_text_5" (name taken),
// 2 "message_text_25" (blank name); nullptr for the others.
const char* RenameResultMessage(int result);

}  // namespace varkon
