#include "platform/ui/tray_icon.h"

#include <QIcon>
#include <QImageReader>
#include <QString>
#include <QSystemTrayIcon>

namespace varkon::ui {

class TrayIcon::Impl {
 public:
  Impl(MessageTarget target, uint32_t message, uintptr_t id)
      : target_(std::move(target)), message_(message), id_(id) {
    QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                     [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
  }

  void Activated(QSystemTrayIcon::ActivationReason reason) {
    intptr_t mouse = 0;
    switch (reason) {
      case QSystemTrayIcon::Trigger:
        mouse = kTrayLeftButtonUp;
        break;
      case QSystemTrayIcon::DoubleClick:
        mouse = kTrayLeftDoubleClick;
        break;
      case QSystemTrayIcon::Context:
        mouse = kTrayRightButtonUp;
        break;
      case QSystemTrayIcon::MiddleClick:
        mouse = kTrayMiddleButtonUp;
        break;
      default:
        return;
    }
    Message callback;
    callback.number = message_;
    callback.wParam = id_;
    callback.lParam = mouse;
    target_.Post(std::move(callback));
  }

  QSystemTrayIcon icon_;
  MessageTarget target_;
  uint32_t message_;
  uintptr_t id_;
};

TrayIcon::TrayIcon(MessageTarget target, uint32_t callbackMessage, uintptr_t id)
    : impl_(std::make_unique<Impl>(std::move(target), callbackMessage, id)) {}

TrayIcon::~TrayIcon() {
  impl_->icon_.hide();
}

void TrayIcon::SetIcon(const QIcon& icon) {
  impl_->icon_.setIcon(icon);
}

bool TrayIcon::SetIconFile(const QString& path) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull()) return false;
  impl_->icon_.setIcon(QIcon(QPixmap::fromImage(image)));
  return true;
}

void TrayIcon::SetToolTip(const QString& text) {
  impl_->icon_.setToolTip(text);
}

void TrayIcon::Show() {
  impl_->icon_.show();
}

void TrayIcon::Hide() {
  impl_->icon_.hide();
}

bool TrayIcon::IsVisible() const {
  return impl_->icon_.isVisible();
}

bool TrayIcon::Available() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

QSystemTrayIcon* TrayIcon::icon() const {
  return &impl_->icon_;
}

}  // namespace varkon::ui
