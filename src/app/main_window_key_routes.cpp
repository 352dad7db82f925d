// The key assignment editor's rows of the notification routing, key capture and the
// `varkonctl keys` requests. The editor panel only shows and encodes; the rows here move the
// edited record between it and the current keyboard.
#include <json/writer.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "devices/key_labels.h"
#include "devices/key_tables.h"
#include "devices/panels/keyboard_device.h"
#include "devices/panels/mouse_device.h"
#include "editors/key_set_control.h"
#include "platform/ui/language_text.h"

namespace varkon {

static_assert(kWriteKeysNotTaken == kKeysNotWritten);

namespace {

constexpr const char* kClick = "click";
constexpr const char* kItemSelect = "itemselect";
constexpr const char* kSelectChanged = "selectchanged";
constexpr const char* kKillFocus = "killfocus";
constexpr const char* kSetFocus = "setfocus";
constexpr const char* kCaptureEdit = "keyset_keyboard_text_edit";
constexpr int kKeysPage = 2;
constexpr int kWriteWaitMs = 30000;

// Decimal or 0x hex, the whole word, 0 to `maximum`.
bool ParseNumber(const std::string& word, long maximum, long& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  value = std::strtol(hex ? word.c_str() + 2 : word.c_str(), &end, hex ? 16 : 10);
  return *end == '\0' && value >= 0 && value <= maximum;
}

// Message 1054: key capture on (wParam 1) or off (0).
ui::Message CaptureMessage(bool on) {
  ui::Message message;
  message.number = kMessageKeyCapture;
  message.wParam = on ? 1 : 0;
  return message;
}

std::string Compact(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

Json::Value CodeJson(AssignmentCode code) {
  Json::Value value(Json::arrayValue);
  value.append(code.kind);
  value.append(code.b1);
  value.append(code.b2);
  return value;
}

}  // namespace

namespace {

constexpr AssignmentCode kLeftClickCode{kAssignMouseButton, 0x01, 0};

// Whether some button of a mouse still clicks left (other devices always pass).
bool KeepsLeftClick(const CTarnwiseUSBDevice& device) {
  const std::vector<KeyAssignmentRecord>* keys = device.KeyList();
  if (device.Kind() != kKindMouse || !keys) return true;
  return std::any_of(keys->begin(), keys->end(), [](const KeyAssignmentRecord& key) {
    return key.main.code == kLeftClickCode;
  });
}

bool ConfirmLosingLeftClick(CMainWnd& window) {
  // The question names the way back: the editor's own "Default" button.
  const std::string text = LanguageText("message_mouse_no_left_click") + " \u201C" +
                           LanguageText("keyset_default_text") + "\u201D";
  return ShowMessage(&window, "", text, window.Dpi(), false, kMessageConfirmAndCancel) == 1;
}

}  // namespace

void CMainWnd::SaveEditedKey(CTarnwiseUSBDevice& keyboard) {
  CKeySetControlUI* editor = keyboard.KeyEditor();
  const int index = keyboard.SelectedKey();
  if (!editor || index < 0) return;
  keyboard.StoreKeyRecord(index, editor->Encode(keyboard.FnLayer()));
  editor->EnableButtons(true);
  keysUnsent_ = true;
}

void CMainWnd::WriteEditedKeys(CTarnwiseUSBDevice& keyboard) {
  QPointer<CTarnwiseUSBDevice> device(&keyboard);
  keyboard.WriteKeysAndMacros([this, device](int macros, StatusCode keys) {
    if (!device) return;
    CKeySetControlUI* editor = device->KeyEditor();
    if (macros > 0) {
      ShowMessage(this, "", DeviceWriteOutcomeText(macros), Dpi(), false, kMessageConfirmOnly);
      // The edited key falls back to its default and the write is tried again with it; when
      // that changes nothing the overflow lies elsewhere and trying again would not help.
      const int index = device->SelectedKey();
      if (!editor || index < 0) return;
      const KeyAssignmentRecord before = device->KeyRecord(index);
      editor->ShowDefault();
      SaveEditedKey(*device);
      if (device->KeyRecord(index) != before) WriteEditedKeys(*device);
      return;
    }
    if (macros < 0) ShowMessage(this, "", "message_text_7", Dpi(), true, kMessageConfirmOnly);
    if (macros == 0 && keys != kStatusOk) {
      // The keys did not go in: they stay marked as not sent.
      ShowMessage(this, "", "message_keys_not_written", Dpi(), true, kMessageConfirmOnly);
      return;
    }
    device->RefreshKeyHighlights();
    if (editor) editor->EnableButtons(false);
    keysUnsent_ = false;
  });
}

void CMainWnd::BuildKeyRoutes() {
  // A key of the picture on the keys page becomes the key being edited.
  router_.OnPrefix(kClick, "key_", [this](const RoutedNotification&, int index) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    if (!keyboard || keyboard->GetFunctionPage() != kKeysPage) return;
    if (!keyboard->Logic().ProfileBound()) return;
    if (index < 0 || index >= static_cast<int>(keyboard->KeyList()->size())) return;
    keyboard->MarkEditedKey(index);
    if (CKeySetControlUI* editor = keyboard->KeyEditor()) {
      editor->ShowRecord(keyboard->KeyRecord(index), keyboard->FnLayer());
    }
  });

