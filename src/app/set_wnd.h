// The settings window: the program's language (choosing one applies it at once, through the
// main window), starting with the desktop, and the update list — what is installed (the program's
// version and the firmware of each attached device), what an outside updater offers, and the
// progress it reports. Modal, 630 × 500, opened from "setbtn", the tray menu and message 3093.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/skin_dialog.h"
#include "app/update_list.h"

namespace varkon {

struct InstalledItem {
  std::string id;       // "program", or the device kind ("keyboard", "mouse pad", ...)
  std::string name;     // the program, or a device's display name
  std::string version;  // "1.02"; empty for a device that is not connected
};

class CSetWnd : public SkinDialog {
  Q_OBJECT

 public:
  using LanguageChosen = std::function<void(int index)>;
  using UpToDate = std::function<void()>;
  CSetWnd(QWidget* parent, std::string programFolder, int languageIndex,
          std::vector<InstalledItem> installed, LanguageChosen chosen, UpToDate upToDate = {});

  // `userFolder` holds the updater's offers and the date of the last update check.
  bool Create(std::string& error, const std::string& skinFolder = {},
              const std::string& userFolder = {});

  const UpdateList& Updates() const { return updates_; }
  // One step of the outside updater (the "EBF15" message).
  void OnUpdateStep(int code, int value);

  void done(int result) override;

 protected:
  bool OnClick(const QString& name) override;
  void OnNotification(const ui::Notification& notification) override;

 private:
  void FillLanguages();
  void FillUpdateList();
  void ShowUpdates();
  // The start-with-the-desktop box: writes or removes the autostart entry.
  void OnAutostart(bool on);

  std::string programFolder_;
  int languageIndex_;
  std::vector<InstalledItem> installed_;
  UpdateList updates_;
  std::string lastCheck_;
  LanguageChosen chosen_;
  UpToDate upToDate_;
};

// What is installed against what the updater offers in `userFolder` (its "updateinfo.json").
UpdateList OfferedUpdates(const std::vector<InstalledItem>& installed,
                          const std::string& userFolder);

// "major.minor" of a firmware version word (major in the high byte): 0x0102 → "1.02".
std::string FirmwareVersionText(uint16_t version);

}  // namespace varkon
