// The lighting editor panel: one in every device panel. It shows the device's light state
// (mode, brightness, speed, direction, multicolour, fixed colour and, for the keyboard, the
// custom colour table and the ZZCC mode) and the music-lighting settings, and decides which of
// its controls the chosen mode uses. It only reads and writes its named sub-controls; the main
// window receives their notifications and runs the editor's actions (light_editor_actions.h)
// on the current device, which then calls back here to show the result.
//
// Sub-controls are found by name under the panel on first use and kept; a missing one is
// skipped, except in the music block, whose operations then fail. Setting a control from here
// raises no notification.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editors/light_control_states.h"
#include "editors/light_editor_actions.h"

namespace varkon {

// The skin tag of the panel class, the tag that stands for the panel's whole skin, and that skin.
inline constexpr const char* kLightControlClass = "LightControl";
inline constexpr const char* kLightSetControlTag = "LightSetControlUI";
inline constexpr const char* kLightControlSkin = "XML\\CustomControlXML\\LightControl.xml";
// The same panel laid out for a tall, narrower page (beside the mouse picture).
inline constexpr const char* kLightSetControlTallTag = "LightSetControlTallUI";
inline constexpr const char* kLightControlTallSkin = "XML\\CustomControlXML\\LightControlTall.xml";

// The messages of the music block when its skin lacks one of its controls.
inline constexpr const char* kSetAudioLightFailure = "SetAudioLightInfo control is NULL";
inline constexpr const char* kGetAudioLightFailure = "GetAudioLightInfo control is NULL";

// One entry of the mode list; its position is the mode number.
struct LightModeItem {
  QString text;
  bool visible = true;
};

class CLightControlUI : public QWidget {
  Q_OBJECT

 public:
  explicit CLightControlUI(QWidget* parent = nullptr);

  // The kind of the device the panel belongs to (1 keyboard, 2 mouse, 3 mouse pad, 7 headset;
  // 4 and 5 are understood too).
  void SetDeviceKind(int kind);
  int DeviceKind() const { return deviceKind_; }

  // The mode list (hidden entries keep their place, so that item i stays mode i) and the
  // highest brightness and speed levels.
  void FillModeList(const std::vector<LightModeItem>& items, int maxBrightness, int maxSpeed);
  // The keyboard's custom colour tables, its ZZCC modes and the music modes.
  void FillCustomTableList(const QStringList& names);
  void FillZzccModeList(const QStringList& names);
  void FillAudioModeList(const QStringList& names);

  // Shows the device's five light-state words (see light_editor_actions.h) and the control
  // states of their mode.
  void ShowLightState(const LightWords& words);

  // Selects `mode` in the mode list and applies its control states.
  void SelectMode(int mode);
  // The selected mode: the last one selected here or chosen in the mode list (-1 before any).
  int GetMode() const;
  void SetBrightness(int level);
  int GetBrightness() const;
  void SetSpeed(int level);
  int GetSpeed() const;
  // The decimal text of a colour edit ("deng_edit_R", "_G", "_B"); values are kept in 0-255.
  void SetColourText(ColourComponent component, int value);
  QString GetColourText(ColourComponent component) const;
  // The colour palette's colour (0xAARRGGBB, shown opaque); 0 without a palette.
  void SetPaletteColour(uint32_t argb);
  uint32_t GetPaletteColour() const;
  // Shows a fixed colour everywhere it appears: the three edits, "deng_colordp_btn" and, unless
  // the colour was just picked there, the palette.
  void ShowColour(uint32_t argb, bool inPalette = true);
  // The colour "deng_colordp_btn" shows; 0 without the button.
  uint32_t GetShownColour() const;
  void SetMulticolour(bool on);
  bool GetMulticolour() const;
  // Forward checks "deng_FXL_check" (direction 1), backward "deng_FXR_check" (0).
  void SetDirection(bool forward);
  bool GetDirection() const;
  void SelectCustomTable(int index);
  int GetCustomTable() const;  // -1 without a choice
  void SelectZzccMode(int index);
  int GetZzccMode() const;  // -1 without a choice
  // Set when two or more devices are shown: only then is "deng_same_mode" offered.
  void SetMultiDevice(bool on);
  bool MultiDevice() const { return multiDevice_; }
  // The background colour of "color_option_" + n; 0 when there is no such control.
  uint32_t GetPresetColour(int n) const;

  // The music-lighting block. Set takes the mode word (mode, background red, green, blue), the
  // foreground word (red, green, blue, multicolour) and whether the foreground colour is being
  // edited. Get reads the multicolour and colour checks back and, with `store`, takes the colour
  // of "deng_audiocolordp_btn" into the colour being edited. Both fail, with lastFailure() set,
  // when the skin lacks a control of the block.
  bool SetAudioLight(uint32_t modeWord, uint32_t foregroundWord, bool editingForeground);
  std::optional<AudioLight> GetAudioLight(bool store);
  const AudioLight& audioLight() const { return audio_; }
  const std::string& lastFailure() const { return lastFailure_; }

  // Applies the control states of the selected mode (after a change of the list or the kind).
  void ApplyControlStates();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* Control(const QString& name) const;
  QWidget* Control(const char* name) const { return Control(QString::fromLatin1(name)); }
  // Digits-only colour edits, palettes that fade while disabled, the mode list followed.
  void PrepareControls();
  void FadeWhenDisabled(QWidget* control);
  // Follows the mode list's choices.
  void WatchModeList();
  void ShowDirectionTexts(const DirectionTextIds& ids);
  bool Fail(const char* message);

  int deviceKind_ = 0;
  bool multiDevice_ = false;
  int mode_ = -1;
  QPointer<QWidget> watchedModeList_;
  AudioLight audio_;
  std::string lastFailure_;
  mutable std::map<QString, QPointer<QWidget>> controls_;
};

// The lighting editor panel of a device panel: `root` itself or the first one under it.
CLightControlUI* FindLightControl(QWidget* root);

}  // namespace varkon
