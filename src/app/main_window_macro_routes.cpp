// The macro panel's rows of the notification routing: the library (add, delete with the fix-up
// of every profile's keys, rename, import, export), recording through the input hook, the step
// commands and the steps menu. The panel edits and saves; the rows here ask the user, drive
// the capture and keep the device and its key editor in step with the library.
#include <QCursor>

#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "app/startup.h"
#include "core/debug_out.h"
#include "devices/panels/keyboard_device.h"
#include "devices/panels/mouse_device.h"
#include "editors/device_profile.h"
#include "editors/macro_control.h"
#include "platform/ui/control_find.h"
#include "platform/ui/input_hook.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/skin_loader.h"
#include "profile/macro_deletion.h"

namespace varkon {

namespace {

constexpr const char* kClick = "click";
constexpr const char* kItemSelect = "itemselect";

// The commands that start a recording: capture mode and record state (0: the start button's,
// by "macro_check_time").
struct RecordCommand {
  const char* name;
  uint32_t mode;
  int state;
};
constexpr RecordCommand kRecordCommands[] = {
    {"macro_btn_starredio", ui::kHookMacroAppend, 0},
    {"redio_previous_record_time", ui::kHookMacroBefore, 1},
    {"redio_previous_constant_time", ui::kHookMacroBefore, 2},
    {"redio_previous_ignore_time", ui::kHookMacroBefore, 3},
    {"redio_later_record_time", ui::kHookMacroAfter, 1},
    {"redio_later_constant_time", ui::kHookMacroAfter, 2},
    {"redio_later_ignore_time", ui::kHookMacroAfter, 3},
    {"macro_action_edit", ui::kHookMacroReplace, 3},
};

// The hook messages of each capture mode, keyboard and mouse.
struct HookMessages {
  uint32_t mode;
  StepPlacement placement;
  const char* key;
  const char* mouse;
};
constexpr HookMessages kHookMessages[] = {
    {ui::kHookMacroAppend, StepPlacement::kAppend, "WM_HOOK_KEY_KBMACRO_MSG",
     "WM_HOOK_KEY_MSMACRO_MSG"},
    {ui::kHookMacroBefore, StepPlacement::kBefore, "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
     "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"},
    {ui::kHookMacroAfter, StepPlacement::kAfter, "WM_HOOK_KEY_KBMACROLATER_MSG",
     "WM_HOOK_KEY_MSMACROLATER_MSG"},
    {ui::kHookMacroReplace, StepPlacement::kReplace, "WM_HOOK_KEY_KBMACROSINGLE_MSG",
     "WM_HOOK_KEY_MSMACROSINGLE_MSG"},
};

// The step commands of the panel's buttons (the menu's mouse steps go the same way).
constexpr const char* kStepButtons[] = {
    "macro_btn_up",
    "macro_btn_down",
    "macro_btn_uptop",
    "macro_btn_downbottom",
    "macro_btn_delete",
    "macro_btn_deleteall",
    "macro_btn_save",
    "macro_btn_cancel",
    "macro_inset_moveleftkey_btn",
    "macro_inset_moverightkey_btn",
    "macro_inset_moveupkey_btn",
    "macro_inset_movedownkey_btn",
};

uint32_t RegisteredNumber(const char* name) {
  const StartupMessages& registered = RegisterStartupMessages();
  for (size_t i = 0; i < kHookMessageCount; ++i) {
    if (std::string(kHookMessageNames[i]) == name) return registered.hook[i];
  }
  return 0;
}

const HookMessages* HookMessagesOf(uint32_t mode) {
  for (const HookMessages& messages : kHookMessages) {
    if (messages.mode == mode) return &messages;
  }
  return nullptr;
}

bool Confirm(CMainWnd& window, const char* textId) {
  return ShowMessage(&window, {}, textId, window.Dpi(), true, kMessageConfirmAndCancel) == 1;
}

void Tell(CMainWnd& window, const char* textId) {
  ShowMessage(&window, {}, textId, window.Dpi(), true, kMessageConfirmOnly);
}

// The device's name lists follow the library, and with them the key editor's macro list.
void ShowLibraryChange(CTarnwiseUSBDevice* device) {
  if (device) device->RefreshPanel();
}

}  // namespace

CMacroControlUI* CMainWnd::CurrentMacroPanel() const {
  return FindMacroControl(CurrentDevice());
}

void CMainWnd::LockPanelsForRecording(bool locked) {
  if (QWidget* selector = ui::FindControl(root_, QStringLiteral("device_select_layout"))) {
    selector->setEnabled(!locked);
  }
  CTarnwiseUSBDevice* device = recordingDevice_.data();
  if (!device) return;
  if (QWidget* profiles = device->ProfilePanel()) {
    profiles->setEnabled(!locked);
  }
  if (QWidget* keys = ui::FindControl(device, QStringLiteral("KeySetControlItem"))) {
    keys->setEnabled(!locked);
  }
  // The page tabs too: the recording is stopped where it was started.
  if (QWidget* tab = ui::FindControl(device, QStringLiteral("macro_Op_tab"))) {
    if (tab->parentWidget()) tab->parentWidget()->setEnabled(!locked);
  }
}

void CMainWnd::StartMacroRecording(uint32_t mode, int state) {
  CMacroControlUI* panel = CurrentMacroPanel();
  const HookMessages* messages = HookMessagesOf(mode);
  if (!panel || !messages || macroRecording_ || !panel->Library().EditorEnabled()) return;
  // Inserting and replacing work on the selected row.
  if (mode != ui::kHookMacroAppend && panel->Editor().Selected() < 0) return;
  if (!inputHook_) inputHook_ = std::make_unique<ui::InputHook>();
  // A key capture still running ends first, so that its end is not taken for this one's.
  inputHook_->Stop();
  disconnect(inputHook_.get(), &ui::InputHook::Stopped, this, nullptr);

  macroRecording_ = true;
  recordingPanel_ = panel;
  recordingDevice_ = CurrentDevice();
  panel->SetRecordState(static_cast<RecordState>(state));
  LockPanelsForRecording(true);

  const uint32_t keyMessage = RegisteredNumber(messages->key);
  const uint32_t mouseMessage = RegisteredNumber(messages->mouse);
  const bool started = inputHook_->Start(
      this, mode,
      [this, keyMessage](uint8_t scanCode, bool extended, bool down, bool) {
        ui::HookKeyRecord record;
        record.scanCode = scanCode;
        record.flags = extended ? ui::kHookExtendedKeyFlag : 0;
        ui::Message message;
        message.number = keyMessage;
        message.wParam = down ? kKeyDownMessage : kKeyUpMessage;
        message.lParam = reinterpret_cast<intptr_t>(&record);
        bus_.Send(message);
      },
      [this, mouseMessage](uint32_t button, int extra) {
        ui::HookMouseRecord record;
        record.mouseData = static_cast<uint32_t>(extra) << 16;
        ui::Message message;
        message.number = mouseMessage;
        message.wParam = button;
        message.lParam = reinterpret_cast<intptr_t>(&record);
        bus_.Send(message);
      });
  if (!started) {
    debugOut("macro recording: the window is not shown\n");
    StopMacroRecording();
    return;
  }
  // The capture ends by itself when the window hides or loses the focus; the panel going out
  // of sight (the device went away) ends it too. Either way the recording ends with it.
  connect(inputHook_.get(), &ui::InputHook::Stopped, this, [this] { StopMacroRecording(); });
  connect(panel, &QObject::destroyed, this, [this] { StopMacroRecording(); });
  connect(panel, &CMacroControlUI::Hidden, this, [this] { StopMacroRecording(); });
}

void CMainWnd::StopMacroRecording() {
  if (!macroRecording_) return;
  macroRecording_ = false;
  if (inputHook_) {
    disconnect(inputHook_.get(), &ui::InputHook::Stopped, this, nullptr);
    inputHook_->Stop();
  }
  CMacroControlUI* panel = recordingPanel_.data();
  if (panel) {
    disconnect(panel, nullptr, this, nullptr);
    panel->EndRecording();
    panel->SaveMacro();
  }
  LockPanelsForRecording(false);
  recordingPanel_.clear();
  recordingDevice_.clear();
}

void CMainWnd::OnMacroHookMessage(const std::string& name, const ui::Message& message) {
  CMacroControlUI* panel = recordingPanel_.data();
  if (!panel || message.lParam == 0) return;
  for (const HookMessages& messages : kHookMessages) {
    if (name == messages.key) {
      const auto* record = reinterpret_cast<const ui::HookKeyRecord*>(message.lParam);
      panel->RecordKey(messages.placement, static_cast<uint32_t>(message.wParam),
                       static_cast<uint8_t>(record->scanCode),
                       (record->flags & ui::kHookExtendedKeyFlag) != 0);
      return;
    }
    if (name == messages.mouse) {
      const auto* record = reinterpret_cast<const ui::HookMouseRecord*>(message.lParam);
      panel->RecordMouse(messages.placement, static_cast<uint32_t>(message.wParam),
                         static_cast<int>(record->mouseData >> 16));
      return;
    }
  }
}

void CMainWnd::ShowMacroMenu(const QPoint& at) {
  if (!macroMenu_) {
    macroMenu_ = std::make_unique<ui::PopupMenu>(bus_.Target());
    std::string error;
    if (!macroMenu_->Load(kMacroActionMenu, &error, loader_ ? loader_->skinFolder() : "")) {
      std::fprintf(stderr, "varkon: %s\n", error.c_str());
      macroMenu_.reset();
      return;
    }
  }
  macroMenu_->Show(at);
}

bool CMainWnd::OnMacroMenuCommand(const std::string& item) {
  for (const RecordCommand& command : kRecordCommands) {
    if (item == command.name && command.state != 0) {
      StartMacroRecording(command.mode, command.state);
      return true;
    }
  }
  CMacroControlUI* panel = CurrentMacroPanel();
  if (!panel || macroRecording_) return false;
  return panel->RunCommand(item);
}

void CMainWnd::DeleteSelectedMacro(CMacroControlUI& panel) {
  QPointer<CMacroControlUI> alive(&panel);
  QPointer<CTarnwiseUSBDevice> device(CurrentDevice());
  auto* keyboard = qobject_cast<CTarnwiseKeyboardDevice*>(device.data());
  auto* mouse = qobject_cast<CTarnwiseMouseDevice*>(device.data());
  // The questions run their own loops, in which the device may go away: then nothing is done.
  const auto confirm = [&](const char* textId) { return Confirm(*this, textId) && alive; };
  if ((!keyboard && !mouse) || !device->Logic().ProfileBound()) {
    if (!confirm("message_text_4")) return;
    panel.Library().DeleteMacro();
    panel.ShowLibrary();
    ShowLibraryChange(device);
    return;
  }
  std::vector<KeyAssignmentRecord> keys =
      keyboard ? keyboard->Keyboard().Keys() : mouse->Mouse().Keys();
  const MacroDeletionResult result =
      DeleteMacroEverywhere(panel.Library(), device->Logic().ProfileId(), keys, confirm);
  if (!result.deleted || !alive || !device) return;
  panel.ShowLibrary();
  if (result.currentKeysChanged) {
    // The macros move down by one in the device's memory as in the key tables.
    if (keyboard) {
      keyboard->Keyboard().SetKeys(keys);
      keyboard->SaveProfile();
      WriteEditedKeys(*keyboard);
    } else {
      mouse->Mouse().SetKeys(keys);
      mouse->Mouse().WriteKeysAndMacros([this](int macros, StatusCode written) {
        if (macros != 0 || written != kStatusOk) {
          ShowMessage(this, "", "message_keys_not_written", Dpi(), true, kMessageConfirmOnly);
        }
      });
    }
  }
  ShowLibraryChange(device);
}

void CMainWnd::BuildMacroRoutes() {
  for (const RecordCommand& command : kRecordCommands) {
    if (command.state != 0) continue;
    router_.OnName(kClick, command.name, [this, command](const RoutedNotification&) {
      CMacroControlUI* panel = CurrentMacroPanel();
      QWidget* check = panel ? ui::FindControl(panel, QStringLiteral("macro_check_time")) : nullptr;
      const bool constant = check && check->property("checked").toBool();
      StartMacroRecording(command.mode, constant ? 2 : 1);
    });
  }
  router_.OnName(kClick, "macro_btn_stopredio",
                 [this](const RoutedNotification&) { StopMacroRecording(); });
  router_.OnNames(kClick, {std::begin(kStepButtons), std::end(kStepButtons)},
                  [this](const RoutedNotification& n) {
                    if (CMacroControlUI* panel = CurrentMacroPanel(); panel && !macroRecording_) {
                      panel->RunCommand(n.name);
                    }
                  });
  router_.OnName(kItemSelect, "macro_action_list", [this](const RoutedNotification& n) {
    if (CMacroControlUI* panel = CurrentMacroPanel()) {
      panel->SelectStep(static_cast<int>(static_cast<intptr_t>(n.wParam)));
    }
  });
  router_.OnName("itemactivate", "macro_action_list", [this](const RoutedNotification& n) {
    CMacroControlUI* panel = CurrentMacroPanel();
    if (!panel || macroRecording_) return;
    panel->SelectStep(static_cast<int>(n.wParam));
    ShowMacroMenu(QCursor::pos());
  });
  router_.OnName(kClick, "macro_btn_menu", [this](const RoutedNotification&) {
    CMacroControlUI* panel = CurrentMacroPanel();
    QWidget* button = panel ? ui::FindControl(panel, QStringLiteral("macro_btn_menu")) : nullptr;
    if (button && !macroRecording_) ShowMacroMenu(button->mapToGlobal(QPoint(0, button->height())));
  });

  // ---- the library
  router_.OnName(kItemSelect, "macro_name_list", [this](const RoutedNotification& n) {
    if (CMacroControlUI* panel = CurrentMacroPanel(); panel && !macroRecording_) {
      panel->SelectMacro(static_cast<int>(static_cast<intptr_t>(n.wParam)));
    }
  });
  router_.OnName(kClick, "macro_btn_name_add", [this](const RoutedNotification&) {
    QPointer<CMacroControlUI> panel(CurrentMacroPanel());
    QPointer<CTarnwiseUSBDevice> device(CurrentDevice());
    if (!panel || !Confirm(*this, "message_text_28") || !panel) return;
    if (panel->AddMacro()) ShowLibraryChange(device);
  });
  router_.OnName(kClick, "macro_btn_name_sub", [this](const RoutedNotification&) {
    if (CMacroControlUI* panel = CurrentMacroPanel();
        panel && panel->Library().GetSelectedMacroIndex() >= 0) {
      DeleteSelectedMacro(*panel);
    }
  });
  const auto rename = [this](const RoutedNotification&) {
    CMacroControlUI* panel = CurrentMacroPanel();
    if (!panel) return;
    const MacroRenameResult result = panel->RenameMacro();
    if (const char* text = MacroRenameMessage(result)) Tell(*this, text);
    if (result == MacroRenameResult::kRenamed) ShowLibraryChange(CurrentDevice());
  };
  router_.OnName(kClick, "macro_btn_name_edit", rename);
  router_.OnName("return", "macro_edit_macroname", rename);
  router_.OnName(kClick, "macro_btn_import", [this](const RoutedNotification&) {
    QPointer<CMacroControlUI> panel(CurrentMacroPanel());
    QPointer<CTarnwiseUSBDevice> device(CurrentDevice());
    if (!panel) return;
    const std::optional<std::string> path =
        AskFilePath(this, FileDialogMode::kOpen, {}, kMacroFiles);
    if (!path || !panel) return;
    bool refused = false;
    if (panel->ImportMacro(*path, &refused)) {
      ShowLibraryChange(device);
    } else if (refused) {
      Tell(*this, "message_macro_import_refused");
    }
  });
  router_.OnName(kClick, "macro_btn_export", [this](const RoutedNotification&) {
    QPointer<CMacroControlUI> panel(CurrentMacroPanel());
    const int selected = panel ? panel->Library().GetSelectedMacroIndex() : -1;
    if (selected < 0) return;
    const std::string name = panel->Library().Items()[static_cast<size_t>(selected)].name;
    const std::optional<std::string> path =
        AskFilePath(this, FileDialogMode::kSave, name + ".mac", kMacroFiles);
    if (!path || !panel) return;
    if (!panel->ExportMacro(*path)) Tell(*this, "message_macro_export_failed");
  });
}

}  // namespace varkon
