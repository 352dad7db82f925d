// The settings window: the program's language (choosing one applies it at once, through the
// main window) and what is installed — the program's version and the firmware of each attached
// device. Modal, 630 × 500, opened from "setbtn", the tray menu and message 3093.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/skin_dialog.h"

namespace varkon {

struct InstalledItem {
  std::string name;     // the program, or a device's display name
  std::string version;  // "1.02"; empty for a device that is not connected
};

class CSetWnd : public SkinDialog {
  Q_OBJECT

 public:
  using LanguageChosen = std::function<void(int index)>;
  CSetWnd(QWidget* parent, std::string programFolder, int languageIndex,
          std::vector<InstalledItem> installed, LanguageChosen chosen);

  bool Create(std::string& error, const std::string& skinFolder = {});

 protected:
  void OnNotification(const ui::Notification& notification) override;

 private:
  void FillLanguages();
  void FillInstalled();

  std::string programFolder_;
  int languageIndex_;
  std::vector<InstalledItem> installed_;
  LanguageChosen chosen_;
};

// "major.minor" of a firmware version word (major in the high byte): 0x0102 → "1.02".
std::string FirmwareVersionText(uint16_t version);

}  // namespace varkon