  router_.OnName(kItemSelect, "keyset_function_combo", [this](const RoutedNotification& n) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
    if (!editor) return;
    const int function = editor->FunctionOfItem(static_cast<int>(n.wParam));
    editor->ShowFunctionPage(function);
    if (function == kFunctionKeyboardKey) {
      editor->SetCapturedText({});
      editor->SelectModifier(-1);
    }
    SaveEditedKey(*keyboard);
  });
  router_.OnName(kItemSelect, "keyset_macro_over_combo", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
    if (!editor) return;
    editor->FollowPlayMode();
    SaveEditedKey(*keyboard);
  });
  const auto save = [this](const RoutedNotification&) {
    if (CTarnwiseUSBDevice* keyboard = CurrentKeyDevice()) SaveEditedKey(*keyboard);
  };
  router_.OnNames(kItemSelect,
                  {"keyset_mousekey_combo", "keyset_mouseswing_combo", "keyset_mousewheel_combo",
                   "keyset_mousedpi_combo", "keyset_media_combo", "keyset_system_combo",
                   "keyset_macro_combo", "keyset_gunkey_combo", "keyset_combokey_combo"},
                  save);
  router_.OnNames(
      kKillFocus,
      {"keyset_mouseswing_num_edit", "keyset_mouseswing_delay_edit", "keyset_mouseswing_speed_edit",
       "keyset_mousewheel_num_edit", "keyset_mousewheel_delay_edit", "keyset_mousewheel_speed_edit",
       "keyset_mousefire_interval_edit", "keyset_mousefire_num_edit", "keyset_macro_cycle_edit"},
      save);
  router_.OnName(kClick, "key_butt_keysave", save);

  router_.OnPrefix(kSelectChanged, "keyboard_key_", [this](const RoutedNotification& n, int index) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
    if (!editor || n.wParam != 1 || index < 0 || index >= kPickerKeyCount) return;
    editor->SelectPicker(index);
    SaveEditedKey(*keyboard);
  });
  router_.OnPrefix(kSelectChanged, "key_ComBox_check_",
                   [this](const RoutedNotification& n, int index) {
                     CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
                     CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
                     if (!editor || n.wParam != 1) return;
                     editor->SelectModifier(index);
                     SaveEditedKey(*keyboard);
                   });

  // Typing into the capture edit takes the next key pressed on the real keyboard.
  router_.OnName(kSetFocus, kCaptureEdit,
                 [this](const RoutedNotification&) { bus().Post(CaptureMessage(true)); });
  router_.OnName(kKillFocus, kCaptureEdit,
                 [this](const RoutedNotification&) { bus().Post(CaptureMessage(false)); });

  router_.OnName(kClick, "key_butt_keycancel", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
    if (!editor) return;
    // Back to what the key holds now, in the layer being edited.
    if (keyboard->SelectedKey() >= 0) {
      editor->ShowRecord(keyboard->KeyRecord(keyboard->SelectedKey()), keyboard->FnLayer());
    } else {
      editor->ShowCurrent();
    }
    editor->EnableButtons(false);
  });
  router_.OnName(kClick, "key_butt_keydefalut", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
    if (!editor) return;
    editor->ShowDefault();
    SaveEditedKey(*keyboard);
    WriteEditedKeys(*keyboard);
    editor->EnableButtons(true);
  });
  router_.OnName(kClick, "key_butt_prosave", [this](const RoutedNotification&) {
    QPointer<CTarnwiseUSBDevice> device(CurrentKeyDevice());
    // A mouse without a left click would lock its user out of the pointer: asked first.
    if (device && !KeepsLeftClick(*device) && (!ConfirmLosingLeftClick(*this) || !device)) {
      return;
    }
    if (device) WriteEditedKeys(*device);
  });

  router_.OnName(kSelectChanged, "keyset_fn", [this](const RoutedNotification& n) {
    CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
    if (!keyboard || !keyboard->Logic().ProfileBound()) return;
    const bool on = n.wParam == 1;
    if (on != keyboard->FnLayer()) keyboard->SetFnLayer(on);
  });
}

