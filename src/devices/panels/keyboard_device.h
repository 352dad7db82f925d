// The keyboard's device object and panel: the picture with its key and light cells, the lighting
// editor, the System page, and the keyboard's logic (KeyboardLogic), which it forwards to.
#pragma once

#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

#include "devices/keyboard_light_engine.h"
#include "devices/logic/keyboard_logic.h"
#include "devices/panels/usb_device.h"

namespace varkon {

class CKeySetControlUI;
class CMacroControlUI;

inline constexpr const char* kTarnwiseKeyboardDeviceTag = "TarnwiseKeyboardDevice";
inline constexpr const char* kKeyboardKeyPanelName = "keyboard_device_key_light";

class CTarnwiseKeyboardDevice : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseKeyboardDevice(QWidget* parent = nullptr);
  ~CTarnwiseKeyboardDevice() override;

  void InitButtons() override;
  // Reads the keyboard's tables and record on its worker, then loads the profile and shows it.
  void ReadDevice() override;
  void ResyncDevice() override;
  // Through the receiver, the device answers only while its radio link is up.
  bool IsLinkAwake() override;
  int LoadProfile() override;
  void RefreshPanel() override;
  int WriteLightRecord(int profileIndex) override;
  void SelectFunctionPage(int page) override;
  void FeedAudioLevels(const uint8_t* levels, size_t count) override;
  bool StreamsLightFrames() const override;
  void SetAudioLight(int mode, int colour, int flags) override;

  KeyboardLogic& Keyboard() { return *keyboard_; }
  const KeyboardLogic& Keyboard() const { return *keyboard_; }
  KeyboardLightEngine& KeyboardEngine() { return *keyboardEngine_; }

  // ---- custom colours (effect 20)
  // Paints the keys of the selected cells (rubber band) or one clicked key with the paint colour.
  void PaintSelectedKeys();
  void PaintKey(int listIndex);
  // "custom_bright_color_btn" / "custom_off_color_btn": paint with the lighting colour, or dark.
  void SetPaintsOff(bool off) { paintOff_ = off; }
  bool PaintsOff() const { return paintOff_; }

  // ---- the System page controls (their routes call these)
  void OnRepeatRate(int value);
  void OnRepeatDelay(int index);
  void OnSystemFlag(const std::string& control, bool on);
  void OnPollingRate(int index);
  void OnVoiceSensitivity(int value);
  void OnResetRepeat();

  // Writes the current profile to the keyboard (record, macros, key tables), with the window's
  // progress shown; `done` gets the outcome (see KeyboardLogic::WriteProfileToDevice).
  void WriteProfileToDevice(std::function<void(int)> done);
  // The profile switch of a keyboard: select, load, correct macro references, show, then write
  // record, macros and (when those went in) the key tables.
  void SwitchToProfile(int index, std::function<void(int result)> done = {}) override;
  // The keyboard's hot-key switched to onboard profile `profile`: the list follows (shown, not
  // written).
  void FollowOnboardProfile(int profile);

  // ---- the key editor's side
  const std::vector<KeyAssignmentRecord>* KeyList() const override { return &keyboard_->Keys(); }
  // Stores an edited record for key `index` in the key list and the profile document, and shows
  // the labels again.
  void StoreKeyRecord(int index, const KeyAssignmentRecord& record) override;
  bool FnLayer() const override { return keyboard_->FnKeysetFlag(); }
  // The Fn layer on or off: stored in the profile (saved), labels and key enabling follow.
  void SetFnLayer(bool on) override;
  // Macros then keys, as the editor's write does (KeyboardLogic::WriteKeysAndMacros).
  void WriteKeysAndMacros(std::function<void(int macroResult, StatusCode keys)> done) override;
  // The macro panel inside this panel (null when the skin has none).
  CMacroControlUI* MacroPanel() const;

 protected:
  void OnDeviceNotice(bool receiverIdentity, uint16_t value) override;
  void LightPass(uint32_t nowMs) override;

 private:
  void ShowSystemPage();
  void ShowKeyLabels();
  void EnableKeysForPage(int page);
  void ClearKeyHighlights();

  KeyboardLightEngine* keyboardEngine_;
  KeyboardLogic* keyboard_;
  QTimer resyncTimer_;
  bool paintOff_ = false;
};

}  // namespace varkon
