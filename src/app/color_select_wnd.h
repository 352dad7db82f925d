// The colour dialog: one colour picked from the colour field ("Pallet"), 20 preset swatches,
// 20 swatches that collect the colours picked, or typed red, green and blue values. Presets and
// collected colours are kept in the user's "color_option_info.config" (made from the program's
// default copy). The main window opens it for a DPI stage's colour and takes the colour when the
// dialog ends with 1 ("okbtn").
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "app/skin_dialog.h"

namespace varkon {

class ColourOptions;

inline constexpr const char* kPaletteSkinFile = "PalletDialog.xml";
// Shown on "color_show_btn" while the colour cycle is chosen.
inline constexpr const char* kColourCycleImage = "common/base1.png";

class CColorSelectWnd : public SkinDialog {
  Q_OBJECT

 public:
  // `userFile` and `defaultFile`: the swatch files.
  CColorSelectWnd(QWidget* parent, const std::string& userFile, const std::string& defaultFile);
  ~CColorSelectWnd() override;

  // Loads the skin and runs the window-init steps.
  bool Create(std::string& error, const std::string& skinFolder = {});

  void SetCurrentColour(uint32_t argb);
  uint32_t GetCurrentColour() const { return currentColour_; }
  void EnableMultiColour(bool on);
  int PresetIndex() const { return presetIndex_; }
  int CollectIndex() const { return collectIndex_; }

 protected:
  bool OnClick(const QString& name) override;
  void OnNotification(const ui::Notification& notification) override;

 private:
  void WindowInit();
  void Collect();
  void ShowChannels(uint32_t argb);
  void ShowMultiColour(bool on);
  void SavePresets();
  void SaveCollected();
  void SelectInField(uint32_t argb);
  QWidget* Swatch(const char* prefix, int index) const;

  std::unique_ptr<ColourOptions> options_;
  uint32_t currentColour_ = 0xFFFFFFFFu;
  int presetIndex_ = 4;
  int collectIndex_ = 0;
  bool multiColour_ = false;
};

}  // namespace varkon
