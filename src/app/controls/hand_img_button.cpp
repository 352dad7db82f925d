#include "app/controls/hand_img_button.h"

#include <QPainter>

#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"

namespace varkon {

CHandImgButtonUI::CHandImgButtonUI(QWidget* parent) : HoverButton(parent) {
  ui::SetControlClassName(this, kHandImgButtonClass);
}

void CHandImgButtonUI::setHandImage(const QString& image) {
  handImage_ = image;
  update();
}

void CHandImgButtonUI::paintEvent(QPaintEvent* event) {
  HoverButton::paintEvent(event);
  QPainter painter(this);
  DrawControlImage(painter, rect(), picture_.Get(this, handImage_), handImage_);
}

}  // namespace varkon
