#include "app/msg_wnd.h"

#include <QLabel>

#include "app/resource_index.h"
#include "core/debug_out.h"
#include "platform/ui/language_text.h"
#include "platform/ui/program_folder.h"

namespace varkon {

CMsgWnd::CMsgWnd(QWidget* parent) : SkinDialog(parent) {
  setObjectName("MsgWnd");
  setWindowTitle("msgwnd");
}

bool CMsgWnd::Create(std::string& error, const std::string& skinFolder) {
  const std::string folder = skinFolder.empty() ? ui::SkinFolder() : skinFolder;
  ResourceIndex index;
  if (!index.Load(folder, error)) return false;
  const std::string name = index.Find(kMessageSkinKey);
  if (name.empty()) {
    error = std::string("the resource index names no ") + kMessageSkinKey;
    return false;
  }
  if (!LoadSkin(name, error, folder)) return false;
  ApplyTextIds(skinRoot());
  return true;
}

void CMsgWnd::SetTitle(const std::string& title) {
  if (title.empty()) return;
  if (auto* label = qobject_cast<QLabel*>(Control("MessageTitle"))) {
    label->setProperty(kTextIdProperty, QVariant());
    label->setText(QString::fromStdString(title));
  }
}

void CMsgWnd::SetText(const std::string& text, bool textIsId) {
  if (text.empty()) return;
  QWidget* control = Control("MessageText");
  if (!control) return;
  if (textIsId) {
    SetControlTextId(control, text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setProperty(kTextIdProperty, QVariant());
    label->setText(QString::fromStdString(text));
  }
}

void CMsgWnd::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  switch (dpi) {
    case 48:
    case 72:
    case 96:
    case 120:
    case 144:
    case 168:
    case 192:
      dpi_ = dpi;
      break;
    default:
      dpi_ = kDefaultDpi;
      debugOut("MSG_WND DPI SET ERROR");
      break;
  }
}

void CMsgWnd::SetButtons(int mode) {
  QWidget* confirm = Control("confirm_btn");
  QWidget* cancel = Control("cancel_btn");
  if (mode == kMessageConfirmOnly) {
    if (confirm) confirm->setVisible(true);
    if (cancel) cancel->setVisible(false);
  } else if (mode == kMessageConfirmAndCancel) {
    if (confirm) confirm->setVisible(true);
    if (cancel) cancel->setVisible(true);
  }
}

bool CMsgWnd::OnClick(const QString& name) {
  if (name == "confirm_btn") {
    done(1);
    return true;
  }
  if (name == "cancel_btn") {
    done(0);
    return true;
  }
  return false;
}

int ShowMessage(QWidget* parent, const std::string& title, const std::string& text, int dpi,
                bool textIsId, int buttons) {
  CMsgWnd box(parent);
  std::string error;
  if (!box.Create(error)) {
    debugOut("message box: %s", error.c_str());
    return 0;
  }
  box.SetTitle(title);
  box.SetText(text, textIsId);
  box.SetDpi(dpi);
  box.SetButtons(buttons);
  box.Centre();
  return box.exec() == 1 ? 1 : 0;
}

std::string DeviceWriteOutcomeText(int result) {
  if (result == 0) return {};
  if (result == -1) return LanguageText("message_text_7");
  if (result == kWriteKeysNotTaken) return LanguageText("message_keys_not_written");
  std::string text = LanguageText("message_text_16");
  const size_t at = text.find("%d");
  if (at != std::string::npos) {
    text.replace(at, 2, std::to_string(result));
  } else {
    text += " (" + std::to_string(result) + ")";
  }
  return text;
}

}  // namespace varkon