void CMainWnd::OnKeyCaptured(uint8_t scanCode, bool extended) {
  CTarnwiseUSBDevice* keyboard = CurrentKeyDevice();
  CKeySetControlUI* editor = keyboard ? keyboard->KeyEditor() : nullptr;
  if (!editor || keyboard->SelectedKey() < 0) return;
  const std::optional<CapturedKey> key = LookupCapturedKey(scanCode, extended);
  if (!key) return;
  const bool fnLayer = keyboard->FnLayer();
  // A typed key is a keyboard key: its page is the one the capture edit sits on.
  if (editor->SelectedFunction() != kFunctionKeyboardKey)
    editor->SelectFunction(kFunctionKeyboardKey);
  AssignmentCode code;
  if (key->modifierOption > 0) {
    editor->SelectModifier(key->modifierOption);
    editor->Encode(fnLayer);
    editor->SetCapturedText({});
    code = key->code;
    // The picker shows the modifier key itself, so that what is encoded next starts from it.
    editor->SelectPicker(FindRow(KeyPickerTable(), code));
  } else {
    const bool modifierSelected = editor->ModifierIndex() > 0;
    if (editor->ModifierIndex() < 0) editor->SelectModifier(0);
    uint8_t b1 = 0;
    if (modifierSelected) {
      const KeyAssignmentRecord record = editor->Encode(fnLayer);
      b1 = (fnLayer ? record.fn : record.main).code.b1;
    }
    code = CapturedKeyCode(*key, modifierSelected, b1);
    editor->SetCapturedText(QString::fromStdString(LanguageText(key->labelKey)));
    // A key with modifiers has no picker key: the typed key itself is kept.
    editor->SelectPicker(FindRow(KeyPickerTable(), code));
  }
  editor->SetSlot(code, fnLayer);
  // The typed key is kept as it came (the picker, when it has that key, shows the same).
  keyboard->StoreKeyRecord(keyboard->SelectedKey(), editor->Record());
  editor->EnableButtons(true);
  keysUnsent_ = true;
}

