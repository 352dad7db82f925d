// The about window: the program's version line under its logo.
#pragma once

#include <string>

#include "app/skin_dialog.h"

namespace varkon {

inline constexpr const char* kAboutSkinFile = "AboutWnd.xml";
inline constexpr const char* kSoftwareRevisionTextId = "software_rev_text";

class CAboutWnd : public SkinDialog {
  Q_OBJECT

 public:
  explicit CAboutWnd(QWidget* owner = nullptr);

  bool Create(std::string& error, const std::string& skinFolder = {});
  // Shows the current language's text of "software_rev_text" followed by `version` in
  // "software_ver_label". The line is built once: a later language change leaves it.
  void SetVersion(const std::string& version);

 protected:
  bool OnClick(const QString& name) override;
};

}  // namespace varkon
