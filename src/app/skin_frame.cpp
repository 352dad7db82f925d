#include "app/skin_frame.h"

#include <QEvent>
#include <QSettings>

#include "app/file_dialog.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/notifier.h"
#include "profile/data_folders.h"

namespace varkon {

namespace {

constexpr FileKind kPictureFiles{"(*.png)|*.png", "png"};
const QString kSection = QStringLiteral("SKINIMAGE/");

}  // namespace

std::string SkinIniPath() {
  return JoinPath(UserDataRoot(), kSkinIniFile);
}

void StoreSkinChoice(const SkinChange& change, bool isDefault) {
  QSettings ini(QString::fromStdString(SkinIniPath()), QSettings::IniFormat);
  ini.setValue(kSection + "FLAGS", isDefault ? "0" : change.isColour ? "2" : "1");
  ini.setValue(kSection + "IMAGE", change.isColour ? QString() : change.image);
  ini.setValue(kSection + "COLOR",
               change.isColour ? QString::number(change.colour, 16).toUpper() : QString());
  ini.sync();
}

bool ReadSkinChoice(SkinChange& change) {
  QSettings ini(QString::fromStdString(SkinIniPath()), QSettings::IniFormat);
  const QString flags = ini.value(kSection + "FLAGS").toString();
  if (flags == "1") {
    change.isColour = false;
    change.image = ini.value(kSection + "IMAGE").toString();
    return !change.image.isEmpty();
  }
  if (flags == "2") {
    bool ok = false;
    change.isColour = true;
    change.colour = ini.value(kSection + "COLOR").toString().toUInt(&ok, 16);
    return ok;
  }
  return false;
}

CSkinFrame::CSkinFrame(QWidget* parent, Receiver receiver)
    : SkinDialog(parent), receiver_(std::move(receiver)) {
  setModal(false);
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_DeleteOnClose);
}

void CSkinFrame::changeEvent(QEvent* event) {
  SkinDialog::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  // It goes when the user turns to something else, once it has had the focus.
  if (isActiveWindow()) {
    wasActive_ = true;
  } else if (wasActive_ && !choosingFile_) {
    // (The file dialog it opens itself takes the focus without ending it.)
    close();
  }
}

bool CSkinFrame::Create(std::string& error, const std::string& skinFolder) {
  if (!LoadSkin("skin.xml", error, skinFolder)) return false;
  if (auto* images = Control("skin_image")) ui::SetChecked(images, true);
  return true;
}

void CSkinFrame::PlaceUnder(const QWidget* anchor) {
  if (!anchor) {
    Centre();
    return;
  }
  const QPoint bottomRight = anchor->mapToGlobal(QPoint(anchor->width(), anchor->height()));
  move(bottomRight.x() - width(), bottomRight.y());
}

void CSkinFrame::OnNotification(const ui::Notification& n) {
  if (n.type != "click") return;
  if (n.name == "skin_image_btn" && n.sender) {
    Choose({false, 0, ui::BackgroundImage(n.sender)}, false);
  } else if (n.name == "skin_color_btn" && n.sender) {
    Choose({true, ui::BackgroundColour(n.sender), {}}, false);
  } else if (n.name == "skin_color" || n.name == "skin_image") {
    ui::SelectPage(Control("skin_tab"), n.name == "skin_color" ? 1 : 0);
  } else if (n.name == "skin_reset") {
    Choose({false, 0, QString::fromLatin1(kDefaultBackground)}, true);
  } else if (n.name == "skin_Custom") {
    // A cancelled dialog leaves the background as it is.
    choosingFile_ = true;
    const auto path = AskFilePath(this, FileDialogMode::kOpen, "*.png", kPictureFiles);
    choosingFile_ = false;
    if (path) Choose({false, 0, QString::fromStdString(*path)}, false);
    activateWindow();
  }
}

void CSkinFrame::Choose(const SkinChange& change, bool isDefault) {
  if (receiver_) receiver_(change);
  StoreSkinChoice(change, isDefault);
}

}  // namespace varkon
