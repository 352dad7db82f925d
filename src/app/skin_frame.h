// The background picker under "skinbtn": pictures and plain colours for the main window's
// background, the program's own one back, or a picture of the user's. Each choice goes to the
// receiver at once and is kept in "main.ini" of the user folder, so it comes back at the next
// start. A pop-up: it closes when it loses the focus.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "app/skin_dialog.h"

namespace varkon {

inline constexpr const char* kSkinIniFile = "main.ini";
inline constexpr const char* kDefaultBackground = "common/background.svg";

// What the picker chose: a colour (ARGB) or an image of the skin folder, or a file's path.
struct SkinChange {
  bool isColour = false;
  uint32_t colour = 0;
  QString image;
};

// "main.ini" in the user folder: section SKINIMAGE, FLAGS "1" a picture (IMAGE its path), "2" a
// colour (COLOR, ARGB in hex), "0" the program's own background.
std::string SkinIniPath();
void StoreSkinChoice(const SkinChange& change, bool isDefault);
// The stored choice; false when the program's own background is to be shown.
bool ReadSkinChoice(SkinChange& change);

class CSkinFrame : public SkinDialog {
  Q_OBJECT

 public:
  using Receiver = std::function<void(const SkinChange&)>;
  CSkinFrame(QWidget* parent, Receiver receiver);

  bool Create(std::string& error, const std::string& skinFolder = {});
  // Top-right corner at the anchor's bottom-right corner.
  void PlaceUnder(const QWidget* anchor);

 protected:
  void OnNotification(const ui::Notification& notification) override;
  void changeEvent(QEvent* event) override;

 private:
  void Choose(const SkinChange& change, bool isDefault);
  Receiver receiver_;
  bool wasActive_ = false;
  bool choosingFile_ = false;
};

}  // namespace varkon
