// The program's message box: a title, a text (usually a text id of the current language) and
// the confirm and cancel buttons. Its result is 1 for "confirm_btn" and 0 for "cancel_btn" or
// "closebtn".
#pragma once

#include <string>

#include "app/skin_dialog.h"

namespace varkon {

inline constexpr const char* kMessageSkinKey = "XML_MSG";
inline constexpr int kDefaultDpi = 96;

enum MessageButtons : int {
  kMessageConfirmOnly = 0,       // a notice
  kMessageConfirmAndCancel = 1,  // a question
};

class CMsgWnd : public SkinDialog {
  Q_OBJECT

 public:
  explicit CMsgWnd(QWidget* parent = nullptr);

  // Loads the "XML_MSG" skin named by the skin folder's resource index.
  bool Create(std::string& error, const std::string& skinFolder = {});

  // An empty title or text leaves the skin's own.
  void SetTitle(const std::string& title);
  void SetText(const std::string& text, bool textIsId);
  // 48, 72, 96, 120, 144, 168 and 192 are taken; anything else becomes 96.
  void SetDpi(int dpi);
  int dpi() const { return dpi_; }
  // 0: only "confirm_btn"; 1: both; any other mode leaves the skin's choice.
  void SetButtons(int mode);

 protected:
  bool OnClick(const QString& name) override;

 private:
  int dpi_ = kDefaultDpi;
};

// The text of a device write's result as the message box shows it: empty for 0 (done);
// "message_text_7" for -1 (the device did not take the macros); otherwise "message_text_16", a
// format with one number, with the count of macro events too many; kWriteKeysNotTaken: the
// macros went in but the key tables did not.
inline constexpr int kWriteKeysNotTaken = -2;
std::string DeviceWriteOutcomeText(int result);

// Asks or tells the user something and waits for the answer: 1 confirmed, 0 otherwise (also
// when the message box skin is missing).
int ShowMessage(QWidget* parent, const std::string& title, const std::string& text, int dpi,
                bool textIsId, int buttons);

}  // namespace varkon
