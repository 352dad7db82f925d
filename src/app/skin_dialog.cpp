#include "app/skin_dialog.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "app/controls/register_custom_controls.h"
#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"
#include "platform/ui/skin_loader.h"

namespace varkon {

SkinDialog::SkinDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool) {
  setModal(true);
}

SkinDialog::~SkinDialog() {
  notifier_.reset();
}

bool SkinDialog::LoadSkin(const std::string& name, std::string& error,
                          const std::string& skinFolder) {
  ui::SkinLoader loader(skinFolder);
  // The program's own controls (the colour field among them) can appear in any window.
  RegisterCustomControls(loader);
  std::string loadError;
  QWidget* root = loader.LoadSkin(name, this, &loadError);
  if (!root) {
    error = "cannot load the skin \"" + name + "\": " + loadError;
    return false;
  }
  root_ = root;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(root_);
  resize(root_->size());
  notifier_ = std::make_unique<ui::Notifier>(root_);
  notifier_->AddHandler([this](const ui::Notification& n) { OnNotify(n); });
  QWidget* maxButton = Control("maxbtn");
  hasMaxButtons_ = maxButton && !maxButton->isHidden();
  UpdateMaxButtons();
  return true;
}

QWidget* SkinDialog::Control(const char* name) const {
  return root_ ? ui::FindControl(root_, QString::fromLatin1(name)) : nullptr;
}

void SkinDialog::Centre() {
  QRect frame(QPoint(0, 0), size());
  if (parentWidget() && parentWidget()->isVisible()) {
    frame.moveCenter(parentWidget()->frameGeometry().center());
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    frame.moveCenter(screen->availableGeometry().center());
  }
  move(frame.topLeft());
}

void SkinDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) UpdateMaxButtons();
}

void SkinDialog::UpdateMaxButtons() {
  if (!hasMaxButtons_) return;
  if (QWidget* button = Control("maxbtn")) button->setVisible(!isMaximized());
  if (QWidget* button = Control("restorebtn")) button->setVisible(isMaximized());
}

void SkinDialog::OnNotify(const ui::Notification& notification) {
  OnNotification(notification);
  if (notification.type != "click") return;
  const QString name = QString::fromStdString(notification.name).toLower();
  if (OnClick(name)) return;
  if (name == "closebtn") {
    done(0);
  } else if (name == "minbtn") {
    showMinimized();
  } else if (name == "maxbtn") {
    showMaximized();
  } else if (name == "restorebtn") {
    showNormal();
  }
}

}  // namespace varkon