std::string CMainWnd::KeysRequest(const std::vector<std::string>& words) {
  constexpr const char* kUsage = "error usage: keys DEVICE list|set INDEX KIND B1 B2 [--fn]|write";
  if (words.size() < 3) return kUsage;
  CTarnwiseUSBDevice* device = DeviceNamed(words[1]);
  if (!device) return "error no " + words[1] + " has been attached";
  // The keyboard's keys (two layers) or the mouse's buttons (one).
  auto* keyboard = qobject_cast<CTarnwiseKeyboardDevice*>(device);
  auto* mouse = qobject_cast<CTarnwiseMouseDevice*>(device);
  if (!keyboard && !mouse) return "error the " + words[1] + " has no key list";
  if (!device->Logic().ProfileBound()) return "error the " + words[1] + " has not been read yet";
  const std::vector<KeyAssignmentRecord> keys =
      keyboard ? keyboard->Keyboard().Keys() : mouse->Mouse().Keys();
  const std::string& action = words[2];

  if (action == "list" && words.size() == 3) {
    const Translator translate = [](const std::string& id) { return LanguageText(id); };
    Json::Value list(Json::arrayValue);
    for (size_t i = 0; i < keys.size(); ++i) {
      Json::Value entry(Json::objectValue);
      entry["index"] = static_cast<Json::UInt>(i);
      entry["label"] = DefaultKeyName(keys[i].defaultSlot.code, translate);
      entry["main"] = CodeJson(keys[i].main.code);
      entry["fn"] = CodeJson(keys[i].fn.code);
      entry["default"] = CodeJson(keys[i].defaultSlot.code);
      list.append(entry);
    }
    return Compact(list);
  }

  if (action == "set" && (words.size() == 7 || (words.size() == 8 && words[7] == "--fn"))) {
    long index = 0;
    long kind = 0;
    long b1 = 0;
    long b2 = 0;
    if (!ParseNumber(words[3], static_cast<long>(keys.size()) - 1, index)) {
      return "error no key " + words[3];
    }
    if (!ParseNumber(words[4], 255, kind) || !ParseNumber(words[5], 255, b1) ||
        !ParseNumber(words[6], 255, b2)) {
      return "error a code is three numbers from 0 to 255";
    }
    const bool fnLayer = words.size() == 8;
    if (fnLayer && !keyboard) return "error the " + words[1] + " has no Fn layer";
    KeyAssignmentRecord record = keys[static_cast<size_t>(index)];
    (fnLayer ? record.fn : record.main).code = AssignmentCode{
        static_cast<uint8_t>(kind), static_cast<uint8_t>(b1), static_cast<uint8_t>(b2)};
    if (mouse) {
      std::vector<KeyAssignmentRecord> changed = keys;
      changed[static_cast<size_t>(index)] = record;
      mouse->Mouse().SetKeys(changed);
      mouse->SaveProfile();
      return "ok";
    }
    keyboard->StoreKeyRecord(static_cast<int>(index), record);
    // The editor shows the change when it edits that key.
    CKeySetControlUI* editor = keyboard->KeyEditor();
    if (editor && keyboard->SelectedKey() == index) {
      editor->ShowRecord(record, keyboard->Keyboard().FnKeysetFlag());
    }
    keysUnsent_ = true;
    return "ok";
  }

  if (action == "write" && words.size() == 3) {
    // The request is answered on the UI thread: wait here for the worker's outcome. The
    // outcome is shared, so a write that ends after the wait gave up finds it still there.
    struct Outcome {
      bool finished = false;
      int macros = 0;
      StatusCode keys = kStatusOk;
      QPointer<QEventLoop> loop;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    outcome->loop = &loop;
    QPointer<CTarnwiseUSBDevice> guard(device);
    const auto finished = [outcome](int macroResult, StatusCode keysResult) {
      outcome->macros = macroResult;
      outcome->keys = keysResult;
      outcome->finished = true;
      if (outcome->loop) outcome->loop->quit();
    };
    if (keyboard) {
      keyboard->WriteKeysAndMacros(finished);
    } else {
      mouse->Mouse().WriteKeysAndMacros(finished);
    }
    QTimer::singleShot(kWriteWaitMs, &loop, &QEventLoop::quit);
    if (!outcome->finished) loop.exec();
    if (!outcome->finished) return "error the write did not finish";
    const int macros = outcome->macros;
    if (macros != 0) return "error " + DeviceWriteOutcomeText(macros);
    if (outcome->keys != kStatusOk) {
      return "error " + DeviceWriteOutcomeText(kWriteKeysNotTaken) + " (" +
             StatusCodeName(outcome->keys) + ")";
    }
    if (!guard) return "error the " + words[1] + " went away";
    if (keyboard) {
      keyboard->RefreshKeyHighlights();
      keysUnsent_ = false;
    }
    return "ok";
  }
  return kUsage;
}

}  // namespace varkon
