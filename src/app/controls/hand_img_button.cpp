#include "app/controls/hand_img_button.h"

#include <QPainter>

#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"

namespace varkon {

CHandImgButtonUI::CHandImgButtonUI(QWidget* parent) : QPushButton(parent) {
  ui::SetControlClassName(this, kHandImgButtonClass);
}

void CHandImgButtonUI::setHandImage(const QString& image) {
  handImage_ = image;
  update();
}

void CHandImgButtonUI::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  DrawControlImage(painter, rect(), picture_.Get(this, handImage_), handImage_);
}

void CHandImgButtonUI::enterEvent(QEnterEvent* event) {
  if (isEnabled()) {
    hot_ = true;
    ui::RaiseNotification(this, "msenter");
    update();
  }
  QPushButton::enterEvent(event);
}

void CHandImgButtonUI::leaveEvent(QEvent* event) {
  if (isEnabled()) {
    hot_ = false;
    ui::RaiseNotification(this, "msleave");
    update();
  }
  QPushButton::leaveEvent(event);
}

}  // namespace varkon
